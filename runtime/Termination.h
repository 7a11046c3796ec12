// Program termination. Every end of the program goes through std::exit, so the
// finalisers registered at start-up run in reverse order on every road out.
#pragma once

// The exit code of a run that ended with a failure box: the display could not be set up
// or a frame could not be shown.
constexpr int FailureExitCode = 1;

// Registers a module finaliser; finalisers run in reverse order of registration.
void AddFinaliser(void (*finaliser)());

// Ends the program normally: finalisers run, exit code 0.
[[noreturn]] void EndProgram();

// Ends the program after a failure the person has been told of: finalisers run, exit
// code FailureExitCode.
[[noreturn]] void EndProgramAfterFailure();

// Ends the program with a run-time error: one line on stderr, finalisers run, exit code.
[[noreturn]] void RunError(int code, const char* text);
