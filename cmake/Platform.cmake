# The Win32 and DirectDraw interface every layer of the program is written against.
# On Windows it is the toolchain's own windows.h and ddraw.h with the system DLLs
# (DirectDraw itself is loaded at run time, never linked); on Linux it is the
# stand-in under platform/standin, which declares the same names.
add_library(win32api INTERFACE)
if(WIN32)
    target_link_libraries(win32api INTERFACE user32 gdi32 kernel32)
    target_compile_definitions(win32api INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX)
else()
    target_link_libraries(win32api INTERFACE standin)
endif()
