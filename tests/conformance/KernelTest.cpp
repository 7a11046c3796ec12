// kernel32 and the text and resource calls the program relies on.
#include "MessageRecorder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(Kernel, CharLowerBuffA) {
    {
        SCOPED_TRACE("letters only change; the count is the length");
        char text[] = "ABC xyz [@] 09 DELPHI32.EXE";
        EXPECT_EQ(CharLowerBuffA(text, static_cast<DWORD>(std::strlen(text))), std::strlen(text));
        EXPECT_STREQ(text, "abc xyz [@] 09 delphi32.exe");
    }
    {
        SCOPED_TRACE("only the given length is converted");
        char text[] = "ABCDEF";
        EXPECT_EQ(CharLowerBuffA(text, 3), 3u);
        EXPECT_STREQ(text, "abcDEF");
    }
    {
        SCOPED_TRACE("a string CharLowerA converts in place");
        char text[] = "MiXeD";
        EXPECT_EQ(CharLowerA(text), text);
        EXPECT_STREQ(text, "mixed");
    }
}

TEST(Kernel, GetVersionExA) {
    {
        SCOPED_TRACE("the structure's size must be filled in");
        OSVERSIONINFOA info{};
        info.dwOSVersionInfoSize = 0;
        SetLastError(0);
        EXPECT_FALSE(GetVersionExA(&info));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    }
    {
        SCOPED_TRACE("one byte too few");
        OSVERSIONINFOA info{};
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA) - 1;
        EXPECT_FALSE(GetVersionExA(&info));
    }
    {
        SCOPED_TRACE("the right size");
        OSVERSIONINFOA info{};
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        ASSERT_TRUE(GetVersionExA(&info));
        EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
        EXPECT_GE(info.dwMajorVersion, 5u);
    }
    static_assert(sizeof(OSVERSIONINFOA) == 148, "five DWORDs and 128 characters");
}

TEST(Kernel, LoadLibraryAOfAMissingLibrary) {
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA("NoSuchLibraryAnywhere.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST(Kernel, ModuleFileName) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    ASSERT_GT(length, 0u);
    ASSERT_LT(length, static_cast<DWORD>(MAX_PATH));
    EXPECT_EQ(std::strlen(path), length);
    EXPECT_NE(std::string(path).find("conformance_tests"), std::string::npos) << path;
    {
        SCOPED_TRACE("a short buffer gets a terminated prefix and the buffer size");
        char shortPath[4] = {'x', 'x', 'x', 'x'};
        SetLastError(0);
        EXPECT_EQ(GetModuleFileNameA(nullptr, shortPath, 4), 4u);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
        EXPECT_EQ(std::string(shortPath, 3), std::string(path, 3));
        // Wine keeps Windows XP's unterminated truncation; Windows since Vista
        // terminates the string.
        if (!RunningOnWine()) {
            EXPECT_EQ(shortPath[3], '\0');
        }
    }
    EXPECT_NE(GetModuleHandleA(nullptr), nullptr);
}

TEST(Kernel, ProcessHeap) {
    HANDLE heap = GetProcessHeap();
    ASSERT_NE(heap, nullptr);
    {
        SCOPED_TRACE("zeroed memory");
        auto* bytes = static_cast<unsigned char*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, 1000));
        ASSERT_NE(bytes, nullptr);
        for (int i = 0; i < 1000; ++i)
            ASSERT_EQ(bytes[i], 0);
        EXPECT_TRUE(HeapFree(heap, 0, bytes));
    }
    {
        SCOPED_TRACE("an empty block is still a block");
        void* empty = HeapAlloc(heap, 0, 0);
        EXPECT_NE(empty, nullptr);
        EXPECT_TRUE(HeapFree(heap, 0, empty));
    }
}

TEST(Kernel, StandardHandles) {
    EXPECT_NE(GetStdHandle(STD_OUTPUT_HANDLE), INVALID_HANDLE_VALUE);
    EXPECT_NE(GetStdHandle(STD_ERROR_HANDLE), INVALID_HANDLE_VALUE);
    SetLastError(0);
    EXPECT_EQ(GetStdHandle(static_cast<DWORD>(-20)), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "", 0, &written, nullptr));
    EXPECT_EQ(written, 0u);
}

TEST(Kernel, SystemResources) {
    EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), nullptr);
    EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
    EXPECT_NE(GetStockObject(BLACK_BRUSH), nullptr);
    EXPECT_NE(GetStockObject(BLACK_BRUSH), GetStockObject(WHITE_BRUSH));
}

} // namespace
