# Saves a scene in each Windows build and loads it in the other; scene_across_builds.exe
# compares the graphs and the files. This build runs in the prefix ctest was given, the
# other in its own; each prefix already knows its architecture.
set(THIS_PREFIX $ENV{WINEPREFIX})
unset(ENV{WINEARCH})
if(NOT EXISTS ${PEER_BIN}/scene_across_builds.exe)
    message(FATAL_ERROR "${PEER_BIN}/scene_across_builds.exe is missing: build the other Windows build first")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

function(side bin prefix)
    if(prefix)
        set(ENV{WINEPREFIX} ${prefix})
    else()
        unset(ENV{WINEPREFIX})
    endif()
    execute_process(COMMAND wine ${bin}/scene_across_builds.exe ${ARGN}
                    WORKING_DIRECTORY ${bin} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "scene_across_builds ${ARGN} in ${bin} failed (${result})")
    endif()
endfunction()

foreach(direction "this;peer" "peer;this")
    list(GET direction 0 from)
    list(GET direction 1 to)
    string(TOUPPER ${from} FROM)
    string(TOUPPER ${to} TO)
    set(saved ${WORK_DIR}/from_${from}.vsc)
    side("${${FROM}_BIN}" "${${FROM}_PREFIX}" save ${saved})
    side("${${TO}_BIN}" "${${TO}_PREFIX}" load ${saved} ${WORK_DIR}/from_${from}_again.vsc)
endforeach()
