#include "Demo.h"

int main() {
    InitialiseModules();
    DemoMain();
}
