// Looks at a running Wine session from the inside, for the test scripts: what X can't tell
// them (the text inside a message box, a window's client area in screen coordinates, the
// display mode Windows programs see).
//
//   wine_probe [--out FILE] windows   one line per visible top-level window, children indented
//   wine_probe [--out FILE] mode      the current display mode
//
// Windows on a virtual desktop are seen only from that desktop, so there the probe is
// started through explorer /desktop=NAME, which gives it no standard output: --out names
// the file to write to instead.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string Quoted(const char* text) {
    std::string result = "\"";
    for (; *text != '\0'; ++text) {
        if (*text == '\n')
            result += "\\n";
        else if (*text != '\r')
            result += *text;
    }
    return result + "\"";
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return Quoted(name);
}

// A window's text through WM_GETTEXT, which also reaches controls of other processes.
std::string TextOf(HWND window) {
    char text[1024] = {};
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    return Quoted(text);
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
    std::printf("  child class=%s text=%s\n", ClassOf(child).c_str(), TextOf(child).c_str());
    return TRUE;
}

BOOL CALLBACK PrintWindow(HWND window, LPARAM) {
    if (!IsWindowVisible(window))
        return TRUE;
    RECT outer = {};
    RECT client = {};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    HWND owner = GetWindow(window, GW_OWNER);
    std::printf("window class=%s title=%s outer=%ld,%ld,%ld,%ld client=%ld,%ld,%ld,%ld "
                "owner=%s\n",
                ClassOf(window).c_str(), TextOf(window).c_str(), outer.left, outer.top,
                outer.right - outer.left, outer.bottom - outer.top, origin.x, origin.y,
                client.right, client.bottom, owner ? ClassOf(owner).c_str() : "none");
    EnumChildWindows(window, PrintChild, 0);
    return TRUE;
}

int ListWindows() {
    EnumWindows(PrintWindow, 0);
    return 0;
}

int PrintMode() {
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) {
        std::printf("no mode\n");
        return 1;
    }
    std::printf("mode %lu %lu %lu\n", mode.dmPelsWidth, mode.dmPelsHeight, mode.dmBitsPerPel);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    int first = 1;
    if (argc >= 3 && std::strcmp(argv[1], "--out") == 0) {
        if (std::freopen(argv[2], "w", stdout) == nullptr)
            return 3;
        first = 3;
    }
    // Plain LF line ends for the shell scripts that read the lines.
    _setmode(_fileno(stdout), _O_BINARY);
    const char* command = argc == first + 1 ? argv[first] : "";
    int result = 2;
    if (std::strcmp(command, "windows") == 0)
        result = ListWindows();
    else if (std::strcmp(command, "mode") == 0)
        result = PrintMode();
    else
        std::fprintf(stderr, "usage: wine_probe [--out FILE] windows | mode\n");
    std::fflush(stdout);
    return result;
}
