# Delay-load import libraries for system DLLs: a function is bound at its first call, so a process
# that never calls into the DLL never loads it (a messenger, which only passes its command line
# on, then starts without the common controls). The exports are taken from MinGW's own import
# library, so every function of the DLL is delay-loaded, not only those called today.
function(lumetta_delay_import target dll)
    set(import_lib ${CMAKE_FIND_ROOT_PATH}/lib/lib${dll}.a)
    set(dir ${CMAKE_BINARY_DIR}/delay-import)
    set(def ${dir}/${dll}.def)
    set(delay_lib ${dir}/lib${dll}_delay.a)
    if(NOT EXISTS ${delay_lib})
        file(MAKE_DIRECTORY ${dir})
        execute_process(COMMAND ${CMAKE_NM} ${import_lib} OUTPUT_VARIABLE symbols
                        COMMAND_ERROR_IS_FATAL ANY)
        # "__imp_Name" on x64; "__imp__Name@N" (stdcall, decorated) on x86. One replacement of
        # the whole name: an anchored pattern would also strip a name's own leading underscore.
        string(REGEX MATCHALL "__imp_[A-Za-z0-9_@]+" imports "${symbols}")
        if(CMAKE_SIZEOF_VOID_P EQUAL 4)
            list(TRANSFORM imports REPLACE "^__imp__(.*)$" "\\1")
        else()
            list(TRANSFORM imports REPLACE "^__imp_(.*)$" "\\1")
        endif()
        list(REMOVE_DUPLICATES imports)
        list(JOIN imports "\n" exports)
        file(WRITE ${def} "LIBRARY ${dll}.dll\nEXPORTS\n${exports}\n")
        # Written under another name and renamed when complete: a configure stopped half-way
        # must not leave a library that the check above would take for finished.
        execute_process(COMMAND ${CMAKE_DLLTOOL} --kill-at --input-def ${def}
                                --output-delaylib ${delay_lib}.part --dllname ${dll}.dll
                        COMMAND_ERROR_IS_FATAL ANY)
        file(RENAME ${delay_lib}.part ${delay_lib})
    endif()
    target_link_libraries(${target} PRIVATE ${delay_lib} delayimp)
endfunction()
