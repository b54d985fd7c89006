# run_goldens.cmake - every NAME.ms here goes to the listener on standard input; what it
# prints must equal NAME.out. Scripts whose first line is "-- windows only" need the
# real host (dialogs, plug-ins) and are skipped by the native run. NAME.answers, when there is
# one, is handed to the run as VANTREL_DIALOG_ANSWERS.
# With -DGC_STRESS=N the engine collects at every Nth safe point (scripts whose first line is
# "-- no gc stress" are skipped: they make garbage on purpose and would take too long).
#   cmake -DHOST=exe [-DEMULATOR=wine] [-DHOST_ARGS=...] [-DNATIVE=ON] [-DGC_STRESS=N] -DDIR=folder -P run_goldens.cmake
file(GLOB scripts "${DIR}/*.ms")
set(failed "")
set(count 0)
foreach(script ${scripts})
    get_filename_component(name ${script} NAME_WE)
    file(STRINGS ${script} first LIMIT_COUNT 1)
    if(NATIVE AND first MATCHES "^-- windows only")
        continue()
    endif()
    set(env "")
    if(GC_STRESS)
        if(first MATCHES "^-- no gc stress")
            continue()
        endif()
        set(env ${CMAKE_COMMAND} -E env VANTREL_GC_STRESS=${GC_STRESS})
    endif()
    # NAME.answers beside a script holds the answers its dialog boxes get (one line, "|" between).
    set(answers "")
    if(EXISTS ${DIR}/${name}.answers)
        file(STRINGS ${DIR}/${name}.answers answer_line LIMIT_COUNT 1)
        set(answers ${CMAKE_COMMAND} -E env "VANTREL_DIALOG_ANSWERS=${answer_line}")
    endif()
    execute_process(COMMAND ${env} ${answers} ${EMULATOR} ${HOST} ${HOST_ARGS}
                    INPUT_FILE ${script}
                    WORKING_DIRECTORY ${DIR}
                    OUTPUT_VARIABLE out
                    ERROR_VARIABLE err
                    RESULT_VARIABLE rc
                    TIMEOUT 120)
    string(REPLACE "\r\n" "\n" out "${out}")
    file(READ ${DIR}/${name}.out expected)
    string(REPLACE "\r\n" "\n" expected "${expected}")
    math(EXPR count "${count} + 1")
    if(NOT rc EQUAL 0 OR NOT out STREQUAL expected)
        file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${name}.actual "${out}")
        message("---- ${name}: exit ${rc}; got (saved as ${name}.actual):\n${out}\n---- stderr:\n${err}")
        execute_process(COMMAND diff -u ${DIR}/${name}.out ${CMAKE_CURRENT_BINARY_DIR}/${name}.actual)
        list(APPEND failed ${name})
    endif()
endforeach()
if(failed)
    message(FATAL_ERROR "golden scripts that differ: ${failed}")
endif()
message("golden scripts passed: ${count}")
