# Small helpers every module uses, so tests and fuzz targets are declared the same way.

# ksv_test(NAME SOURCES a.cpp b.cpp LIBS ksv_x)
# One GoogleTest executable; each of its tests becomes a CTest test.
function(ksv_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} ksv_testsupport GTest::gtest GTest::gtest_main Threads::Threads)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()

# ksv_fuzzer(NAME SOURCES f.cpp LIBS ksv_x [CORPUS dir])
# A libFuzzer target; under CTest it runs for KSV_FUZZ_SECONDS.
function(ksv_fuzzer name)
  if(NOT KSV_FUZZ)
    return()
  endif()
  cmake_parse_arguments(F "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
  file(MAKE_DIRECTORY ${corpus})
  set(seeds "")
  if(F_CORPUS)
    set(seeds ${F_CORPUS})
  endif()
  add_test(NAME ${name}
           COMMAND ${name} -max_total_time=${KSV_FUZZ_SECONDS} -rss_limit_mb=4096
                   -print_final_stats=1 ${corpus} ${seeds}
           WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT 600)
endfunction()
