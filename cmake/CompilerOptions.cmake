# Options every target of the project shares.

if(MSVC)
    # Sources are UTF-8; narrow literals must be GBK bytes in the program.
    set(CFT_CHARSET_OPTIONS /source-charset:utf-8 /execution-charset:.936)
    set(CFT_WARNING_OPTIONS /W4)
else()
    set(CFT_CHARSET_OPTIONS -finput-charset=UTF-8 -fexec-charset=GBK)
    # Templates are designated initializers that leave unused fields at their defaults.
    set(CFT_WARNING_OPTIONS -Wall -Wextra -Wno-missing-field-initializers)
endif()

if(CFT_SANITIZE AND NOT MSVC)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

if(MINGW)
    # One file to copy: no libstdc++, libgcc or winpthread DLL beside the program.
    add_link_options(-static -static-libgcc -static-libstdc++)
    # Drop what the program never calls (most of libjpeg).
    add_compile_options(-ffunction-sections -fdata-sections)
    add_link_options(-Wl,--gc-sections)
endif()

function(cft_target_options target)
    target_compile_options(${target} PRIVATE ${CFT_WARNING_OPTIONS}
                           $<$<COMPILE_LANGUAGE:CXX>:${CFT_CHARSET_OPTIONS}>)
    if(WIN32)
        # The program speaks the ANSI code page: the A functions, never the W ones.
        target_compile_definitions(${target} PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX
                                   _WIN32_WINNT=0x0601 WINVER=0x0601)
    endif()
endfunction()
