# Glyph outlines fitted into shape records: the portable core, fonts through
# FreeType and fontconfig on Linux (korunex text) and through GDI on Windows
# (korunex-text.exe). The union of overlapping contours is the system's GLU
# tessellator on both.

add_library(korunex_glyphs STATIC
    src/glyphs/glyph_outline.cpp
    src/glyphs/outline_union.cpp
    src/glyphs/glyph_fit.cpp
    src/glyphs/text_fit.cpp
    src/glyphs/text_codes.cpp
    src/glyphs/shape_file_update.cpp
    src/glyphs/text_letters.cpp)

if(NOT WIN32)
    pkg_check_modules(GLYPH_LIBS REQUIRED IMPORTED_TARGET freetype2 fontconfig glu)
    target_sources(korunex_glyphs PRIVATE src/glyphs/font_source_freetype.cpp)
    target_link_libraries(korunex_glyphs PUBLIC korunex_core PkgConfig::GLYPH_LIBS)
    target_sources(korunex_tests PRIVATE tests/glyph_fit_test.cpp tests/text_records_test.cpp)
    target_link_libraries(korunex_tests PRIVATE korunex_glyphs)
    add_test(NAME tools.text
             COMMAND ${CMAKE_SOURCE_DIR}/tests/text_tool_test.sh $<TARGET_FILE:korunex> ${CMAKE_SOURCE_DIR})
    return()
endif()

target_sources(korunex_glyphs PRIVATE src/glyphs/font_source_win32.cpp)
target_link_libraries(korunex_glyphs PUBLIC korunex_core glu32 gdi32)
add_executable(korunex-text src/glyphs/korunex_text_win32.cpp resources/string_table.rc)
target_link_options(korunex-text PRIVATE -municode)
target_link_libraries(korunex-text PRIVATE korunex_glyphs)

# The tool under Wine with a font Wine ships, against the same font read by FreeType.
add_test(NAME wine.text_tool
         COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/text_tool_test.sh $<TARGET_FILE:korunex-text> ${CMAKE_SOURCE_DIR}
                 ${CMAKE_SOURCE_DIR}/build/native/korunex)
set_tests_properties(wine.text_tool PROPERTIES TIMEOUT 400)
