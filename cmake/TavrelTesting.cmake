find_package(GTest REQUIRED)
include(GoogleTest)

find_program(XVFB_RUN xvfb-run)

# Pictures the window tests keep for looking at (never in the source tree).
set(TAVREL_PICTURE_DIR "${CMAKE_BINARY_DIR}/pictures" CACHE PATH
    "Folder for the pictures that window tests write")

# Bounds on a whole test, in seconds: only a hang comes near them, on a
# machine as busy as the test command tolerates (every core taken, a
# sanitizer build). A GL test is one executable with all its cases.
set(TAVREL_TEST_TIMEOUT 900)
set(TAVREL_GL_TEST_TIMEOUT 1800)
# Where the GL tests' X servers start looking for a free display, one test
# after another; xvfb-run's own default, 99, is left to programs that use it.
set(TAVREL_FIRST_TEST_DISPLAY 110)
set(TAVREL_TEST_DISPLAY_STEP 10)

# tavrel_add_test(<target> LABEL <label> SOURCES <files...> LIBS <libs...>
#                 [GL] [MAIN] [ENV <VAR=value...>])
# One GoogleTest executable registered as one CTest test per test case.
# GL tests run inside a fresh Xvfb server with Mesa's software renderer.
# MAIN links GoogleTest's own main; without it the sources bring their own.
function(tavrel_add_test target)
  cmake_parse_arguments(T "GL;MAIN" "LABEL" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${target} ${T_SOURCES})
  target_link_libraries(${target} PRIVATE ${T_LIBS} GTest::gtest)
  if(T_MAIN)
    target_link_libraries(${target} PRIVATE GTest::gtest_main)
  endif()
  # Paths the tests need, fixed at build time.
  target_compile_definitions(${target} PRIVATE TAVREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  if(TARGET tavrel)
    target_compile_definitions(${target} PRIVATE TAVREL_BIN="$<TARGET_FILE:tavrel>")
    add_dependencies(${target} tavrel)
  endif()
  set(env ${T_ENV})
  if(T_GL)
    # Mesa keeps its allocations until exit; leak reports would only name it.
    list(APPEND env "ASAN_OPTIONS=detect_leaks=0")
  elseif(T_LABEL STREQUAL "mpi")
    # MPICH's transport modules leave allocations at exit that are not ours.
    list(APPEND env "ASAN_OPTIONS=detect_leaks=0")
  endif()
  if(T_GL)
    if(NOT XVFB_RUN)
      message(FATAL_ERROR "xvfb-run is needed for the window tests (Debian package xvfb)")
    endif()
    list(APPEND env "LIBGL_ALWAYS_SOFTWARE=1")
    # One X server per test executable: the cases of one executable share it.
    # xvfb-run -a takes the first free display from its start number on and
    # gives up after ten servers that lost the race for one; so that tests
    # that start at once (ctest -j) do not all race for the same few, each
    # starts from a display number of its own.
    get_property(display GLOBAL PROPERTY TAVREL_NEXT_DISPLAY)
    if(NOT display)
      set(display ${TAVREL_FIRST_TEST_DISPLAY})
    endif()
    math(EXPR next "${display} + ${TAVREL_TEST_DISPLAY_STEP}")
    set_property(GLOBAL PROPERTY TAVREL_NEXT_DISPLAY ${next})
    add_test(NAME ${target}
             COMMAND ${XVFB_RUN} -n ${display} -a -s "-screen 0 1280x1024x24"
                     $<TARGET_FILE:${target}>)
    set_tests_properties(${target} PROPERTIES LABELS "${T_LABEL}" ENVIRONMENT "${env}"
                         TIMEOUT ${TAVREL_GL_TEST_TIMEOUT})
  else()
    # gtest_discover_tests flattens lists, so the environment goes one entry each.
    set(props LABELS "${T_LABEL}" TIMEOUT ${TAVREL_TEST_TIMEOUT})
    foreach(entry IN LISTS env)
      list(APPEND props ENVIRONMENT "${entry}")
    endforeach()
    gtest_discover_tests(${target} PROPERTIES ${props} DISCOVERY_TIMEOUT 300)
  endif()
endfunction()
