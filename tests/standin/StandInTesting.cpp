#include "StandInTesting.h"

#include <StandIn.h>

#include <gtest/gtest.h>

IDirectDraw4* NewDirectDraw4() {
    IDirectDraw* directDraw = nullptr;
    EXPECT_EQ(DirectDrawCreate(nullptr, &directDraw, nullptr), DD_OK);
    IDirectDraw4* directDraw4 = nullptr;
    EXPECT_EQ(directDraw->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&directDraw4)),
              DD_OK);
    directDraw->Release();
    return directDraw4;
}
