# Common settings of every target of the project: C++20, the include root, warnings, and the
# sanitizers when CORVEL_SANITIZE is on.
function(corvel_target target)
  target_compile_features(${target} PUBLIC cxx_std_20)
  # One include root: every include names its folder, "link/frame.h".
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/generated)
  set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(CORVEL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(CORVEL_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(CORVEL_BUILD_FUZZ)
    # Coverage for libFuzzer in every library the fuzz targets link; undefined
    # behaviour ends the run like a crash.
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined
                                             -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=undefined)
  endif()
endfunction()

# Adds every direct sub-folder of the current folder that has a CMakeLists.txt.
function(corvel_add_child_folders)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# A GoogleTest executable registered with ctest: one ctest entry per test case,
# or, in a cross build (run under an emulator that is slow to start), one
# entry for the whole executable.
function(corvel_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  corvel_target(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    corvel_emulated_test(${name} ENV ${ARG_ENV})
  else()
    # A test case that hangs fails on its own instead of holding up the run.
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 60 ENVIRONMENT "${ARG_ENV}")
  endif()
endfunction()
