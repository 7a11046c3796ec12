#include "VideoOutput.h"
