# Runs one fuzz target on a fresh copy of its seed corpus, with a fixed seed and a fixed number of
# executions, so that the same commit always gives the same result.
# Inputs: FUZZER, SEEDS, WORK, SEED, RUNS, MAX_LEN. A failing input is left in WORK/artifacts.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/artifacts)
file(COPY ${SEEDS}/ DESTINATION ${WORK}/corpus)
# -use_cmp=0: the values that traced comparisons feed into mutations include addresses, which change
# from run to run (address space layout randomisation). -reload=0: the corpus folder is read once;
# reloading it is timed, not counted.
execute_process(
    COMMAND ${FUZZER} -seed=${SEED} -runs=${RUNS} -use_cmp=0 -reload=0 -timeout=10
            -rss_limit_mb=2048
            -max_len=${MAX_LEN} -print_final_stats=1 -artifact_prefix=${WORK}/artifacts/
            ${WORK}/corpus
    WORKING_DIRECTORY ${WORK}
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${FUZZER} found a fault (exit ${result}); the input is in ${WORK}/artifacts")
endif()
