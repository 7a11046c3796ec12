// Blt: rectangle checks, one-to-one copies, stretching, and the clipper on the primary.
#include "DirectDrawTesting.h"

#include <algorithm>
#include <cstring>

namespace {

// The bytes of pixel (x, y) of rows packed at width * bytes.
std::vector<uint8_t> PixelAt(const std::vector<uint8_t>& pixels, DWORD width, DWORD bytes, DWORD x,
                             DWORD y) {
    const size_t at = (static_cast<size_t>(y) * width + x) * bytes;
    return std::vector<uint8_t>(pixels.begin() + static_cast<std::ptrdiff_t>(at),
                                pixels.begin() + static_cast<std::ptrdiff_t>(at + bytes));
}

TEST_F(DirectDrawTest, BltRectangleChecks) {
    IDirectDrawSurface4* source = CreateSurface(OffscreenDescription(8, 4));
    IDirectDrawSurface4* dest = CreateSurface(OffscreenDescription(16, 8));
    ASSERT_NE(source, nullptr);
    ASSERT_NE(dest, nullptr);
    RECT destination = {0, 0, 8, 4};
    const struct {
        const char* label;
        RECT sourceRect;
        RECT destRect;
        HRESULT expected;
    } cases[] = {
        {"source past the right edge", {0, 0, 9, 4}, destination, DDERR_INVALIDRECT},
        {"source past the bottom edge", {0, 1, 8, 5}, destination, DDERR_INVALIDRECT},
        {"source left of the surface", {-1, 0, 4, 4}, destination, DDERR_INVALIDRECT},
        {"empty source", {2, 0, 2, 4}, destination, DDERR_INVALIDRECT},
        {"inverted source", {4, 0, 2, 4}, destination, DDERR_INVALIDRECT},
        {"destination past the edge, no clipper", {0, 0, 8, 4}, {0, 0, 17, 8}, DDERR_INVALIDRECT},
        {"empty destination", {0, 0, 8, 4}, {3, 3, 3, 8}, DDERR_INVALIDRECT},
        {"both inside", {0, 0, 8, 4}, {8, 4, 16, 8}, DD_OK},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        RECT from = c.sourceRect;
        RECT to = c.destRect;
        EXPECT_EQ(dest->Blt(&to, source, &from, 0, nullptr), c.expected);
    }
    {
        SCOPED_TRACE("no source surface");
        EXPECT_EQ(dest->Blt(nullptr, nullptr, nullptr, 0, nullptr), DDERR_INVALIDPARAMS);
    }
    {
        SCOPED_TRACE("flags that mean nothing");
        EXPECT_EQ(dest->Blt(nullptr, source, nullptr, 0x12345, nullptr), DDERR_INVALIDPARAMS);
    }
    EXPECT_EQ(dest->Release(), 0u);
    EXPECT_EQ(source->Release(), 0u);
}

TEST_F(DirectDrawTest, BltCopiesOneToOne) {
    IDirectDrawSurface4* source = CreateSurface(OffscreenDescription(8, 4));
    IDirectDrawSurface4* dest = CreateSurface(OffscreenDescription(16, 8));
    ASSERT_NE(source, nullptr);
    ASSERT_NE(dest, nullptr);
    const DWORD bytes = BytesPerPixelOf(source);
    const std::vector<uint8_t> pattern = PatternPixels(8, 4, bytes, 40);
    const std::vector<uint8_t> background = PatternPixels(16, 8, bytes, 90);
    WritePixels(source, pattern);
    WritePixels(dest, background);

    RECT from = {2, 1, 7, 4}; // 5 x 3
    RECT to = {9, 3, 14, 6};
    ASSERT_EQ(dest->Blt(&to, source, &from, 0, nullptr), DD_OK);
    const std::vector<uint8_t> result = ReadPixels(dest);
    for (DWORD y = 0; y < 8; ++y)
        for (DWORD x = 0; x < 16; ++x) {
            SCOPED_TRACE(testing::Message() << "pixel " << x << ", " << y);
            const bool inside = x >= 9 && x < 14 && y >= 3 && y < 6;
            const std::vector<uint8_t> expected = inside ? PixelAt(pattern, 8, bytes, x - 7, y - 2)
                                                         : PixelAt(background, 16, bytes, x, y);
            ASSERT_EQ(PixelAt(result, 16, bytes, x, y), expected);
        }
    EXPECT_EQ(dest->Release(), 0u);
    EXPECT_EQ(source->Release(), 0u);
}

// What a Blt copied stays copied, whatever comes after it: the source written anew, a
// second Blt over part of the same place, the source released.
TEST_F(DirectDrawTest, BltResultStandsWhateverFollows) {
    IDirectDrawSurface4* first = CreateSurface(OffscreenDescription(8, 4));
    IDirectDrawSurface4* second = CreateSurface(OffscreenDescription(8, 4));
    IDirectDrawSurface4* dest = CreateSurface(OffscreenDescription(8, 4));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(dest, nullptr);
    const DWORD bytes = BytesPerPixelOf(dest);
    // The top byte of a 32-bit pixel carries no colour, and a blit on the graphics card
    // fills it: the patterns have it filled already.
    const auto opaque = [bytes](std::vector<uint8_t> pixels) {
        for (size_t i = 3; bytes == 4 && i < pixels.size(); i += 4)
            pixels[i] = 0xFF;
        return pixels;
    };
    const std::vector<uint8_t> firstPixels = opaque(PatternPixels(8, 4, bytes, 10));
    const std::vector<uint8_t> secondPixels = opaque(PatternPixels(8, 4, bytes, 70));
    WritePixels(first, firstPixels);
    WritePixels(second, secondPixels);
    ASSERT_EQ(dest->Blt(nullptr, first, nullptr, 0, nullptr), DD_OK);
    RECT topHalf = {0, 0, 8, 2};
    ASSERT_EQ(dest->Blt(&topHalf, second, &topHalf, 0, nullptr), DD_OK);
    WritePixels(first, opaque(PatternPixels(8, 4, bytes, 130)));
    EXPECT_EQ(second->Release(), 0u);
    std::vector<uint8_t> expected = firstPixels;
    std::copy(secondPixels.begin(), secondPixels.begin() + 8 * 2 * bytes, expected.begin());
    EXPECT_EQ(ReadPixels(dest), expected);
    EXPECT_EQ(dest->Release(), 0u);
    EXPECT_EQ(first->Release(), 0u);
}

TEST_F(DirectDrawTest, BltStretchesByNearestPixels) {
    if (RunningOnWine())
        GTEST_SKIP() << "Wine filters stretched blits; DirectDraw takes the nearest pixel";
    IDirectDrawSurface4* source = CreateSurface(OffscreenDescription(8, 4));
    IDirectDrawSurface4* dest = CreateSurface(OffscreenDescription(16, 8));
    ASSERT_NE(source, nullptr);
    ASSERT_NE(dest, nullptr);
    const DWORD bytes = BytesPerPixelOf(source);
    const std::vector<uint8_t> pattern = PatternPixels(8, 4, bytes, 7);
    WritePixels(source, pattern);
    {
        SCOPED_TRACE("doubled");
        ASSERT_EQ(dest->Blt(nullptr, source, nullptr, 0, nullptr), DD_OK);
        const std::vector<uint8_t> result = ReadPixels(dest);
        for (DWORD y = 0; y < 8; ++y)
            for (DWORD x = 0; x < 16; ++x)
                ASSERT_EQ(PixelAt(result, 16, bytes, x, y),
                          PixelAt(pattern, 8, bytes, x / 2, y / 2))
                    << x << ", " << y;
    }
    {
        SCOPED_TRACE("shrunk to two thirds");
        RECT from = {0, 0, 6, 3};
        RECT to = {0, 0, 4, 2};
        ASSERT_EQ(dest->Blt(&to, source, &from, 0, nullptr), DD_OK);
        const std::vector<uint8_t> result = ReadPixels(dest);
        for (DWORD y = 0; y < 2; ++y)
            for (DWORD x = 0; x < 4; ++x)
                ASSERT_EQ(PixelAt(result, 16, bytes, x, y),
                          PixelAt(pattern, 8, bytes, x * 3 / 2, y * 3 / 2))
                    << x << ", " << y;
    }
    EXPECT_EQ(dest->Release(), 0u);
    EXPECT_EQ(source->Release(), 0u);
}

TEST_F(DirectDrawTest, BltToThePrimaryThroughItsClipper) {
    IDirectDrawSurface4* primary = CreateSurface(PrimaryDescription());
    IDirectDrawSurface4* frame = CreateSurface(OffscreenDescription(8, 4));
    ASSERT_NE(primary, nullptr);
    ASSERT_NE(frame, nullptr);
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(DirectDraw->CreateClipper(0, &clipper, nullptr), DD_OK);
    ASSERT_EQ(primary->SetClipper(clipper), DD_OK);
    {
        SCOPED_TRACE("a clipper without a window");
        RECT to = {0, 0, 8, 4};
        EXPECT_EQ(primary->Blt(&to, frame, nullptr, 0, nullptr), DDERR_NOCLIPLIST);
    }
    ASSERT_EQ(clipper->SetHWnd(0, Window), DD_OK);
    EXPECT_EQ(clipper->Release(), 1u);
    {
        SCOPED_TRACE("a destination reaching past the screen is clipped, not refused");
        RECT to = {-50, -50, 5000, 5000};
        EXPECT_EQ(primary->Blt(&to, frame, nullptr, 0, nullptr), DD_OK);
    }
    {
        SCOPED_TRACE("the source rectangle is still checked");
        // Onto the whole client area: Wine checks only the part of the source that
        // survives the clipping.
        RECT to;
        ASSERT_TRUE(GetClientRect(Window, &to));
        POINT corners[2] = {{to.left, to.top}, {to.right, to.bottom}};
        ASSERT_TRUE(ClientToScreen(Window, &corners[0]));
        ASSERT_TRUE(ClientToScreen(Window, &corners[1]));
        to = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
        RECT from = {0, 0, 9, 4};
        EXPECT_EQ(primary->Blt(&to, frame, &from, 0, nullptr), DDERR_INVALIDRECT);
    }
    {
        SCOPED_TRACE("an empty destination is still refused");
        RECT to = {10, 10, 10, 20};
        EXPECT_EQ(primary->Blt(&to, frame, nullptr, 0, nullptr), DDERR_INVALIDRECT);
    }
    EXPECT_EQ(frame->Release(), 0u);
    EXPECT_EQ(primary->Release(), 0u);
}

TEST_F(DirectDrawTest, ClippedBltReachesOnlyTheClientArea) {
    IDirectDrawSurface4* primary = CreateSurface(PrimaryDescription());
    ASSERT_NE(primary, nullptr);
    RECT client;
    ASSERT_TRUE(GetClientRect(Window, &client));
    POINT origin = {0, 0};
    ASSERT_TRUE(ClientToScreen(Window, &origin));
    const DWORD width = static_cast<DWORD>(client.right) + 8;
    const DWORD height = static_cast<DWORD>(client.bottom) + 8;
    IDirectDrawSurface4* frame = CreateSurface(OffscreenDescription(width, height));
    ASSERT_NE(frame, nullptr);
    const DWORD bytes = BytesPerPixelOf(frame);
    const std::vector<uint8_t> pattern = PatternPixels(width, height, bytes, 200);
    WritePixels(frame, pattern);
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(DirectDraw->CreateClipper(0, &clipper, nullptr), DD_OK);
    ASSERT_EQ(clipper->SetHWnd(0, Window), DD_OK);
    ASSERT_EQ(primary->SetClipper(clipper), DD_OK);
    EXPECT_EQ(clipper->Release(), 1u);

    const std::vector<uint8_t> before = ReadPixels(primary);
    // The frame, 4 pixels larger than the client area on every side, centred on it.
    RECT to = {origin.x - 4, origin.y - 4, origin.x + static_cast<LONG>(width) - 4,
               origin.y + static_cast<LONG>(height) - 4};
    ASSERT_EQ(primary->Blt(&to, frame, nullptr, 0, nullptr), DD_OK);
    const std::vector<uint8_t> after = ReadPixels(primary);
    const DWORD screenWidth = static_cast<DWORD>(GetSystemMetrics(SM_CXSCREEN));
    for (LONG y = to.top; y < to.bottom; ++y)
        for (LONG x = to.left; x < to.right; ++x) {
            const bool inClient = x >= origin.x && x < origin.x + client.right && y >= origin.y &&
                                  y < origin.y + client.bottom;
            const auto sx = static_cast<DWORD>(x), sy = static_cast<DWORD>(y);
            const std::vector<uint8_t> expected =
                inClient ? PixelAt(pattern, width, bytes, sx - static_cast<DWORD>(to.left),
                                   sy - static_cast<DWORD>(to.top))
                         : PixelAt(before, screenWidth, bytes, sx, sy);
            ASSERT_EQ(PixelAt(after, screenWidth, bytes, sx, sy), expected) << x << ", " << y;
        }
    EXPECT_EQ(frame->Release(), 0u);
    EXPECT_EQ(primary->Release(), 0u);
}

} // namespace
