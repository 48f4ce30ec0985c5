# Seeds the regular-expression fuzz target with patterns of every kind of
# construct and runs it for a fixed number of inputs.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/seeds ${WORK}/corpus)
string(ASCII 1 split)
set(seeds
    "7(a|b)*?c${split}aabbc"
    "3^\\w+$${split}ab\ncd\r\nef"
    "4(?=(a+))a*b\\1${split}baaabac"
    "5[^\\s\\S]|[a-z\\d]{2,3}?${split}AB12cd"
    "6(x)?(?!y)\\b.\\B\\2${split}xyz"
    "7onmouseover=[\\s\\S]*?url.*?>(.*)</div>${split}<a onmouseover=x url>u</div>"
    "0\\x41\\u4e2d\\cJ\\012[\\b-\\t]${split}A")
set(n 0)
foreach(seed IN LISTS seeds)
    file(WRITE ${WORK}/seeds/seed${n} "${seed}")
    math(EXPR n "${n} + 1")
endforeach()
execute_process(COMMAND ${FUZZER} -runs=20000 -seed=1 -max_len=256 -timeout=10 ${WORK}/corpus ${WORK}/seeds
    RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the regular-expression fuzz target failed")
endif()
