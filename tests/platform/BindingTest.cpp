// The DirectDraw loader against the stand-in's built-in "DDraw.dll".
#include "DirectDrawLoader.h"

#include <StandIn.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

namespace dl = DirectDrawLoader;
using dl::DirectDrawLibrary;
using dl::IsExcludedHost;
using dl::LoadDirectDraw;
using dl::UnloadDirectDraw;

class BindingTest : public testing::Test {
  protected:
    void SetUp() override {
        StandInReset();
        ForgetLibrary();
    }
    void TearDown() override {
        // Balance the stand-in's load count for the next test.
        UnloadDirectDraw();
        ForgetLibrary();
    }

    static void ForgetLibrary() {
        DirectDrawLibrary = nullptr;
        dl::DirectDrawEnumerateA = nullptr;
        dl::DirectDrawEnumerateW = nullptr;
        dl::DirectDrawEnumerate = nullptr;
        dl::DirectDrawEnumerateExA = nullptr;
        dl::DirectDrawEnumerateExW = nullptr;
        dl::DirectDrawEnumerateEx = nullptr;
        dl::DirectDrawCreate = nullptr;
        dl::DirectDrawCreateEx = nullptr;
        dl::DirectDrawCreateClipper = nullptr;
    }

    static std::vector<bool> EntryPointsPresent() {
        return {dl::DirectDrawEnumerateA != nullptr,   dl::DirectDrawEnumerateW != nullptr,
                dl::DirectDrawEnumerate != nullptr,    dl::DirectDrawEnumerateExA != nullptr,
                dl::DirectDrawEnumerateExW != nullptr, dl::DirectDrawEnumerateEx != nullptr,
                dl::DirectDrawCreate != nullptr,       dl::DirectDrawCreateEx != nullptr,
                dl::DirectDrawCreateClipper != nullptr};
    }

    static long Calls(const std::string& name) {
        const auto names = StandInCallNames();
        return std::count(names.begin(), names.end(), name);
    }
};

