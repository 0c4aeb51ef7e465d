find_package(GTest REQUIRED)
include(GoogleTest)

find_program(XVFB_RUN xvfb-run)

# Pictures the window tests keep for looking at (never in the source tree).
set(TAVREL_PICTURE_DIR "${CMAKE_BINARY_DIR}/pictures" CACHE PATH
    "Folder for the pictures that window tests write")

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
    add_test(NAME ${target}
             COMMAND ${XVFB_RUN} -a -s "-screen 0 1280x1024x24" $<TARGET_FILE:${target}>)
    set_tests_properties(${target} PROPERTIES LABELS "${T_LABEL}" ENVIRONMENT "${env}"
                         TIMEOUT 600)
  else()
    # gtest_discover_tests flattens lists, so the environment goes one entry each.
    set(props LABELS "${T_LABEL}" TIMEOUT 300)
    foreach(entry IN LISTS env)
      list(APPEND props ENVIRONMENT "${entry}")
    endforeach()
    gtest_discover_tests(${target} PROPERTIES ${props} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
