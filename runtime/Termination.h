// Program termination. Every end of the program goes through std::exit, so the
// finalisers registered at start-up run in reverse order on every road out.
#pragma once

// Registers a module finaliser; finalisers run in reverse order of registration.
void AddFinaliser(void (*finaliser)());

// Ends the program normally: finalisers run, exit code 0.
[[noreturn]] void EndProgram();

// Ends the program with a run-time error: one line on stderr, finalisers run, exit code.
[[noreturn]] void RunError(int code, const char* text);
