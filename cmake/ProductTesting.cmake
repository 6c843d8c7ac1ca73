# GoogleTest, built from Debian's sources so that it carries the same
# sanitizer and cross-compiler settings as the code under test.

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)
if(ZQ3R_TESTS_IN_MACHINE)
  include(MachineTesting)
endif()

# zq3r_add_gtest(<name> [MACHINE] SOURCES <files...> LIBS <targets...>)
# One test program; natively each test case becomes a CTest test, on the
# Windows builds the whole program runs as one test: under Wine, or, marked
# MACHINE, in the emulated PC (other programs are not built for it).
function(zq3r_add_gtest name)
  cmake_parse_arguments(ARG "MACHINE" "" "SOURCES;LIBS" ${ARGN})
  if(ZQ3R_TESTS_IN_MACHINE AND NOT ARG_MACHINE)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  if(CMAKE_CROSSCOMPILING)
    zq3r_add_windows_test(${name} COMMAND ${name})
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
  endif()
endfunction()

# zq3r_add_windows_test(<name> COMMAND <program target> <arguments...>)
# A Windows test program run as a host would run it: under Wine, or on the
# 32-bit target in the emulated PC's one boot.
function(zq3r_add_windows_test name)
  cmake_parse_arguments(ARG "" "" "COMMAND" ${ARGN})
  if(ZQ3R_TESTS_IN_MACHINE)
    zq3r_add_machine_test(${name} ${ARG_COMMAND})
  else()
    add_test(NAME ${name} COMMAND ${ARG_COMMAND})
    set_tests_properties(${name} PROPERTIES LABELS wine TIMEOUT 600)
  endif()
endfunction()
