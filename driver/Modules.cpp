#include "Demo.h"

#include "Console.h"
#include "DirectDrawLoader.h"
#include "Termination.h"
#include "VideoOutput.h"

void InitialiseModules() {
    InitConsole();
    DirectDrawLoader::LoadDirectDraw();
    AddFinaliser(DirectDrawLoader::UnloadDirectDraw);
    InitVideoOutput();
}
