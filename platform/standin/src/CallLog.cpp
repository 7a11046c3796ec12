// The call log and scripted failures shared by every part of the stand-in.
#include "StandInPrivate.h"

#include <map>
#include <vector>

namespace {

struct ScriptedFailure {
    LONG_PTR result;
    int skip;
    int calls; // calls of this name seen since the failure was scripted
};

std::vector<std::string> Log;
std::vector<std::string> LogNames;
std::map<std::string, ScriptedFailure> Failures;
bool Logging = false;

} // namespace

std::string Arg(long long value) {
    return std::to_string(value);
}

std::string Arg(unsigned long long value) {
    return std::to_string(value);
}

std::string Arg(const char* text) {
    if (text == nullptr)
        return "NULL";
    // Resource names made with MAKEINTRESOURCEA are numbers, not strings.
    const auto address = reinterpret_cast<uintptr_t>(text);
    if (address <= 0xFFFF)
        return std::to_string(address);
    std::string quoted = "\"";
    quoted += text;
    quoted += '"';
    return quoted;
}

std::string Arg(const void* pointer) {
    return pointer == nullptr ? "NULL" : "ptr";
}

std::string Arg(const RECT* rect) {
    if (rect == nullptr)
        return "NULL";
    std::string text = "{";
    text += Arg(rect->left) + ", " + Arg(rect->top) + ", " + Arg(rect->right) + ", " +
            Arg(rect->bottom) + "}";
    return text;
}

void LogCall(const std::string& name, std::initializer_list<std::string> args) {
    if (!Logging)
        return;
    std::string entry = name + "(";
    bool first = true;
    for (const std::string& arg : args) {
        if (!first)
            entry += ", ";
        entry += arg;
        first = false;
    }
    entry += ")";
    Log.push_back(std::move(entry));
    LogNames.push_back(name);
}

bool LoggedCallFails(const std::string& name, std::initializer_list<std::string> args,
                     LONG_PTR* failure) {
    LogCall(name, args);
    const auto found = Failures.find(name);
    if (found == Failures.end())
        return false;
    ScriptedFailure& scripted = found->second;
    ++scripted.calls;
    if (scripted.calls <= scripted.skip)
        return false;
    *failure = scripted.result;
    return true;
}

void EnableCallLog(bool enabled) {
    Logging = enabled;
}

void ResetCallLog() {
    Log.clear();
    LogNames.clear();
    Failures.clear();
}

std::vector<std::string> StandInCallLog() {
    return Log;
}

std::vector<std::string> StandInCallNames() {
    return LogNames;
}

void StandInClearCallLog() {
    Log.clear();
    LogNames.clear();
}

void StandInFailCall(const std::string& name, LONG_PTR result, int skip) {
    Failures[name] = ScriptedFailure{result, skip, 0};
}
