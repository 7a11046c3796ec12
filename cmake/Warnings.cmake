# Compiler settings shared by every target of the project.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow)
if(BUMPDEMO_WERROR)
    add_compile_options(-Werror)
endif()
if(BUMPDEMO_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
if(WIN32)
    # One self-contained executable: no MinGW runtime DLL beside Windows' own.
    add_link_options(-static -static-libgcc -static-libstdc++)
endif()
