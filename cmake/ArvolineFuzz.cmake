# libFuzzer builds (clang only): every library is instrumented for coverage
# and checked by AddressSanitizer and UndefinedBehaviorSanitizer; each fuzz
# program links libFuzzer's main.
#
# arvoline_add_fuzz_target(NAME SOURCE file.cc LIBS libs... [CORPUS dir]
# [DICT file] [RUNS n]) adds one target of fuzz/: the program NAME, its committed seed
# corpus fuzz/corpus/NAME (or fuzz/corpus/CORPUS; inputs that once failed
# stay there as regression inputs), an optional dictionary, and a CTest entry,
# labelled "fuzz", that runs it for ARVOLINE_FUZZ_SECONDS with the libFuzzer
# seed ARVOLINE_FUZZ_SEED (0: a new one each run). New inputs and crash
# artifacts go to fuzz-runs/NAME/ in the build folder, never into the corpus.
# RUNS caps the bounded run (fixed seed) at n inputs as well: a slow target
# then tries the same inputs on a fast idle machine as on a loaded one, so
# the test run does not depend on the machine's speed.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "ARVOLINE_FUZZ needs clang (CXX=clang++), not ${CMAKE_CXX_COMPILER_ID}")
endif()

set(ARVOLINE_FUZZ_SECONDS 30 CACHE STRING "How long each fuzz target runs under CTest")
set(ARVOLINE_FUZZ_SEED 1 CACHE STRING "libFuzzer -seed (0: random)")

# -O1 with line tables only, as fuzzing builds usually are: quick to compile,
# quick to run, and enough for the sanitizers' stack traces.
add_compile_options(-O1 -gline-tables-only
  -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
add_link_options(-fsanitize=address,undefined)

add_custom_target(arvoline_fuzz_targets)

function(arvoline_add_fuzz_target name)
  cmake_parse_arguments(F "" "SOURCE;CORPUS;DICT;RUNS" "LIBS" ${ARGN})
  if(NOT F_CORPUS)
    set(F_CORPUS ${name})
  endif()
  set(dict "")
  if(F_DICT)
    set(dict -dict=${CMAKE_CURRENT_SOURCE_DIR}/${F_DICT})
  endif()
  set(runs "")
  if(F_RUNS AND NOT ARVOLINE_FUZZ_SEED STREQUAL "0")
    set(runs -runs=${F_RUNS})
  endif()
  add_executable(${name} ${F_SOURCE})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  add_dependencies(arvoline_fuzz_targets ${name})
  add_test(NAME ${name}
    COMMAND bash ${CMAKE_SOURCE_DIR}/fuzz/run_fuzz_target.sh $<TARGET_FILE:${name}>
            ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${F_CORPUS} ${CMAKE_BINARY_DIR}/fuzz-runs/${name}
            ${ARVOLINE_FUZZ_SECONDS} ${ARVOLINE_FUZZ_SEED} ${dict} ${runs})
  math(EXPR timeout "${ARVOLINE_FUZZ_SECONDS} + 300")
  set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT ${timeout})
endfunction()
