# Fails when PROGRAM imports a library that is not a KnownDLL on every
# Windows from 7 to 11. Any other library Windows would look for beside the
# program first, where a file of that name may have been left for it; such
# libraries are loaded at run time from the system folder instead
# (runtime/system_libraries.h).
# Usage: cmake -DOBJDUMP=... -DPROGRAM=... -P CheckKnownDllImports.cmake
set(known advapi32 clbcatq comdlg32 gdi32 imagehlp imm32 kernel32 msctf msvcrt normaliz nsi ole32 oleaut32
    psapi rpcrt4 sechost setupapi shell32 shlwapi user32 wldap32 ws2_32)
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${OBJDUMP} could not read ${PROGRAM}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" lines "${dump}")
if(NOT lines)
    message(FATAL_ERROR "no imports found in ${PROGRAM}")
endif()
set(unknown "")
foreach(line IN LISTS lines)
    string(REGEX REPLACE "DLL Name: ([^\n]+)" "\\1" name "${line}")
    string(STRIP "${name}" name)
    string(TOLOWER "${name}" lower)
    string(REGEX REPLACE "\\.dll$" "" base "${lower}")
    list(FIND known "${base}" index)
    if(index EQUAL -1)
        list(APPEND unknown "${name}")
    endif()
    message(STATUS "imports ${name}")
endforeach()
if(unknown)
    message(FATAL_ERROR "imports libraries that are not KnownDLLs: ${unknown}")
endif()
