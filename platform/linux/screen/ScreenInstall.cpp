// Linked into a program, this puts the stand-in on screen: its presentation and its
// message boxes go through SDL from start-up on.
#include "Screen.h"

namespace {

// Runs before main; the stand-in's own defaults are constants, set before any of this.
[[maybe_unused]] const bool Installed = (InstallScreenLayer(), true);

} // namespace
