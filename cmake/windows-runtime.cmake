# Host errors are C++ exceptions crossing DLLs, so every binary shares one
# dynamically linked C++ runtime and unwinder; copy those DLLs beside the binaries.
# The unwinder differs: DWARF-2 on i686, SEH on x86_64.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(MINGW_UNWIND_DLL libgcc_s_seh-1.dll)
else()
    set(MINGW_UNWIND_DLL libgcc_s_dw2-1.dll)
endif()
set(MINGW_RUNTIME_DLLS "")
foreach(dll libstdc++-6.dll ${MINGW_UNWIND_DLL} libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT EXISTS "${path}")
        # libwinpthread lives with the target's libraries, not the compiler's.
        set(path ${CMAKE_FIND_ROOT_PATH}/lib/${dll})
    endif()
    if(NOT EXISTS "${path}")
        message(FATAL_ERROR "mingw runtime ${dll} not found")
    endif()
    list(APPEND MINGW_RUNTIME_DLLS ${path})
endforeach()
file(MAKE_DIRECTORY ${VANTREL_BIN_DIR} ${VANTREL_PLUGIN_DIR})
file(COPY ${MINGW_RUNTIME_DLLS} DESTINATION ${VANTREL_BIN_DIR})
