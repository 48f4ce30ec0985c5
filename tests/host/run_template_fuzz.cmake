# Seeds the template fuzz target with the program's templates and runs it
# for a fixed number of inputs.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/seeds ${WORK}/corpus)
foreach(variant program window-test)
    execute_process(COMMAND ${COMPILER} --variant ${variant} --binary ${WORK}/seeds/${variant}.bin RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "the template compiler failed on the ${variant} seed")
    endif()
endforeach()
execute_process(COMMAND ${FUZZER} -runs=30000 -seed=1 -max_len=8192 ${WORK}/corpus ${WORK}/seeds
    RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the template fuzz target failed")
endif()
