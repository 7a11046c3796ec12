// Placeholder until the stand-in's DirectDraw part is in the tree: nothing to reset.
#include "StandInPrivate.h"

void ResetDirectDraw() {}
