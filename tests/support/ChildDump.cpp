#include "ChildDump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

std::string ChildDumpPath() {
    static int children = 0;
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    return testing::TempDir() + "bumpdemo-" + std::to_string(getpid()) + "-" +
           test->test_suite_name() + "-" + test->name() + "-" + std::to_string(++children) +
           ".dump";
}

long CountCalls(const StandInDump& dump, const std::string& name) {
    return std::count(dump.callNames.begin(), dump.callNames.end(), name);
}

long FirstCall(const std::vector<std::string>& names, const std::string& name) {
    const auto found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? -1 : found - names.begin();
}

long FirstCall(const StandInDump& dump, const std::string& name) {
    return FirstCall(dump.callNames, name);
}

long LastCall(const StandInDump& dump, const std::string& name) {
    const auto found = std::find(dump.callNames.rbegin(), dump.callNames.rend(), name);
    return found == dump.callNames.rend() ? -1 : dump.callNames.rend() - found - 1;
}

std::vector<std::string> BoxTexts(const StandInDump& dump) {
    std::vector<std::string> texts;
    for (const StandInMessageBox& box : dump.boxes)
        texts.push_back(box.text);
    return texts;
}

StandInDump RunToEnd(const std::function<void()>& body, int exitCode,
                     const std::string& stderrPattern) {
    const std::string path = ChildDumpPath();
    std::remove(path.c_str());
    StandInQueueMessageBoxAnswer(IDOK);
    EXPECT_EXIT(
        {
            StandInDumpAtExit(path);
            body();
            std::exit(99); // the program was meant to end inside body
        },
        testing::ExitedWithCode(exitCode), stderrPattern);
    StandInDump dump = StandInReadDump(path);
    std::remove(path.c_str());
    return dump;
}

std::vector<std::string> CallsNamed(const std::vector<std::string>& calls,
                                    const std::string& name) {
    std::vector<std::string> named;
    for (const std::string& call : calls)
        if (call.compare(0, name.size() + 1, name + "(") == 0)
            named.push_back(call);
    return named;
}
