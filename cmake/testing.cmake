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

# talvori_add_gtest(name SOURCES ... LIBS ... [SESSION] [TIMEOUT s])
function(talvori_add_gtest name)
  cmake_parse_arguments(T "SESSION" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main ${T_LIBS})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set(props TIMEOUT ${T_TIMEOUT})
  if(T_SESSION)
    list(APPEND props RESOURCE_LOCK ${TALVORI_SESSION_LOCK})
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    TEST_PREFIX "${CMAKE_SYSTEM_PROCESSOR}."
    PROPERTIES ${props})
endfunction()
