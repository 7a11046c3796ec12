// Failure reports: a box naming the failed call, then the program's end with the
// failure exit code, through the same termination as every other end.
#include "VideoOutput.h"

#include "Termination.h"

void ReportFailure(const char* message) {
    // No caption text: the box shows the system's default caption. Before the output
    // window exists OutputWindow is null, so the box has no owner.
    MessageBoxA(OutputWindow, message, nullptr, MB_OK);
    EndProgramAfterFailure();
}
