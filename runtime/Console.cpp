#include "Console.h"
