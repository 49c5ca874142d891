# GoogleTest from Debian's source package, built with the cross toolchain.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
if(NOT EXISTS /usr/src/googletest/CMakeLists.txt)
  message(FATAL_ERROR "googletest sources missing: apt-get install googletest")
endif()
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# The headers every test program parses (Windows, GoogleTest, the standard
# library), precompiled once per tree and used by each test program: half a
# test file's compile time is spent in them. Off by default under a compiler
# cache (CMAKE_CXX_COMPILER_LAUNCHER), which cannot cache compiles that use
# a precompiled header and does better on its own.
if(CMAKE_CXX_COMPILER_LAUNCHER)
  set(pch_default OFF)
else()
  set(pch_default ON)
endif()
option(TALVORI_TEST_PCH "Precompile the headers of the test programs" ${pch_default})
if(TALVORI_TEST_PCH)
  file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/talvori_test_pch.cpp
       CONTENT "// The precompiled headers' owner.\n")
  add_library(talvori_test_pch OBJECT ${CMAKE_BINARY_DIR}/talvori_test_pch.cpp)
  target_link_libraries(talvori_test_pch PRIVATE GTest::gtest)
  target_precompile_headers(talvori_test_pch PRIVATE
    <windows.h> <gtest/gtest.h>
    <algorithm> <atomic> <chrono> <cstdint> <functional> <map> <memory> <mutex>
    <string> <thread> <vector>)
endif()

# talvori_use_test_pch(target): a test program or helper compiles with
# those headers, and with GoogleTest's definitions, which they depend on.
function(talvori_use_test_pch target)
  if(TALVORI_TEST_PCH)
    target_link_libraries(${target} PRIVATE GTest::gtest)
    target_precompile_headers(${target} REUSE_FROM talvori_test_pch)
  endif()
endfunction()

# Every test that touches what a session shares (its display: windows,
# screen, input, foreground; its Wine prefix: the settings key, the shared
# areas, the mutex and the window title) holds a session of its own while it
# runs: ctest's resource "session", one slot per session that
# scripts/session.sh made (TALVORI_SESSIONS), and scripts/wine-run starts the
# test in the session it was given. Such tests run side by side, one per
# session; the other tests run alongside them. A test of its own (add_test)
# gets these properties: set_tests_properties(t PROPERTIES
# ${TALVORI_SESSION_PROPERTIES}).
set(TALVORI_SESSION_PROPERTIES RESOURCE_GROUPS session:1)
# The lock these tests used to hold would let one run beside another in the
# same session: a test still asking for it stops the configuration.
function(talvori_session_lock_gone variable access)
  message(FATAL_ERROR "${variable} is gone: a test that holds the session says SESSION "
                      "(talvori_add_gtest) or PROPERTIES \${TALVORI_SESSION_PROPERTIES}")
endfunction()
variable_watch(TALVORI_SESSION_LOCK talvori_session_lock_gone)

# talvori_add_gtest(name SOURCES ... LIBS ... [SESSION] [TIMEOUT s] [PREFIX p])
# Test names are prefixed with the tree's processor ("i686.") unless PREFIX
# says otherwise.
function(talvori_add_gtest name)
  cmake_parse_arguments(T "SESSION" "TIMEOUT;PREFIX" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main ${T_LIBS})
  talvori_use_test_pch(${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  if(NOT T_PREFIX)
    set(T_PREFIX "${CMAKE_SYSTEM_PROCESSOR}.")
  endif()
  set(props TIMEOUT ${T_TIMEOUT})
  if(T_SESSION)
    list(APPEND props ${TALVORI_SESSION_PROPERTIES})
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    TEST_PREFIX "${T_PREFIX}"
    PROPERTIES ${props})
endfunction()

# talvori_plugin_test_definitions(target api): what a program or helper of
# the plugin tests learns about the plugin of its API level: the definitions
# TALVORI_TEST_PLUGIN_API, TALVORI_TEST_PLUGIN_DLL (the DLL's path, Unix
# form) and TALVORI_TEST_PLUGIN_DLL_NAME.
function(talvori_plugin_test_definitions target api)
  talvori_plugin_dll_target(${api} dll)
  target_compile_definitions(${target} PRIVATE
    TALVORI_TEST_PLUGIN_API=${api}
    TALVORI_TEST_PLUGIN_DLL="$<TARGET_FILE:${dll}>"
    TALVORI_TEST_PLUGIN_DLL_NAME="$<TARGET_FILE_NAME:${dll}>")
endfunction()

# talvori_add_plugin_gtest(name SOURCES ... LIBS ... [API_LIBS ...] [SESSION]
#                          [TIMEOUT s] [PLUGIN_DLL])
# The same plugin tests once per API level this tree builds the plugin for
# (TALVORI_PLUGIN_APIS): programs ${name}_api<N>, tests named
# <processor>.api<N>.<suite>.<case>. Each program links talvori_fake_host<N>,
# whose installFakeHost() hands the simulated host's table of that level to
# that level's adapter, and <lib><N> for each lib of API_LIBS (helpers
# compiled once per level, e.g. talvori_plugin_session); it gets the
# definitions of talvori_plugin_test_definitions. PLUGIN_DLL: the program
# loads that DLL, so it is built first. The programs' names go to
# ${name}_TARGETS.
function(talvori_add_plugin_gtest name)
  cmake_parse_arguments(T "SESSION;PLUGIN_DLL" "TIMEOUT" "SOURCES;LIBS;API_LIBS" ${ARGN})
  set(options)
  if(T_SESSION)
    list(APPEND options SESSION)
  endif()
  if(T_TIMEOUT)
    list(APPEND options TIMEOUT ${T_TIMEOUT})
  endif()
  set(targets)
  foreach(api ${TALVORI_PLUGIN_APIS})
    set(exe ${name}_api${api})
    set(api_libs)
    foreach(lib ${T_API_LIBS})
      list(APPEND api_libs ${lib}${api})
    endforeach()
    talvori_add_gtest(${exe}
      SOURCES ${T_SOURCES}
      LIBS ${api_libs} ${T_LIBS} talvori_fake_host${api}
      PREFIX "${CMAKE_SYSTEM_PROCESSOR}.api${api}."
      ${options})
    talvori_plugin_test_definitions(${exe} ${api})
    if(T_PLUGIN_DLL)
      talvori_plugin_dll_target(${api} dll)
      add_dependencies(${exe} ${dll})
    endif()
    list(APPEND targets ${exe})
  endforeach()
  set(${name}_TARGETS ${targets} PARENT_SCOPE)
endfunction()
