# Helpers that register tests, fuzz targets and their corpus replays.
include(GoogleTest)

# project_add_tests(<name> LIBS <libs...> [SOURCES <files...>] [TIMEOUT <s>] [FIXTURE <f>])
# One GoogleTest executable per call; SOURCES defaults to every *.cpp in the calling folder.
# Every test case becomes its own CTest test, bounded in time, run in its own build folder;
# one that calls GTEST_SKIP counts as skipped. FIXTURE names a CTest fixture every test needs.
# SOURCE_DIR (the project's root) is defined for tests that need files from the tree.
function(project_add_tests name)
  cmake_parse_arguments(ARG "" "TIMEOUT;FIXTURE" "LIBS;SOURCES" ${ARGN})
  if(NOT ARG_SOURCES)
    file(GLOB ARG_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  target_compile_definitions(${name} PRIVATE SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                             BINARY_DIR="${PROJECT_BINARY_DIR}")
  set(fixture "")
  if(ARG_FIXTURE)
    set(fixture FIXTURES_REQUIRED ${ARG_FIXTURE})
  endif()
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS ${name} SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]"
               ${fixture})
endfunction()

# project_add_fuzz(<name> SOURCE <file> LIBS <libs...>)
# <file> defines LLVMFuzzerTestOneInput. Always builds <name>_replay, which runs every file of
# tests/fuzz/corpus/<name>/ through it as an ordinary test; with BUILD_FUZZERS and clang it also
# builds the libFuzzer binary fuzz_<name>.
function(project_add_fuzz name)
  cmake_parse_arguments(ARG "" "SOURCE" "LIBS" ${ARGN})
  set(corpus ${PROJECT_SOURCE_DIR}/tests/fuzz/corpus/${name})
  add_executable(${name}_replay ${ARG_SOURCE} ${PROJECT_SOURCE_DIR}/tests/fuzz/replay_main.cpp)
  target_link_libraries(${name}_replay PRIVATE ${ARG_LIBS})
  add_test(NAME fuzz_replay_${name} COMMAND ${name}_replay ${corpus})
  set_tests_properties(fuzz_replay_${name} PROPERTIES TIMEOUT 300 LABELS fuzz)
  if(BUILD_FUZZERS AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    add_executable(fuzz_${name} ${ARG_SOURCE})
    target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(fuzz_${name} PRIVATE ${ARG_LIBS})
  endif()
endfunction()
