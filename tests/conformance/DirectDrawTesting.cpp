// Support for the DirectDraw conformance tests.
#include "DirectDrawTesting.h"

#include <cstring>

DDSURFACEDESC2 EmptyDescription() {
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    return desc;
}

DDSURFACEDESC2 OffscreenDescription(DWORD width, DWORD height) {
    DDSURFACEDESC2 desc = EmptyDescription();
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    return desc;
}

DDSURFACEDESC2 PrimaryDescription() {
    DDSURFACEDESC2 desc = EmptyDescription();
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    return desc;
}

DDSURFACEDESC2 FlipChainDescription(DWORD backBuffers) {
    DDSURFACEDESC2 desc = EmptyDescription();
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = backBuffers;
    desc.ddsCaps.dwCaps =
        DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY;
    return desc;
}

DWORD BytesPerPixelOf(IDirectDrawSurface4* surface) {
    DDPIXELFORMAT format;
    std::memset(&format, 0, sizeof format);
    format.dwSize = sizeof format;
    EXPECT_EQ(surface->GetPixelFormat(&format), DD_OK);
    return (format.dwRGBBitCount + 1) / 8;
}

std::vector<uint8_t> ReadPixels(IDirectDrawSurface4* surface) {
    DDSURFACEDESC2 desc = EmptyDescription();
    const HRESULT locked = surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    EXPECT_EQ(locked, DD_OK);
    if (locked != DD_OK)
        return {};
    const size_t row = desc.dwWidth * BytesPerPixelOf(surface);
    std::vector<uint8_t> pixels(row * desc.dwHeight);
    for (DWORD y = 0; y < desc.dwHeight; ++y)
        std::memcpy(pixels.data() + y * row,
                    static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch, row);
    EXPECT_EQ(surface->Unlock(nullptr), DD_OK);
    return pixels;
}

void WritePixels(IDirectDrawSurface4* surface, const std::vector<uint8_t>& pixels) {
    DDSURFACEDESC2 desc = EmptyDescription();
    const HRESULT locked = surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    ASSERT_EQ(locked, DD_OK);
    const size_t row = desc.dwWidth * BytesPerPixelOf(surface);
    ASSERT_EQ(pixels.size(), row * desc.dwHeight);
    for (DWORD y = 0; y < desc.dwHeight; ++y)
        std::memcpy(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch,
                    pixels.data() + y * row, row);
    EXPECT_EQ(surface->Unlock(nullptr), DD_OK);
}

std::vector<uint8_t> PatternPixels(DWORD width, DWORD height, DWORD bytesPerPixel, uint8_t seed) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * bytesPerPixel);
    for (DWORD y = 0; y < height; ++y)
        for (DWORD x = 0; x < width; ++x)
            for (DWORD k = 0; k < bytesPerPixel; ++k)
                pixels[(static_cast<size_t>(y) * width + x) * bytesPerPixel + k] =
                    static_cast<uint8_t>(k == 0   ? x
                                         : k == 1 ? y
                                                  : seed + x * 7 + y * 13);
    return pixels;
}

ULONG ReferenceCount(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

void DirectDrawTest::SetUp() {
    Library = LoadLibraryA("DDraw.dll");
    ASSERT_NE(Library, nullptr);
    Create = reinterpret_cast<DirectDrawCreateFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(Library, "DirectDrawCreate")));
    ASSERT_NE(Create, nullptr);

    WNDCLASSA windowClass;
    std::memset(&windowClass, 0, sizeof windowClass);
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "DirectDrawConformance";
    RegisterClassA(&windowClass); // a second registration fails harmlessly
    Window =
        CreateWindowExA(0, "DirectDrawConformance", "DirectDraw conformance", WS_POPUP | WS_VISIBLE,
                        100, 80, 200, 150, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(Window, nullptr);

    DirectDraw = NewDirectDraw4();
    ASSERT_NE(DirectDraw, nullptr);
    ASSERT_EQ(DirectDraw->SetCooperativeLevel(Window, DDSCL_NORMAL), DD_OK);
}

void DirectDrawTest::TearDown() {
    if (DirectDraw != nullptr) {
        EXPECT_EQ(DirectDraw->Release(), 0u) << "a surface or reference is left over";
    }
    if (Window != nullptr)
        DestroyWindow(Window);
    if (Library != nullptr) {
        EXPECT_TRUE(FreeLibrary(Library));
    }
}

IDirectDraw4* DirectDrawTest::NewDirectDraw4() {
    IDirectDraw* directDraw = nullptr;
    EXPECT_EQ(Create(nullptr, &directDraw, nullptr), DD_OK);
    if (directDraw == nullptr)
        return nullptr;
    IDirectDraw4* directDraw4 = nullptr;
    EXPECT_EQ(directDraw->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&directDraw4)),
              DD_OK);
    EXPECT_EQ(directDraw->Release(), 0u);
    return directDraw4;
}

IDirectDrawSurface4* DirectDrawTest::CreateSurface(DDSURFACEDESC2 desc) {
    IDirectDrawSurface4* surface = nullptr;
    EXPECT_EQ(DirectDraw->CreateSurface(&desc, &surface, nullptr), DD_OK);
    return surface;
}
