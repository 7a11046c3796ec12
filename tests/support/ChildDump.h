// Reading what a death test's child process did: the child has the stand-in dump its
// call log, message boxes and console output at exit, and the parent reads them back.
#pragma once

#include <StandIn.h>

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
