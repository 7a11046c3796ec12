# What is installed, and the release archive. Linux: bumpdemo and bumpframe under bin/.
# Windows: bumpdemo.exe and the users' read-me at the top of the archive, which CPack
# writes with "cmake --build build/win32 --target package" (bumpdemo-win32.zip).
if(WIN32)
    install(TARGETS bumpdemo RUNTIME DESTINATION .)
    install(FILES driver/README-Windows.txt DESTINATION . RENAME README.txt)
    set(CPACK_PACKAGE_NAME bumpdemo)
    set(CPACK_PACKAGE_FILE_NAME bumpdemo-win32)
    set(CPACK_GENERATOR ZIP)
    include(CPack)
    set(ReleaseArchive ${CMAKE_BINARY_DIR}/bumpdemo-win32.zip) # checked by the tests
else()
    install(TARGETS bumpdemo RUNTIME DESTINATION bin)
    install(TARGETS bumpframe RUNTIME DESTINATION bin)
endif()
