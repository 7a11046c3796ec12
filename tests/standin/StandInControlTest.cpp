// The control interface: the call log, scripted failures, the clock, the built-in
// libraries, the process description and the dump a child process leaves.
#include "StandInPrivate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

TEST(StandInCallLog, EntriesShowTheArguments) {
    StandInReset();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    LoadIconA(nullptr, IDI_APPLICATION);
    CreateWindowExA(0, "NoSuchClass", nullptr, WS_POPUP, -5, 7, 320, 200, nullptr, nullptr,
                    instance, nullptr);
    GetStdHandle(STD_OUTPUT_HANDLE);
    EXPECT_EQ(StandInCallLog(),
              (std::vector<std::string>{
                  "GetModuleHandleA(NULL)", "LoadIconA(NULL, 32512)",
                  "CreateWindowExA(0, \"NoSuchClass\", NULL, 2147483648, -5, 7, 320, 200, NULL, "
                  "NULL, ptr, NULL)",
                  "GetStdHandle(-11)"}));
    EXPECT_EQ(StandInCallNames(), (std::vector<std::string>{"GetModuleHandleA", "LoadIconA",
                                                            "CreateWindowExA", "GetStdHandle"}));
    const RECT rect{1, -2, 3, 4};
    EXPECT_EQ(Arg(&rect), "{1, -2, 3, 4}");
    EXPECT_EQ(Arg(static_cast<const RECT*>(nullptr)), "NULL");
    EXPECT_EQ(Arg(0xFFFFFFFFu), "4294967295");
    StandInClearCallLog();
    EXPECT_TRUE(StandInCallLog().empty());
    EXPECT_TRUE(StandInCallNames().empty());
}

TEST(StandInFailures, ScriptedFailures) {
    StandInReset();
    {
        SCOPED_TRACE("every call fails");
        StandInFailCall("HeapAlloc");
        EXPECT_EQ(HeapAlloc(GetProcessHeap(), 0, 16), nullptr);
        EXPECT_EQ(HeapAlloc(GetProcessHeap(), 0, 16), nullptr);
    }
    {
        SCOPED_TRACE("from the third call on");
        StandInFailCall("GetDC", 0, 2);
        EXPECT_NE(GetDC(nullptr), nullptr);
        EXPECT_NE(GetDC(nullptr), nullptr);
        EXPECT_EQ(GetDC(nullptr), nullptr);
        EXPECT_EQ(GetDC(nullptr), nullptr);
    }
    {
        SCOPED_TRACE("the scripted result is returned");
        StandInFailCall("GetMessageA", -1);
        MSG msg;
        EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), -1);
    }
    {
        SCOPED_TRACE("a failing call is still logged");
        const std::vector<std::string> names = StandInCallNames();
        EXPECT_EQ(std::count(names.begin(), names.end(), "HeapAlloc"), 2);
    }
    {
        SCOPED_TRACE("a reset forgets the failures");
        StandInReset();
        void* memory = HeapAlloc(GetProcessHeap(), 0, 16);
        EXPECT_NE(memory, nullptr);
        HeapFree(GetProcessHeap(), 0, memory);
    }
}

TEST(StandInClock, VirtualClock) {
    StandInReset();
    EXPECT_EQ(GetTickCount(), 0u);
    Sleep(50);
    EXPECT_EQ(GetTickCount(), 50u);
    StandInAdvanceClock(25);
    EXPECT_EQ(GetTickCount(), 75u);
    {
        SCOPED_TRACE("the counter wraps at 32 bits");
        StandInUseVirtualClock(0xFFFFFFF0u);
        Sleep(0x20);
        EXPECT_EQ(GetTickCount(), 0x10u);
    }
}

INT_PTR TestExport() {
    return 42;
}

FARPROC ResolveTestLibrary(const char* name) {
    return std::strcmp(name, "TestExport") == 0 ? &TestExport : nullptr;
}

