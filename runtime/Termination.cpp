#include "Termination.h"

#include <cstdio>
#include <cstdlib>

void AddFinaliser(void (*finaliser)()) {
    std::atexit(finaliser);
}

void EndProgram() {
    std::exit(0);
}

void EndProgramAfterFailure() {
    std::exit(FailureExitCode);
}

void RunError(int code, const char* text) {
    std::fprintf(stderr, "Runtime error %d: %s\n", code, text);
    std::exit(code);
}
