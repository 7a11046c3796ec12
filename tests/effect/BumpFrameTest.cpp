// The bumpframe tool, run as a program.
#include "EffectFixture.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>

namespace {

struct ToolRun {
    int exitCode;
    std::string output; // standard output and error
};

ToolRun RunBumpFrame(const std::string& arguments) {
    const std::string command = std::string(BUMPFRAME_PATH) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ToolRun run{-1, {}};
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
        run.output += buffer;
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(BumpFrameTool, RejectsBadArguments) {
    const struct {
        const char* arguments;
        int exitCode;
        const char* output;
    } cases[] = {
        {"", 2, "usage: bumpframe TIME FILE\n"},
        {"1", 2, "usage: bumpframe TIME FILE\n"},
        {"1 a b", 2, "usage: bumpframe TIME FILE\n"},
        {"1x f.ppm", 2,
         "bumpframe: TIME must be a whole number from -2147483648 to 2147483647, not \"1x\"\n"},
        {"'' f.ppm", 2,
         "bumpframe: TIME must be a whole number from -2147483648 to 2147483647, not \"\"\n"},
        {"2147483648 f.ppm", 2,
         "bumpframe: TIME must be a whole number from -2147483648 to 2147483647, not "
         "\"2147483648\"\n"},
        {"1 /nonexistent-folder/f.ppm", 1, "bumpframe: cannot write /nonexistent-folder/f.ppm\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "arguments: " << c.arguments);
        const ToolRun run = RunBumpFrame(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.output, c.output);
    }
}

using BumpFrameOutput = ReadyEffect;

TEST_F(BumpFrameOutput, WritesTheFrameAsPpm) {
    for (const int32_t time : {1, -1, 45}) {
        SCOPED_TRACE(testing::Message() << "time " << time);
        const std::string path = testing::TempDir() + "bumpframe-test.ppm";
        const ToolRun run = RunBumpFrame(std::to_string(time) + " " + path);
        ASSERT_EQ(run.exitCode, 0) << run.output;
        EXPECT_EQ(run.output, "");
        RenderBumpFrame(time);
        std::string expected = "P6\n320 200\n255\n";
        for (const uint32_t pixel : frame)
            for (const int shift : {16, 8, 0})
                expected += static_cast<char>(pixel >> shift & 0xFF);
        EXPECT_TRUE(ReadFile(path) == expected);
        std::remove(path.c_str());
    }
}

} // namespace
