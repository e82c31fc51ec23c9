# OstrevinTargets.cmake - compiler settings and the helpers that add libraries and tests.

include(GoogleTest)

# Warnings of every target of this project (not of GoogleTest).
function(ostrevin_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(OSTREVIN_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# GoogleTest: the system's package natively, built from the Debian sources
# with the cross compiler for Windows.
macro(ostrevin_find_googletest)
  if(CMAKE_CROSSCOMPILING)
    set(OSTREVIN_GOOGLETEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources")
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    # Defines GTest::gtest, GTest::gtest_main and GTest::gmock.
    add_subdirectory(${OSTREVIN_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  else()
    find_package(GTest REQUIRED)
  endif()
endmacro()

# ostrevin_add_test(NAME SOURCES... LIBS... [LABELS...] [XVFB])
#
# One test program. Natively every GoogleTest case becomes a CTest test
# labelled "unit"; in the Windows build the program is one CTest test that
# runs under Wine, labelled "wine". XVFB gives it a private X display and
# keeps it from running beside other tests.
function(ostrevin_add_test name)
  cmake_parse_arguments(ARG "XVFB" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  ostrevin_set_warnings(${name})
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
    set_tests_properties(${name} PROPERTIES LABELS "wine;${ARG_LABELS}" TIMEOUT 600)
    if(ARG_XVFB)
      set_tests_properties(${name} PROPERTIES ENVIRONMENT "OSTREVIN_XVFB=1" RUN_SERIAL TRUE)
    endif()
  else()
    gtest_discover_tests(${name} PROPERTIES LABELS "unit;${ARG_LABELS}")
  endif()
endfunction()
