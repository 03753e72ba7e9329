# The host: start-up, the saver window and its close rules. The decisions are
# portable and tested natively; the module KORUNEX64.SCR is built for Windows
# and tested for real under Wine.

target_sources(korunex_core PRIVATE
    src/host/run_mode.cpp
    src/host/close_rules.cpp
    src/host/screen_lock.cpp)

set(HOST_TESTS
    tests/run_mode_test.cpp
    tests/close_rules_test.cpp
    tests/screen_lock_test.cpp)

if(NOT WIN32)
    target_sources(korunex_tests PRIVATE ${HOST_TESTS})
    return()
endif()

target_sources(korunex_wine_tests PRIVATE ${HOST_TESTS})

find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(KORUNEX_ICON ${CMAKE_CURRENT_BINARY_DIR}/generated/korunex.ico)
add_custom_command(
    OUTPUT ${KORUNEX_ICON}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/generated
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/resources/make_icon.py ${KORUNEX_ICON}
    DEPENDS ${CMAKE_SOURCE_DIR}/resources/make_icon.py
    COMMENT "Drawing the module's icon")
set_source_files_properties(resources/korunex64.rc PROPERTIES
    OBJECT_DEPENDS "${KORUNEX_ICON};${CMAKE_SOURCE_DIR}/resources/korunex64.manifest;${CMAKE_SOURCE_DIR}/resources/strings.inc")

# Everything of the module but its entry, so that the Windows tests can
# drive the window code and the raster directly.
add_library(korunex_host STATIC
    src/host/fault_guard_win32.cpp
    src/host/saver_window_win32.cpp
    src/host/screen_lock_win32.cpp
    src/host/start_win32.cpp
    src/render/gdi_raster_win32.cpp
    src/render/logo_window_win32.cpp)
target_link_libraries(korunex_host PUBLIC korunex_core comctl32 gdi32 user32)

add_executable(KORUNEX64 WIN32 src/host/module_entry_win32.cpp resources/korunex64.rc)
target_include_directories(KORUNEX64 PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/generated)
target_link_libraries(KORUNEX64 PRIVATE korunex_host)
set_target_properties(KORUNEX64 PROPERTIES OUTPUT_NAME KORUNEX64 SUFFIX .SCR)
add_custom_command(TARGET KORUNEX64 POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_SOURCE_DIR}/out
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:KORUNEX64> ${CMAKE_SOURCE_DIR}/out/KORUNEX64.SCR)

# The module's test build: the same code with faults on demand
# (host/test_faults_win32.h) for the end-to-end tests of what it does when
# something fails. Named as the module, in a folder of its own; never packed.
add_executable(KORUNEX64_test_faults WIN32
    src/host/module_entry_win32.cpp src/host/test_faults_win32.cpp src/settings/profile_store_win32.cpp
    $<TARGET_PROPERTY:korunex_host,SOURCES> resources/korunex64.rc)
target_compile_definitions(KORUNEX64_test_faults PRIVATE KORUNEX_TEST_FAULTS)
target_include_directories(KORUNEX64_test_faults PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/generated)
target_link_libraries(KORUNEX64_test_faults PRIVATE korunex_core comctl32 gdi32 user32)
set_target_properties(KORUNEX64_test_faults PROPERTIES OUTPUT_NAME KORUNEX64 SUFFIX .SCR
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/test-faults)

# Windows-only unit tests: the raster and the snapshot on real GDI, the fault guard.
add_executable(korunex_host_wine_tests
    tests/wine/gdi_raster_test.cpp tests/wine/desktop_snapshot_test.cpp tests/wine/fault_guard_test.cpp tests/wine/gdi_long_run_test.cpp
    resources/string_table.rc)
target_link_libraries(korunex_host_wine_tests PRIVATE korunex_host gtest_main)
target_compile_definitions(korunex_host_wine_tests PRIVATE KORUNEX_SOURCE_DATA_DIR="${CMAKE_SOURCE_DIR}/data")
add_test(NAME wine.host_tests
         COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/run-in-wine $<TARGET_FILE:korunex_host_wine_tests>)

# The package: the module, the default KORUNEX.ini, the text tool, the
# scripts and the READ-ME, laid out in package/KORUNEX-x64 and zipped beside it.
set(KORUNEX_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package)
add_custom_command(
    OUTPUT ${KORUNEX_PACKAGE_DIR}/KORUNEX-x64.zip
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/make-package $<TARGET_FILE:KORUNEX64> ${KORUNEX_PACKAGE_DIR}
            $<TARGET_FILE:korunex-text>
    DEPENDS KORUNEX64 korunex-text ${CMAKE_SOURCE_DIR}/scripts/make-package ${CMAKE_SOURCE_DIR}/data/KORUNEX.ini
            ${CMAKE_SOURCE_DIR}/package/install.cmd ${CMAKE_SOURCE_DIR}/package/uninstall.cmd
            ${CMAKE_SOURCE_DIR}/package/READ-ME.txt
    COMMENT "Packing KORUNEX-x64.zip")
