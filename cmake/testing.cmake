# GoogleTest from Debian's source package, built with the cross toolchain.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
if(NOT EXISTS /usr/src/googletest/CMakeLists.txt)
  message(FATAL_ERROR "googletest sources missing: apt-get install googletest")
endif()
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# Every test that touches the session-wide names (shared areas, mutex,
# window title, registry key) holds this lock so a parallel ctest cannot
# interleave them.
set(TALVORI_SESSION_LOCK talvori_session)

# talvori_add_gtest(name SOURCES ... LIBS ... [SESSION] [TIMEOUT s] [PREFIX p])
# Test names are prefixed with the tree's processor ("i686.") unless PREFIX
# says otherwise.
function(talvori_add_gtest name)
  cmake_parse_arguments(T "SESSION" "TIMEOUT;PREFIX" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main ${T_LIBS})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  if(NOT T_PREFIX)
    set(T_PREFIX "${CMAKE_SYSTEM_PROCESSOR}.")
  endif()
  set(props TIMEOUT ${T_TIMEOUT})
  if(T_SESSION)
    list(APPEND props RESOURCE_LOCK ${TALVORI_SESSION_LOCK})
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    TEST_PREFIX "${T_PREFIX}"
    PROPERTIES ${props})
endfunction()

# talvori_add_plugin_gtest(name SOURCES ... LIBS ... [SESSION] [TIMEOUT s] [PLUGIN_DLL])
# The same plugin tests once per API level this tree builds the plugin for
# (TALVORI_PLUGIN_APIS): programs ${name}_api<N>, tests named
# <processor>.api<N>.<suite>.<case>. Each program links talvori_fake_host<N>,
# whose installFakeHost() hands the simulated host's table of that level to
# that level's adapter, and learns its level and DLL from the definitions
# TALVORI_TEST_PLUGIN_API, TALVORI_TEST_PLUGIN_DLL (the DLL's path, Unix
# form) and TALVORI_TEST_PLUGIN_DLL_NAME. PLUGIN_DLL: the program loads that
# DLL, so it is built first. The programs' names go to ${name}_TARGETS.
function(talvori_add_plugin_gtest name)
  cmake_parse_arguments(T "SESSION;PLUGIN_DLL" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
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
    talvori_add_gtest(${exe}
      SOURCES ${T_SOURCES}
      LIBS ${T_LIBS} talvori_fake_host${api}
      PREFIX "${CMAKE_SYSTEM_PROCESSOR}.api${api}."
      ${options})
    talvori_plugin_dll_target(${api} dll)
    target_compile_definitions(${exe} PRIVATE
      TALVORI_TEST_PLUGIN_API=${api}
      TALVORI_TEST_PLUGIN_DLL="$<TARGET_FILE:${dll}>"
      TALVORI_TEST_PLUGIN_DLL_NAME="$<TARGET_FILE_NAME:${dll}>")
    if(T_PLUGIN_DLL)
      add_dependencies(${exe} ${dll})
    endif()
    list(APPEND targets ${exe})
  endforeach()
  set(${name}_TARGETS ${targets} PARENT_SCOPE)
endfunction()
