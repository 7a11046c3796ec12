# What is installed, and each platform's release archive, written by
# "cmake --build build/PRESET --target release" (tools/make-release.sh writes all three):
#   win32, win64  bumpdemo-win32.zip (bumpdemo-win64.zip): bumpdemo.exe and the users'
#                 read-me, README.txt, in a folder of that name
#   linux         the Debian package bumpdemo_VERSION_ARCH.deb: bumpdemo, bumpframe, their
#                 manual pages and read-me
#   web           bumpdemo-web.tar.gz: the page's files, each but the icons also
#                 compressed (.br, .gz), and a read-me on serving them
# The archives hold nothing of the build's folders or time (tools/release/).
set(Release ${PROJECT_SOURCE_DIR}/tools/release)
if(WIN32)
    install(TARGETS bumpdemo RUNTIME DESTINATION .)
    install(FILES driver/README-Windows.txt DESTINATION . RENAME README.txt)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(name bumpdemo-win32)
    else()
        set(name bumpdemo-win64)
    endif()
    # Checked by the tests; tools/make-release.sh reads it from the cache.
    set(ReleaseArchive ${CMAKE_BINARY_DIR}/${name}.zip CACHE INTERNAL "the release archive")
    add_custom_target(release
        COMMAND python3 ${Release}/archive.py zip ${ReleaseArchive} ${name}
                bumpdemo.exe=$<TARGET_FILE:bumpdemo>
                README.txt=${PROJECT_SOURCE_DIR}/driver/README-Windows.txt
        DEPENDS bumpdemo ${Release}/archive.py driver/README-Windows.txt
        COMMENT "Writing ${ReleaseArchive}" VERBATIM)
elseif(EMSCRIPTEN)
    set(ReleaseArchive ${CMAKE_BINARY_DIR}/bumpdemo-web.tar.gz CACHE INTERNAL
        "the release archive")
    set(entries)
    foreach(file ${PageFiles})
        list(APPEND entries ${file}=${CMAKE_BINARY_DIR}/driver/${file})
        if(NOT file MATCHES "[.]png$")
            list(APPEND entries ${file}.br=${CMAKE_BINARY_DIR}/driver/${file}.br
                 ${file}.gz=${CMAKE_BINARY_DIR}/driver/${file}.gz)
        endif()
    endforeach()
    add_custom_target(release
        COMMAND python3 ${Release}/archive.py tar.gz ${ReleaseArchive} bumpdemo-web ${entries}
                README.txt=${Release}/README-web.txt
        DEPENDS page_compressed ${Release}/archive.py ${Release}/README-web.txt
        COMMENT "Writing ${ReleaseArchive}" VERBATIM)
else()
    install(TARGETS bumpdemo RUNTIME DESTINATION bin)
    install(TARGETS bumpframe RUNTIME DESTINATION bin)
    execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE architecture
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(architecture)
        set(ReleaseArchive ${CMAKE_BINARY_DIR}/bumpdemo_${PROJECT_VERSION}_${architecture}.deb
            CACHE INTERNAL "the release archive")
        add_custom_target(release
            COMMAND ${Release}/debian-package.sh ${ReleaseArchive} ${PROJECT_VERSION}
                    $<TARGET_FILE:bumpdemo> $<TARGET_FILE:bumpframe>
            DEPENDS bumpdemo bumpframe ${Release}/debian-package.sh ${Release}/archive.py
            COMMENT "Writing ${ReleaseArchive}" VERBATIM)
    endif()
endif()
