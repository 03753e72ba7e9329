# The configuration dialog: its rules are portable and tested natively; the
# Windows dialog and its template go into the module, and a driver of our
# own opens the real dialog under Wine and works it as a person would.

target_sources(korunex_core PRIVATE src/settings/settings_dialog.cpp)

if(NOT WIN32)
    target_sources(korunex_tests PRIVATE tests/settings_dialog_test.cpp)
    return()
endif()

target_sources(korunex_wine_tests PRIVATE tests/settings_dialog_test.cpp)
target_sources(korunex_host PRIVATE src/settings/settings_dialog_win32.cpp)
set_property(SOURCE resources/korunex64.rc APPEND PROPERTY
    OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/resources/dialog_2003.rc)

# Never shipped. It reads the key table and names from its own copy of the
# string table, so that it checks the saved file against the same order.
add_executable(dialog_driver tests/wine/dialog_driver.cpp resources/string_table.rc)
target_link_libraries(dialog_driver PRIVATE korunex_core gtest gdi32 user32)
add_dependencies(dialog_driver KORUNEX64_test_faults)

add_test(NAME wine.dialog_end_to_end
         COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/run-dialog-driver
                 $<TARGET_FILE:dialog_driver> $<TARGET_FILE:KORUNEX64>)
set_tests_properties(wine.dialog_end_to_end PROPERTIES TIMEOUT 400)