TEST(StandInLibraries, BuiltinLibraries) {
    StandInReset();
    RegisterBuiltinLibrary("StandInTest.dll", ResolveTestLibrary);
    {
        SCOPED_TRACE("found in any letter case, with .dll implied");
        HMODULE library = LoadLibraryA("standintest");
        ASSERT_NE(library, nullptr);
        EXPECT_EQ(LoadLibraryA("C:\\Windows\\System32\\STANDINTEST.DLL"), library);
        EXPECT_EQ(GetModuleHandleA("StandInTest.dll"), library);
        EXPECT_EQ(GetProcAddress(library, "TestExport"), &TestExport);
        SetLastError(0);
        EXPECT_EQ(GetProcAddress(library, "Other"), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
        EXPECT_TRUE(FreeLibrary(library));
        EXPECT_TRUE(FreeLibrary(library));
        SCOPED_TRACE("released twice: unloaded");
        EXPECT_FALSE(FreeLibrary(library));
        EXPECT_EQ(GetModuleHandleA("StandInTest.dll"), nullptr);
        EXPECT_EQ(GetProcAddress(library, "TestExport"), nullptr);
    }
    {
        SCOPED_TRACE("a removed export");
        StandInRemoveExport("StandInTest.dll", "TestExport");
        HMODULE library = LoadLibraryA("StandInTest.dll");
        ASSERT_NE(library, nullptr);
        SetLastError(0);
        EXPECT_EQ(GetProcAddress(library, "TestExport"), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
        FreeLibrary(library);
    }
    {
        SCOPED_TRACE("a removed library");
        StandInRemoveLibrary("STANDINTEST.DLL");
        SetLastError(0);
        EXPECT_EQ(LoadLibraryA("StandInTest.dll"), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    }
    {
        SCOPED_TRACE("a reset brings both back");
        StandInReset();
        HMODULE library = LoadLibraryA("StandInTest.dll");
        ASSERT_NE(library, nullptr);
        EXPECT_NE(GetProcAddress(library, "TestExport"), nullptr);
    }
}

TEST(StandInProcess, ModuleFileNameAndPlatform) {
    StandInReset();
    StandInSetModuleFileName("C:\\Program Files\\Delphi32.exe");
    char path[MAX_PATH];
    EXPECT_EQ(GetModuleFileNameA(nullptr, path, MAX_PATH), 29u);
    EXPECT_STREQ(path, "C:\\Program Files\\Delphi32.exe");
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    StandInSetPlatformId(VER_PLATFORM_WIN32_WINDOWS);
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_WINDOWS));
    StandInReset();
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
}

TEST(StandInDump, AChildLeavesItsCallsBoxesAndOutput) {
    const std::string path = ::testing::TempDir() + "standin_dump_test.txt";
    std::remove(path.c_str());
    EXPECT_EXIT(
        {
            StandInReset();
            StandInDumpAtExit(path);
            StandInQueueMessageBoxAnswer(IDNO);
            MessageBoxA(nullptr, "Fullscreen?", "Do you want...", MB_YESNOCANCEL);
            MessageBoxA(reinterpret_cast<HWND>(uintptr_t{0x1234}), "Two\nlines \\ here", nullptr,
                        MB_OK);
            DWORD written = 0;
            WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "\r\n\r\nBENCHMARK: 1.00 FPS\r\n", 25,
                      &written, nullptr);
            std::exit(3);
        },
        ::testing::ExitedWithCode(3), "");
    const StandInDump dump = StandInReadDump(path);
    ASSERT_EQ(dump.calls.size(), 4u);
    EXPECT_EQ(dump.calls[0], "MessageBoxA(NULL, \"Fullscreen?\", \"Do you want...\", 3)");
    EXPECT_EQ(dump.callNames[2], "GetStdHandle");
    ASSERT_EQ(dump.boxes.size(), 2u);
    EXPECT_EQ(dump.boxes[0].owner, nullptr);
    EXPECT_EQ(dump.boxes[0].text, "Fullscreen?");
    EXPECT_EQ(dump.boxes[0].caption, "Do you want...");
    EXPECT_FALSE(dump.boxes[0].captionIsNull);
    EXPECT_EQ(dump.boxes[0].type, static_cast<UINT>(MB_YESNOCANCEL));
    EXPECT_EQ(dump.boxes[0].answer, IDNO);
    EXPECT_NE(dump.boxes[1].owner, nullptr);
    EXPECT_EQ(dump.boxes[1].text, "Two\nlines \\ here");
    EXPECT_TRUE(dump.boxes[1].captionIsNull);
    EXPECT_EQ(dump.boxes[1].answer, 0);
    EXPECT_EQ(dump.console, "\r\n\r\nBENCHMARK: 1.00 FPS\r\n");
    std::remove(path.c_str());
}

} // namespace
