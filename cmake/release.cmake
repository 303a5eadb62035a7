# The release build of lumetta.exe: small, hardened, and the same bytes from the same sources.
option(LUMETTA_RELEASE "Release build of lumetta.exe only: size-optimised, hardened, reproducible" OFF)

function(lumetta_release_flags target)
    # -Os comes with the MinSizeRel build type; unused functions are dropped at link. Not
    # -fdata-sections: for PE, GCC then puts zero-filled objects into .data$ sections that take
    # their full size in the file (the 117 KiB preview table alone).
    # Each process runs on one thread: no locks around static initialisation.
    target_compile_options(${target} PRIVATE -ffunction-sections -fno-threadsafe-statics
                           -fstack-protector-strong -D_FORTIFY_SOURCE=2 -fno-ident
                           # No build folder in the program (file names of assertions).
                           -ffile-prefix-map=${CMAKE_SOURCE_DIR}/=
                           -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
    # ASLR (with the relocations it needs), DEP and terminal-server awareness; no time stamp in
    # the headers, so two builds of one commit are the same bytes; symbols stripped.
    target_link_options(${target} PRIVATE -s -Wl,--gc-sections -fstack-protector-strong
                        -Wl,--dynamicbase -Wl,--enable-reloc-section -Wl,--nxcompat
                        -Wl,--tsaware -Wl,--no-insert-timestamp)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        target_link_options(${target} PRIVATE -Wl,--high-entropy-va)
    endif()
endfunction()
