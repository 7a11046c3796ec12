// A test build of the Linux program whose stand-in is told to fail one call, so that a
// failure box shows on a display that works: BUMPDEMO_FAIL names the call (as the call log
// names it, "IDirectDrawSurface4::Blt" say), BUMPDEMO_FAIL_AFTER how many of its calls
// succeed first (0 when not set).
#include "Demo.h"

#include <StandIn.h>

#include <cstdlib>

int main() {
    const char* name = std::getenv("BUMPDEMO_FAIL");
    const char* after = std::getenv("BUMPDEMO_FAIL_AFTER");
    if (name != nullptr && name[0] != '\0')
        StandInFailCall(name, 0, after != nullptr ? std::atoi(after) : 0);
    InitialiseModules();
    DemoMain();
}
