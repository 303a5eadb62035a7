# Warnings are errors in every build of the project's own code.
function(lumetta_warnings target)
    get_target_property(type ${target} TYPE)
    set(scope PRIVATE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        set(scope INTERFACE)
    endif()
    target_compile_options(${target} ${scope} -Wall -Wextra -Wshadow -Wnon-virtual-dtor
                                              -Wformat=2 -Wundef -Werror)
endfunction()

# The program itself: no exceptions, no RTTI; sanitizers on the host when asked.
function(lumetta_program_flags target)
    get_target_property(type ${target} TYPE)
    set(scope PRIVATE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        set(scope INTERFACE)
    endif()
    lumetta_warnings(${target})
    target_compile_options(${target} ${scope} $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions -fno-rtti>)
    lumetta_sanitize(${target})
endfunction()

function(lumetta_sanitize target)
    if(LUMETTA_SANITIZE AND NOT WIN32)
        get_target_property(type ${target} TYPE)
        set(scope PUBLIC)
        if(type STREQUAL "INTERFACE_LIBRARY")
            set(scope INTERFACE)
        endif()
        target_compile_options(${target} ${scope} -fsanitize=address,undefined
                                                  -fno-sanitize-recover=all -fno-omit-frame-pointer)
        target_link_options(${target} ${scope} -fsanitize=address,undefined)
    endif()
endfunction()

# Windows code: Unicode, lean headers, linked so that it needs no DLL beyond those of Windows.
function(lumetta_windows_code target)
    target_compile_definitions(${target} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                                 _WIN32_WINNT=0x0A00 WINVER=0x0A00)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
endfunction()

# A Windows program with a Unicode entry point (wWinMain or wmain).
function(lumetta_windows_program target)
    lumetta_windows_code(${target})
    target_link_options(${target} PRIVATE -municode)
endfunction()
