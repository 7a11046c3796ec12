// The test page's record of the run's last frame: at the end the page keeps the animation
// time of the frame presented last, so that the checks can compare the canvas with it.
#include "Demo.h"

#include <emscripten.h>

#include <cstdlib>

EM_JS(void, PageKeepLastFrame, (int time), { window.BumpTestLastFrame = time; });

namespace {

void KeepLastFrame() {
    PageKeepLastFrame(AnimationTime);
}

[[maybe_unused]] const bool Kept = std::atexit(KeepLastFrame) == 0;

} // namespace
