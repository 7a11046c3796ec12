# How every program is built for shipping: reproducible (nothing of the build's folders or
# time inside) and, on Linux, hardened as Debian builds its own packages.

# __FILE__ and any debug information name files relative to the checkout and the build
# folder, so two build folders give the same bytes.
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
                    -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)

if(WIN32)
    # No link time in the PE header: the same source gives the same program.
    add_link_options(-Wl,--no-insert-timestamp)
elseif(NOT EMSCRIPTEN)
    include(CheckCXXCompilerFlag)
    include(CheckPIESupported)
    # A position-independent program, so that its addresses are randomised.
    check_pie_supported()
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
    # Stack canaries, checked library calls where sizes are known (optimised builds only:
    # the sanitizer build checks more, unoptimised), and x86's control-flow protection
    # (CET) or ARM's branch protection where the compiler offers it.
    add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security
                        $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
    check_cxx_compiler_flag(-fcf-protection HasControlFlowProtection)
    if(HasControlFlowProtection)
        add_compile_options(-fcf-protection)
    endif()
    # ARM's counterpart: branch target identification and return addresses signed
    # (pointer authentication), marked in the program's property note.
    check_cxx_compiler_flag(-mbranch-protection=standard HasBranchProtection)
    if(HasBranchProtection)
        add_compile_options(-mbranch-protection=standard)
    endif()
    # Relocations resolved at start and made read-only then (full RELRO).
    add_link_options(-Wl,-z,relro -Wl,-z,now)
endif()
