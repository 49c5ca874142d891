# The display settings dialog of the real program, driven from the test.
# Session-wide: window title, registry key.
add_library(talvori_settings_dialog_fixture OBJECT settings_dialog_fixture.cpp)
target_link_libraries(talvori_settings_dialog_fixture PUBLIC GTest::gtest
                      talvori_overlay_harness talvori_dialog_driver)
target_include_directories(talvori_settings_dialog_fixture PRIVATE ${PROJECT_SOURCE_DIR}/overlay)
target_compile_definitions(talvori_settings_dialog_fixture PRIVATE
  TALVORI_EXE="${TALVORI_BIN_DIR}/TALVORI.exe")
talvori_use_test_pch(talvori_settings_dialog_fixture)
set(settings_dialog_libs talvori_settings_dialog_fixture talvori_overlay_harness
    talvori_plugin_standin talvori_screenshot talvori_common talvori_dialog_driver advapi32)

talvori_add_gtest(settings_dialog_tests
  SOURCES settings_dialog_test.cpp settings_dialog_template_test.cpp settings_dialog_end_test.cpp
  LIBS ${settings_dialog_libs} talvori_game_process
  SESSION TIMEOUT 90)

# The same program on a French system. Under Wine the UI language follows
# the locale the process starts with, and a started program inherits it.
add_executable(settings_dialog_french_tests settings_dialog_french_test.cpp)
target_link_libraries(settings_dialog_french_tests PRIVATE GTest::gtest GTest::gtest_main
                      ${settings_dialog_libs})
talvori_use_test_pch(settings_dialog_french_tests)
gtest_discover_tests(settings_dialog_french_tests
  DISCOVERY_MODE PRE_TEST
  DISCOVERY_TIMEOUT 60
  TEST_PREFIX "${CMAKE_SYSTEM_PROCESSOR}."
  PROPERTIES TIMEOUT 90 ${TALVORI_SESSION_PROPERTIES} ENVIRONMENT "LC_ALL=fr_FR.UTF-8")

foreach(t settings_dialog_tests settings_dialog_french_tests)
  target_compile_definitions(${t} PRIVATE TALVORI_EXE="${TALVORI_BIN_DIR}/TALVORI.exe")
  target_include_directories(${t} PRIVATE ${PROJECT_SOURCE_DIR}/overlay)
  add_dependencies(${t} TALVORI)
endforeach()
add_dependencies(settings_dialog_tests backdrop)
