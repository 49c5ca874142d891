# The display settings dialog of the real program, driven from the test.
# Session-wide: window title, registry key.
set(settings_dialog_sources overlay_harness.cpp settings_dialog_fixture.cpp)
set(settings_dialog_libs talvori_plugin_standin talvori_screenshot talvori_common
    talvori_dialog_driver advapi32)

talvori_add_gtest(settings_dialog_tests
  SOURCES ${settings_dialog_sources} settings_dialog_test.cpp settings_dialog_template_test.cpp
  LIBS ${settings_dialog_libs}
  SESSION TIMEOUT 90)

# The same program on a French system. Under Wine the UI language follows
# the locale the process starts with, and a started program inherits it.
add_executable(settings_dialog_french_tests
  ${settings_dialog_sources} settings_dialog_french_test.cpp)
target_link_libraries(settings_dialog_french_tests PRIVATE GTest::gtest GTest::gtest_main
                      ${settings_dialog_libs})
gtest_discover_tests(settings_dialog_french_tests
  DISCOVERY_MODE PRE_TEST
  DISCOVERY_TIMEOUT 60
  TEST_PREFIX "${CMAKE_SYSTEM_PROCESSOR}."
  PROPERTIES TIMEOUT 90 RESOURCE_LOCK ${TALVORI_SESSION_LOCK} ENVIRONMENT "LC_ALL=fr_FR.UTF-8")

foreach(t settings_dialog_tests settings_dialog_french_tests)
  target_compile_definitions(${t} PRIVATE TALVORI_EXE="${TALVORI_BIN_DIR}/TALVORI.exe")
  target_include_directories(${t} PRIVATE ${PROJECT_SOURCE_DIR}/overlay)
  add_dependencies(${t} TALVORI)
endforeach()
