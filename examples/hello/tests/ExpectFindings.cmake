# Runs kwtcheck and compares its findings with the expected ones:
#   cmake -DCHECK=<kwtcheck> [-DEMULATOR=<wine-run>] -DBINDS=<-l|-m> -DWHAT=<list or program>
#         -DFILE=<resource file> -DEXPECTED=<file of expected lines> -P ExpectFindings.cmake
# Each expected line must be the end of exactly one finding, and there must
# be no other finding; an empty file of expected lines asks for a clean
# file (exit code 0).
execute_process(COMMAND ${EMULATOR} ${CHECK} -q ${BINDS} ${WHAT} ${FILE}
    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
# Lists split at ';': the semicolons of the texts are compared as ","
# instead.
function(split_lines text var)
    string(REPLACE "\r" "" text "${text}")
    string(REPLACE ";" "," text "${text}")
    string(REGEX REPLACE "\n$" "" text "${text}")
    set(lines)
    if(NOT text STREQUAL "")
        string(REPLACE "\n" ";" lines "${text}")
    endif()
    set(${var} "${lines}" PARENT_SCOPE)
endfunction()
file(READ ${EXPECTED} expected)
split_lines("${expected}" expected)
split_lines("${out}" found)
list(LENGTH expected nExpected)
list(LENGTH found nFound)
set(want 1)
if(nExpected EQUAL 0)
    set(want 0)
endif()
if(NOT code EQUAL want OR NOT nFound EQUAL nExpected)
    message(FATAL_ERROR "exit code ${code} (expected ${want}), ${nFound} findings (expected ${nExpected}):\n${out}\n${err}")
endif()
foreach(line IN LISTS expected)
    set(hits 0)
    foreach(finding IN LISTS found)
        string(FIND "${finding}" "${line}" at REVERSE)
        string(LENGTH "${finding}" nFinding)
        string(LENGTH "${line}" nLine)
        math(EXPR end "${nFinding} - ${nLine}")
        if(at GREATER_EQUAL 0 AND at EQUAL end)
            math(EXPR hits "${hits} + 1")
        endif()
    endforeach()
    if(NOT hits EQUAL 1)
        message(FATAL_ERROR "finding \"${line}\" reported ${hits} times:\n${out}")
    endif()
endforeach()
