# Seeds the BMP fuzz target with a few well-formed files and runs it for a
# fixed number of inputs.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/seeds ${WORK}/corpus)
execute_process(COMMAND ${SEEDER} ${WORK}/seeds RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "writing the seeds failed")
endif()
execute_process(COMMAND ${FUZZER} -runs=30000 -seed=1 -max_len=4096 ${WORK}/corpus ${WORK}/seeds
    RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the BMP fuzz target failed")
endif()
