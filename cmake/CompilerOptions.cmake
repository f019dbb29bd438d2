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
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    # clang knows no GBK execution character set, so its builds (the fuzz targets) keep
    # literals in UTF-8; code that needs GBK bytes there spells them as escapes.
    set(CFT_CHARSET_OPTIONS)
endif()

if(CFT_SANITIZE AND NOT MSVC)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# libFuzzer targets (tests/fuzz): every library gets the coverage instrumentation, and only the
# fuzz targets themselves link libFuzzer's main.
option(CFT_FUZZ "Build the libFuzzer targets (clang only)" OFF)
if(CFT_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "CFT_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

if(MINGW)
    # One file to copy: no libstdc++, libgcc or winpthread DLL beside the program.
    add_link_options(-static -static-libgcc -static-libstdc++)
    # Drop what the program never calls (most of libjpeg).
    add_compile_options(-ffunction-sections -fdata-sections)
    add_link_options(-Wl,--gc-sections)
    # Windows may load the program at any address (ASLR) and never runs its data (DEP). Recent
    # binutils set both by default; saying so keeps them on with any linker.
    add_link_options(-Wl,--dynamicbase,--nxcompat)
    # The same commit gives the same exe bytes: no link time in the PE header, and neither the
    # source nor the build folder in the objects.
    add_link_options(-Wl,--no-insert-timestamp)
    add_compile_options("-ffile-prefix-map=${CMAKE_SOURCE_DIR}=."
                        "-ffile-prefix-map=${CMAKE_BINARY_DIR}=build")
    # Where each byte of a program comes from, for tools/exe_size.py.
    add_link_options(-Wl,-Map=$<TARGET_PROPERTY:NAME>.map)
    # The release is built for size and shipped without symbols. -Os comes after the -O3 of
    # CMAKE_CXX_FLAGS_RELEASE on the command line, so it wins.
    add_compile_options($<$<CONFIG:Release>:-Os>)
    add_link_options($<$<CONFIG:Release>:-s>)
    # libstdc++'s default terminate handler prints the exception's demangled type to stderr,
    # which a GUI program does not have, and brings the demangler (45 KB). Its throw helpers
    # (std::__throw_length_error and the like) share one object with every exception class and
    # pull in a second std::string (some 80 KB with their unwind tables). Nothing in these
    # programs catches those errors, so they end the program by std::terminate and abort either
    # way; going to abort at once ends it the same. i686 names carry a leading underscore.
    add_link_options(
        -Wl,--defsym,__ZN9__gnu_cxx27__verbose_terminate_handlerEv=_abort
        -Wl,--defsym,__ZSt17__throw_bad_allocv=_abort
        -Wl,--defsym,__ZSt20__throw_length_errorPKc=_abort
        -Wl,--defsym,__ZSt19__throw_logic_errorPKc=_abort
        -Wl,--defsym,__ZSt24__throw_out_of_range_fmtPKcz=_abort)
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
