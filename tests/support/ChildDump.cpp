#include "ChildDump.h"

#include <gtest/gtest.h>

#include <algorithm>
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

long FirstCall(const StandInDump& dump, const std::string& name) {
    const auto found = std::find(dump.callNames.begin(), dump.callNames.end(), name);
    return found == dump.callNames.end() ? -1 : found - dump.callNames.begin();
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