add_custom_target(korunex_package ALL DEPENDS ${KORUNEX_PACKAGE_DIR}/KORUNEX-x64.zip)

# The end-to-end tests: the package is installed into a fresh Wine prefix,
# then a driver of our own starts the installed module in a virtual display
# and checks what it does. The driver is never shipped.
add_executable(saver_driver tests/wine/saver_driver.cpp tests/wine/lock_driver.cpp tests/wine/host_driver.cpp)
target_link_libraries(saver_driver PRIVATE gtest gdi32 user32)

# Stand-ins of our own for the older family's password libraries, which the
# Lock suite puts beside a copy of the module. Test files, never shipped.
add_library(password_standin SHARED tests/wine/password_standin.cpp)
add_library(mpr_standin SHARED tests/wine/mpr_standin.cpp)
target_link_libraries(password_standin PRIVATE user32 imm32)
add_library(password_without_verify_standin SHARED tests/wine/password_standin.cpp)
target_compile_definitions(password_without_verify_standin PRIVATE KORUNEX_STANDIN_WITHOUT_VERIFY)
target_link_libraries(password_without_verify_standin PRIVATE user32 imm32)
set_target_properties(password_without_verify_standin PROPERTIES OUTPUT_NAME PASSWORD SUFFIX .CPL PREFIX ""
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/lock-standins/without-verify)
set_target_properties(password_standin PROPERTIES OUTPUT_NAME PASSWORD SUFFIX .CPL)
set_target_properties(mpr_standin PROPERTIES OUTPUT_NAME MPR SUFFIX .DLL)
set_target_properties(password_standin mpr_standin PROPERTIES
    PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/lock-standins)
add_dependencies(saver_driver password_standin password_without_verify_standin mpr_standin KORUNEX64_test_faults)

set(SAVER_PREFIX ${CMAKE_BINARY_DIR}/saver-prefix)
add_test(NAME wine.saver.install
         COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/install_test.sh ${SAVER_PREFIX} ${KORUNEX_PACKAGE_DIR}/KORUNEX-x64)
set_tests_properties(wine.saver.install PROPERTIES FIXTURES_SETUP saver_prefix TIMEOUT 400)
foreach(suite ExitCodes FullScreen Preview Lock Host Faults)
    add_test(NAME wine.saver.${suite}
             COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/run-saver-driver ${SAVER_PREFIX} $<TARGET_FILE:saver_driver> ${suite}.*)
    set_tests_properties(wine.saver.${suite} PROPERTIES FIXTURES_REQUIRED saver_prefix TIMEOUT 300)
endforeach()

# Raster cases drawn by GDI, for the pixel comparison with our own raster.
add_executable(raster_cases_gdi tests/wine/raster_cases_gdi.cpp tests/raster/case_runner.cpp tests/raster/raster_calls.cpp)
target_include_directories(raster_cases_gdi PRIVATE tests)
target_link_libraries(raster_cases_gdi PRIVATE korunex_host)

# korunex-render.exe: frames of the GDI raster as PNG files, for the comparison with `korunex render`.
add_executable(korunex_render_gdi tests/wine/korunex_render_win32.cpp resources/string_table.rc)
target_link_libraries(korunex_render_gdi PRIVATE korunex_host windowscodecs ole32 uuid)
set_target_properties(korunex_render_gdi PROPERTIES OUTPUT_NAME korunex-render)

# Our own raster against GDI, pixel for pixel: the native tools come from the
# native build, which make test builds first.
set(KORUNEX_NATIVE_BUILD ${CMAKE_SOURCE_DIR}/build/native CACHE PATH "The native build the comparison with GDI runs")
foreach(what scenes calls)
    add_test(NAME wine.gdi_pixels.${what}
             COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/compare_with_gdi.sh ${what} ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}
                     ${KORUNEX_NATIVE_BUILD})
    set_tests_properties(wine.gdi_pixels.${what} PROPERTIES TIMEOUT 600)
endforeach()
set_property(TEST wine.gdi_pixels.scenes wine.gdi_pixels.calls APPEND PROPERTY DEPENDS korunex_render_gdi raster_cases_gdi)
