# Shared build settings and helpers for every target of the project.

set(ORVEX_WARNINGS -Wall -Wextra -Wpedantic -Werror -Wshadow -Wnon-virtual-dtor
    -Wcast-align -Wunused -Woverloaded-virtual -Wnull-dereference -Wimplicit-fallthrough)

if(ORVEX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# add_subdirectory for every immediate child folder of DIR that has a CMakeLists.txt,
# in name order, so layers can be added without touching their parents.
function(orvex_add_subdirectories dir)
  file(GLOB children LIST_DIRECTORIES true CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*")
  list(SORT children)
  foreach(child IN LISTS children)
    if(IS_DIRECTORY "${child}" AND EXISTS "${child}/CMakeLists.txt")
      add_subdirectory("${child}")
    endif()
  endforeach()
endfunction()

# orvex_library(NAME SOURCES ... [DEPS ...]): a static layer library with project warnings.
function(orvex_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${ORVEX_WARNINGS})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# orvex_test(NAME SOURCES ... [DEPS ...]): a GoogleTest executable registered with ctest.
function(orvex_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${ORVEX_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gmock GTest::gtest_main Threads::Threads)
  target_compile_definitions(${name} PRIVATE
    ORVEX_SOURCE_DIR="${PROJECT_SOURCE_DIR}" ORVEX_BINARY_DIR="${PROJECT_BINARY_DIR}")
  if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
    # A test program of the Windows build is one test, run under Wine after the DLLs are
    # registered in a fresh prefix (tests/windows/run_wine_tests.sh).
    add_test(NAME ${name}
             COMMAND ${PROJECT_SOURCE_DIR}/tests/windows/run_wine_tests.sh ${PROJECT_BINARY_DIR}
                     ${PROJECT_SOURCE_DIR} exe $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77 RUN_SERIAL ON TIMEOUT 300
                                            ENVIRONMENT "ORVEX_TEST=1")
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT "ORVEX_TEST=1")
  endif()
endfunction()

# orvex_windows_dll(TARGET DEF): a DLL of the Windows build exporting exactly what the
# module-definition file DEF lists (undecorated, also where stdcall decorates), named as
# the target without the "lib" prefix.
function(orvex_windows_dll target def)
  # On 32-bit x86 the entry points are stdcall symbols (DllGetClassObject@12): the .def
  # names them plainly, and the stdcall fixup links each name to its symbol.
  target_link_options(${target} PRIVATE ${def} -Wl,--kill-at -Wl,--enable-stdcall-fixup)
  set_target_properties(${target} PROPERTIES PREFIX "" LINK_DEPENDS ${def})
endfunction()

include(GoogleTest)

if(ORVEX_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# orvex_fuzzer(NAME SOURCES ... [DEPS ...]): a fuzz target defining LLVMFuzzerTestOneInput.
# Always builds replay_NAME, which runs the target over every file of seeds/ and is a ctest
# (so the sanitizer build checks the seed corpus); with ORVEX_FUZZ it also builds the
# libFuzzer binary fuzz_NAME.
function(orvex_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(replay_${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
  target_compile_options(replay_${name} PRIVATE ${ORVEX_WARNINGS})
  target_include_directories(replay_${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(replay_${name} PRIVATE ${ARG_DEPS})
  add_test(NAME fuzz_replay_${name}
           COMMAND replay_${name} ${CMAKE_CURRENT_SOURCE_DIR}/seeds)
  if(ORVEX_FUZZ)
    add_executable(fuzz_${name} ${ARG_SOURCES})
    target_compile_options(fuzz_${name} PRIVATE ${ORVEX_WARNINGS})
    target_include_directories(fuzz_${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(fuzz_${name} PRIVATE ${ARG_DEPS})
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  endif()
endfunction()

# orvex_benchmark(NAME SOURCES ... [DEPS ...]): a Google Benchmark executable.
function(orvex_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${ORVEX_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests
                                             ${PROJECT_SOURCE_DIR}/bench)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
endfunction()
