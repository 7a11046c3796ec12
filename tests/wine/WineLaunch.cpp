// Starts a console program on a Wine virtual desktop without a console window, for the
// test scripts: explorer /desktop=NAME wine_launch.exe COMMAND LINE.
//
// A console program that explorer starts gets a console of its own, and Wine 10 shows that
// console as a window on the desktop, which takes the activation from the program's own
// windows (a full-screen window is then minimised). This program is a GUI program, so it
// gets no console, and it starts the command with a console that has no window
// (CREATE_NO_WINDOW), waits for it and ends with its exit code.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (commandLine == nullptr || *commandLine == '\0' ||
        !CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process))
        return 1;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}
