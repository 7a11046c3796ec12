// Pixel formats, surface memory and the screen: the memory of the primary surface, which
// the control interface reads back.
#include "DirectDrawPrivate.h"

#include <algorithm>
#include <cstring>

namespace {

// The screen's memory and the mode and padding it was made for.
std::shared_ptr<PixelMemory> Screen;
ScreenMode ScreenShownMode{};
int ScreenPadding = 0;

// The screen's memory when it still shows the current mode, else NULL. A flip chain made
// before a mode change may have put memory of another size on show.
PixelMemory* ScreenInCurrentMode() {
    const ScreenMode mode = CurrentScreenMode();
    if (Screen == nullptr || !SameMode(ScreenShownMode, mode) ||
        Screen->width != static_cast<DWORD>(mode.width) ||
        Screen->height != static_cast<DWORD>(mode.height) ||
        Screen->bytesPerPixel != BytesPerPixelOfDepth(mode.bitsPerPixel))
        return nullptr;
    return Screen.get();
}

} // namespace

bool SameMode(const ScreenMode& a, const ScreenMode& b) {
    // Only a 16-bit mode has a layout of its own to tell by the red mask.
    return a.width == b.width && a.height == b.height && a.bitsPerPixel == b.bitsPerPixel &&
           (a.bitsPerPixel != 16 || a.redMask16 == b.redMask16);
}

DDPIXELFORMAT PixelFormatOf(int bitsPerPixel, DWORD redMask16) {
    DDPIXELFORMAT format{};
    format.dwSize = sizeof(DDPIXELFORMAT);
    format.dwFlags = DDPF_RGB;
    switch (bitsPerPixel) {
    case 8:
        format.dwFlags |= DDPF_PALETTEINDEXED8;
        format.dwRGBBitCount = 8;
        break;
    case 15:
    case 16:
        // A 15-bit display is a 16-bit one with the 5-5-5 layout.
        format.dwRGBBitCount = 16;
        if (bitsPerPixel == 15 || redMask16 == 0x7C00) {
            format.dwRBitMask = 0x7C00;
            format.dwGBitMask = 0x03E0;
            format.dwBBitMask = 0x001F;
        } else if (redMask16 == 0x001F) {
            // 5-6-5 with red and blue exchanged, as some adapters have it.
            format.dwRBitMask = 0x001F;
            format.dwGBitMask = 0x07E0;
            format.dwBBitMask = 0xF800;
        } else {
            format.dwRBitMask = 0xF800;
            format.dwGBitMask = 0x07E0;
            format.dwBBitMask = 0x001F;
        }
        break;
    case 24:
    case 32:
        format.dwRGBBitCount = static_cast<DWORD>(bitsPerPixel);
        format.dwRBitMask = 0xFF0000;
        format.dwGBitMask = 0x00FF00;
        format.dwBBitMask = 0x0000FF;
        break;
    default:
        break;
    }
    return format;
}

bool SamePixelFormat(const DDPIXELFORMAT& a, const DDPIXELFORMAT& b) {
    return a.dwFlags == b.dwFlags && a.dwRGBBitCount == b.dwRGBBitCount &&
           a.dwRBitMask == b.dwRBitMask && a.dwGBitMask == b.dwGBitMask &&
           a.dwBBitMask == b.dwBBitMask && a.dwRGBAlphaBitMask == b.dwRGBAlphaBitMask;
}

std::shared_ptr<PixelMemory> NewPixelMemory(DWORD width, DWORD height, DWORD bytesPerPixel) {
    const DWORD row = width * bytesPerPixel;
    const DWORD padding = static_cast<DWORD>(std::max(0, CurrentDisplay().surfacePitchPadding));
    auto memory = std::make_shared<PixelMemory>();
    memory->width = width;
    memory->height = height;
    memory->bytesPerPixel = bytesPerPixel;
    memory->pitch = static_cast<LONG>(row + padding);
    memory->bytes.assign(static_cast<size_t>(memory->pitch) * height, 0);
    for (DWORD y = 0; y < height; ++y)
        std::memset(PixelRow(*memory, static_cast<LONG>(y)) + row, GuardByte, padding);
    return memory;
}

std::shared_ptr<PixelMemory> ScreenMemory() {
    const ScreenMode mode = CurrentScreenMode();
    if (ScreenInCurrentMode() == nullptr || ScreenPadding != CurrentDisplay().surfacePitchPadding) {
        const DDPIXELFORMAT format = PixelFormatOf(mode.bitsPerPixel, mode.redMask16);
        Screen = NewPixelMemory(static_cast<DWORD>(mode.width), static_cast<DWORD>(mode.height),
                                BytesPerPixel(format));
        ScreenShownMode = mode;
        ScreenPadding = CurrentDisplay().surfacePitchPadding;
    }
    return Screen;
}

void ShowOnScreen(const std::shared_ptr<PixelMemory>& memory) {
    Screen = memory;
    PixelsChanged(*memory,
                  RECT{0, 0, static_cast<LONG>(memory->width), static_cast<LONG>(memory->height)});
}

void PixelsChanged(const PixelMemory& memory, const RECT& area) {
    if (PresentationLayer.screenChanged != nullptr && ScreenInCurrentMode() == &memory)
        PresentationLayer.screenChanged(area);
}

void ResetScreen() {
    ForgetBlits();
    Screen.reset();
}

int StandInScreenWidth() {
    return CurrentScreenMode().width;
}

int StandInScreenHeight() {
    return CurrentScreenMode().height;
}

int StandInScreenBitsPerPixel() {
    return CurrentScreenMode().bitsPerPixel;
}

std::vector<uint8_t> StandInReadScreen(const RECT& area) {
    std::vector<uint8_t> pixels;
    ReadScreenInto(area, &pixels);
    return pixels;
}

bool ReadScreenInto(const RECT& area, std::vector<uint8_t>* pixels) {
    const ScreenMode mode = CurrentScreenMode();
    if (area.left < 0 || area.top < 0 || area.left >= area.right || area.top >= area.bottom ||
        area.right > mode.width || area.bottom > mode.height) {
        pixels->clear();
        return false;
    }
    FinishBlits();
    const size_t bytesPerPixel = BytesPerPixelOfDepth(mode.bitsPerPixel);
    const size_t rowBytes = static_cast<size_t>(area.right - area.left) * bytesPerPixel;
    pixels->resize(rowBytes * static_cast<size_t>(area.bottom - area.top));
    PixelMemory* screen = ScreenInCurrentMode();
    if (screen == nullptr) {
        // A mode nothing has drawn in yet is black.
        std::fill(pixels->begin(), pixels->end(), uint8_t{0});
        return true;
    }
    for (LONG y = area.top; y < area.bottom; ++y)
        std::memcpy(pixels->data() + static_cast<size_t>(y - area.top) * rowBytes,
                    PixelRow(*screen, y) + static_cast<size_t>(area.left) * bytesPerPixel,
                    rowBytes);
    return true;
}
