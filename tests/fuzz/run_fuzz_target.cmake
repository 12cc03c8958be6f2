# Runs one fuzz target for a bounded time on a fresh copy of its seed corpus.
# Inputs: FUZZER, SEEDS, WORK, SECONDS, MAX_LEN. A failing input is left in WORK/artifacts.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/artifacts)
file(COPY ${SEEDS}/ DESTINATION ${WORK}/corpus)
execute_process(
    COMMAND ${FUZZER} -max_total_time=${SECONDS} -timeout=10 -rss_limit_mb=2048
            -max_len=${MAX_LEN} -print_final_stats=1 -artifact_prefix=${WORK}/artifacts/
            ${WORK}/corpus
    WORKING_DIRECTORY ${WORK}
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${FUZZER} found a fault (exit ${result}); the input is in ${WORK}/artifacts")
endif()
