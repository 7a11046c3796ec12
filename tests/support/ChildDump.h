// The tests' child processes on the stand-in: the child has the stand-in dump its call
// log, message boxes and console output at exit, and the parent reads them back.
#pragma once

#include <StandIn.h>

#include <functional>
#include <string>
#include <vector>

// A file name of its own for each child of the running test.
std::string ChildDumpPath();

long CountCalls(const StandInDump& dump, const std::string& name);
// Index of the first (last) call of this name; -1 when there is none.
long FirstCall(const StandInDump& dump, const std::string& name);
long LastCall(const StandInDump& dump, const std::string& name);
// The text of every message box shown, in order.
std::vector<std::string> BoxTexts(const StandInDump& dump);

// Runs body in a child process that has to end the program with this exit code before
// body returns, its standard error matching stderrPattern; gives back what the child
// logged, boxed and printed. A failure box is dismissed, not shown.
StandInDump RunToEnd(const std::function<void()>& body, int exitCode,
                     const std::string& stderrPattern = "");

// Entries of a call log whose name is exactly name.
std::vector<std::string> CallsNamed(const std::vector<std::string>& calls, const std::string& name);
// Index of the first entry of a list of call names with this name, or -1.
long FirstCall(const std::vector<std::string>& names, const std::string& name);