TEST_F(BindingTest, HostCheck) {
    struct Case {
        const char* label;
        DWORD platformId;
        const char* path;
        bool excluded;
    };
    const Case cases[] = {
        {"the name itself", VER_PLATFORM_WIN32_NT,
         "C:\\Program Files\\Borland\\Delphi\\Bin\\delphi32.exe", true},
        {"upper case", VER_PLATFORM_WIN32_NT, "C:\\BIN\\DELPHI32.EXE", true},
        {"mixed case", VER_PLATFORM_WIN32_NT, "C:\\Bin\\Delphi32.Exe", true},
        {"inside a directory name", VER_PLATFORM_WIN32_NT,
         "C:\\Delphi32.exe.old\\demo\\bumpdemo.exe", true},
        {"the name without its last letter", VER_PLATFORM_WIN32_NT, "C:\\bin\\delphi32.ex", false},
        {"without its last letter in a directory", VER_PLATFORM_WIN32_NT,
         "C:\\delphi32.ex\\bumpdemo.exe", false},
        {"an ordinary path", VER_PLATFORM_WIN32_NT, "C:\\demo\\bumpdemo.exe", false},
        {"Windows 9x platform", VER_PLATFORM_WIN32_WINDOWS, "C:\\BIN\\DELPHI32.EXE", false},
        {"Win32s platform", VER_PLATFORM_WIN32s, "C:\\bin\\delphi32.exe", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        StandInReset();
        StandInSetPlatformId(c.platformId);
        StandInSetModuleFileName(c.path);
        EXPECT_EQ(IsExcludedHost(), c.excluded);

        LoadDirectDraw();
        EXPECT_EQ(DirectDrawLibrary == nullptr, c.excluded);
        EXPECT_EQ(Calls("LoadLibraryA"), c.excluded ? 0 : 1);
        EXPECT_EQ(EntryPointsPresent(), std::vector<bool>(9, !c.excluded));
        UnloadDirectDraw();
        ForgetLibrary();
    }
}

TEST_F(BindingTest, HostCheckAsksTheSystemInOrder) {
    StandInSetModuleFileName("C:\\demo\\bumpdemo.exe");
    IsExcludedHost();
    const std::vector<std::string> expected = {
        "GetVersionExA(ptr)",
        "GetModuleFileNameA(NULL, ptr, 260)",
        "CharLowerBuffA(ptr, 20)",
    };
    EXPECT_EQ(StandInCallLog(), expected);
}

TEST_F(BindingTest, FailedVersionQueryNeverExcludes) {
    StandInSetModuleFileName("C:\\bin\\delphi32.exe");
    StandInFailCall("GetVersionExA");
    EXPECT_FALSE(IsExcludedHost());
}

TEST_F(BindingTest, LoadsTheLibraryAndResolvesTheEntryPointsInOrder) {
    LoadDirectDraw();
    ASSERT_NE(DirectDrawLibrary, nullptr);
    auto calls = StandInCallLog();
    const auto load = std::find(calls.begin(), calls.end(), "LoadLibraryA(\"DDraw.dll\")");
    ASSERT_NE(load, calls.end());
    const std::vector<std::string> resolved(load + 1, calls.end());
    const std::vector<std::string> expected = {
        "GetProcAddress(ptr, \"DirectDrawEnumerateA\")",
        "GetProcAddress(ptr, \"DirectDrawEnumerateW\")",
        "GetProcAddress(ptr, \"DirectDrawEnumerateExA\")",
        "GetProcAddress(ptr, \"DirectDrawEnumerateExW\")",
        "GetProcAddress(ptr, \"DirectDrawCreate\")",
        "GetProcAddress(ptr, \"DirectDrawCreateEx\")",
        "GetProcAddress(ptr, \"DirectDrawCreateClipper\")",
    };
    EXPECT_EQ(resolved, expected);

    EXPECT_EQ(EntryPointsPresent(), std::vector<bool>(9, true));
    EXPECT_EQ(dl::DirectDrawEnumerate, dl::DirectDrawEnumerateA);
    EXPECT_EQ(dl::DirectDrawEnumerateEx, dl::DirectDrawEnumerateExA);

    // The entry point is DirectDraw's own: it creates an object.
    IDirectDraw* directDraw = nullptr;
    ASSERT_EQ(dl::DirectDrawCreate(nullptr, &directDraw, nullptr), DD_OK);
    ASSERT_NE(directDraw, nullptr);
    EXPECT_EQ(directDraw->Release(), 0u);
}

TEST_F(BindingTest, MissingLibraryLeavesEveryEntryPointEmpty) {
    StandInRemoveLibrary("DDraw.dll");
    LoadDirectDraw();
    EXPECT_EQ(DirectDrawLibrary, nullptr);
    EXPECT_EQ(EntryPointsPresent(), std::vector<bool>(9, false));

    StandInClearCallLog();
    UnloadDirectDraw();
    EXPECT_EQ(Calls("FreeLibrary"), 0);
}

TEST_F(BindingTest, MissingExportLeavesOnlyItsEntryPointEmpty) {
    StandInRemoveExport("DDraw.dll", "DirectDrawEnumerateExA");
    StandInRemoveExport("DDraw.dll", "DirectDrawCreate");
    LoadDirectDraw();
    EXPECT_NE(DirectDrawLibrary, nullptr);
    // A, W, copy of A, ExA, ExW, copy of ExA, Create, CreateEx, CreateClipper.
    const std::vector<bool> expected = {true, true, true, false, true, false, false, true, true};
    EXPECT_EQ(EntryPointsPresent(), expected);
}

TEST_F(BindingTest, UnloadFreesTheLibraryOnceAndKeepsTheHandle) {
    LoadDirectDraw();
    const HMODULE library = DirectDrawLibrary;
    StandInClearCallLog();
    UnloadDirectDraw();
    EXPECT_EQ(StandInCallLog(), std::vector<std::string>{"FreeLibrary(ptr)"});
    EXPECT_EQ(DirectDrawLibrary, library);
    // The stand-in's library is released: it is no longer loaded.
    EXPECT_EQ(GetModuleHandleA("DDraw.dll"), nullptr);
    ForgetLibrary();
}

} // namespace
