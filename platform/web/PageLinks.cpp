// The page has no file system (the program is linked without emscripten's, which is most
// of its script). The one path the stand-in reads is the program's own, through the
// /proc/self/exe link; here no path is a link, so GetModuleFileNameA answers "bumpdemo"
// as it did with emscripten's in-memory file system, where /proc/self/exe did not exist.
#include <unistd.h>

#include <cerrno>

extern "C" ssize_t readlink(const char*, char*, size_t) {
    errno = ENOENT;
    return -1;
}
