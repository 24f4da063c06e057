# The functions every folder of the suite declares its libraries, tests and
# build-order needs with.

# kovra_needs(<target> <needed targets...>)
# <target> is built after the targets named (a test after the programs it
# starts, a library after the data it loads). The wish is only recorded
# here: a needed program may come from a folder added later (tools/ comes
# after engine/). kovra_resolve_needs(), at the end of the top-level
# CMakeLists.txt, adds the dependencies and stops the configure run when a
# name, on either side, is no target: a renamed test or program must not
# lose its dependency without a word.
function(kovra_needs target)
  if(NOT ARGN)
    message(FATAL_ERROR "kovra_needs(${target}): no needed target named")
  endif()
  set_property(GLOBAL APPEND PROPERTY KOVRA_NEEDING_TARGETS ${target})
  set_property(GLOBAL APPEND PROPERTY KOVRA_NEEDS_OF_${target} ${ARGN})
  set_property(GLOBAL APPEND PROPERTY KOVRA_NEEDS_STATED_IN_${target} ${CMAKE_CURRENT_LIST_FILE})
endfunction()

# kovra_test_needs(<test> <needed targets...>): kovra_needs for one test
# program, stated only when the tests are built.
function(kovra_test_needs test)
  if(KOVRA_BUILD_TESTS)
    kovra_needs(${test} ${ARGN})
  endif()
endfunction()

function(kovra_resolve_needs)
  get_property(targets GLOBAL PROPERTY KOVRA_NEEDING_TARGETS)
  list(REMOVE_DUPLICATES targets)
  foreach(target ${targets})
    get_property(needs GLOBAL PROPERTY KOVRA_NEEDS_OF_${target})
    get_property(places GLOBAL PROPERTY KOVRA_NEEDS_STATED_IN_${target})
    list(REMOVE_DUPLICATES places)
    if(NOT TARGET ${target})
      message(FATAL_ERROR "kovra_needs: '${target}' (named in ${places}) is no target")
    endif()
    foreach(need ${needs})
      if(NOT TARGET ${need})
        message(FATAL_ERROR "kovra_needs: '${target}' needs '${need}' (named in ${places}), "
                            "which no folder of the build defines")
      endif()
    endforeach()
    add_dependencies(${target} ${needs})
  endforeach()
endfunction()

# kovra_add_test(<name> SOURCES <files...> LIBS <targets...> [ENVIRONMENT <VAR=value...>]
#                [INCLUDES <folders...>] [NEEDS <targets...>])
# One GoogleTest program; each of its tests becomes a CTest test, run with the
# environment given (GUI tests: QT_QPA_PLATFORM=offscreen). NEEDS: the
# programs or data the tests use at run time, built first (kovra_needs).
function(kovra_add_test name)
  if(NOT KOVRA_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENVIRONMENT;INCLUDES;NEEDS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} kovra_test_support
    GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    KOVRA_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    KOVRA_BIN_DIR="${KOVRA_BIN_DIR}")
  if(T_INCLUDES)
    target_include_directories(${name} PRIVATE ${T_INCLUDES})
  endif()
  if(T_NEEDS)
    kovra_needs(${name} ${T_NEEDS})
  endif()
  if(KOVRA_SANITIZE)
    # Tests that bound their own running time allow for the slower code.
    target_compile_definitions(${name} PRIVATE KOVRA_SANITIZED=1)
  endif()
  set(properties TIMEOUT 120)
  if(T_ENVIRONMENT)
    list(APPEND properties ENVIRONMENT "${T_ENVIRONMENT}")
  endif()
  # A CTest test is named as GoogleTest names it: a parameterised case by
  # the name its suite gives it, never by the printed bytes of its
  # parameter, which change from build to build.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST NO_PRETTY_VALUES
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ${properties})
endfunction()

# kovra_module(<target> LIBS <deps...> [TEST_LIBS <deps...>] [TEST_ENVIRONMENT <VAR=value...>]
#              [TEST_INCLUDES <folders...>] [TEST_NEEDS <targets...>])
# A static library of every .cpp file of the calling folder, and one test
# program per tests/*_test.cpp file (other files of tests/ are fixtures).
# The TEST_ options apply to every test program of the module; a need of
# one test alone is stated with kovra_test_needs(<module>_<file name> ...).
function(kovra_module target)
  cmake_parse_arguments(M "" "" "LIBS;TEST_LIBS;TEST_ENVIRONMENT;TEST_INCLUDES;TEST_NEEDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    message(FATAL_ERROR "kovra_module(${target}): no .cpp file in ${CMAKE_CURRENT_SOURCE_DIR}")
  endif()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${M_LIBS})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*_test.cpp)
  foreach(test ${tests})
    get_filename_component(test_name ${test} NAME_WE)
    kovra_add_test(${target}_${test_name} SOURCES ${test} LIBS ${target} ${M_TEST_LIBS}
      ENVIRONMENT ${M_TEST_ENVIRONMENT} INCLUDES ${M_TEST_INCLUDES} NEEDS ${M_TEST_NEEDS})
  endforeach()
endfunction()
