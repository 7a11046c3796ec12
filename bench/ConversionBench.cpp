// The four conversions into a surface with rows wider than the converted pixels: the
// plain loop, each kernel, SDL_ConvertPixels, pixman's composite with PIXMAN_OP_SRC, and
// memcpy of the frame's 256000 bytes.
#include "BenchData.h"
#include "Benchmarks.h"
#include "PlainLoops.h"

#include "ConversionKernels.h"
#include "PixelConversion.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdio>
#include <string>

namespace {

struct Format {
    int bits;
    int bytesPerPixel;
    ConversionKernel plain;
    ConversionKernel chosen;
    Uint32 sdlFormat;
    pixman_format_code_t pixmanFormat;
};

// SDL and pixman name the formats by their value: 0xRRGGBB stored little-endian is B G R
// in memory, SDL's BGR24 and pixman's r8g8b8.
std::vector<Format> Formats() {
    return {
        {15, 2, PlainConvertTo15, ConvertTo15Kernel, SDL_PIXELFORMAT_RGB555, PIXMAN_x1r5g5b5},
        {16, 2, PlainConvertTo16, ConvertTo16Kernel, SDL_PIXELFORMAT_RGB565, PIXMAN_r5g6b5},
        {24, 3, PlainConvertTo24, ConvertTo24Kernel, SDL_PIXELFORMAT_BGR24, PIXMAN_r8g8b8},
        {32, 4, PlainConvertTo32, ConvertTo32Kernel, SDL_PIXELFORMAT_ARGB8888, PIXMAN_a8r8g8b8},
    };
}

int Padding(const Format& format) {
    return SurfacePitch(format.bytesPerPixel) - BenchWidth * format.bytesPerPixel;
}

void ConvertWith(benchmark::State& state, ConversionKernel kernel, Format format) {
    const std::vector<uint32_t>& frame = DrawnFrame();
    Surface surface = MakeSurface(format.bytesPerPixel);
    for (auto _ : state) {
        kernel(frame.data(), surface.data(), BenchWidth, BenchHeight, Padding(format));
        benchmark::ClobberMemory();
    }
}

int SdlConvert(const Format& format, uint8_t* surface) {
    return SDL_ConvertPixels(BenchWidth, BenchHeight, SDL_PIXELFORMAT_ARGB8888, DrawnFrame().data(),
                             BenchWidth * 4, format.sdlFormat, surface,
                             SurfacePitch(format.bytesPerPixel));
}

void ConvertWithSdl(benchmark::State& state, Format format) {
    Surface surface = MakeSurface(format.bytesPerPixel);
    for (auto _ : state) {
        SdlConvert(format, surface.data());
        benchmark::ClobberMemory();
    }
}

// pixman images over the frame and a surface; the frame is only read.
struct PixmanPair {
    pixman_image_t* source;
    pixman_image_t* dest;
};
PixmanPair PixmanImages(const Format& format, uint8_t* surface) {
    auto* frame = const_cast<uint32_t*>(DrawnFrame().data());
    return {
        pixman_image_create_bits(PIXMAN_a8r8g8b8, BenchWidth, BenchHeight, frame, BenchWidth * 4),
        pixman_image_create_bits(format.pixmanFormat, BenchWidth, BenchHeight,
                                 reinterpret_cast<uint32_t*>(surface),
                                 SurfacePitch(format.bytesPerPixel))};
}

void PixmanConvert(const PixmanPair& images) {
    pixman_image_composite32(PIXMAN_OP_SRC, images.source, nullptr, images.dest, 0, 0, 0, 0, 0, 0,
                             BenchWidth, BenchHeight);
}

void ReleasePixman(const PixmanPair& images) {
    pixman_image_unref(images.source);
    pixman_image_unref(images.dest);
}

void ConvertWithPixman(benchmark::State& state, Format format) {
    Surface surface = MakeSurface(format.bytesPerPixel);
    const PixmanPair images = PixmanImages(format, surface.data());
    for (auto _ : state) {
        PixmanConvert(images);
        benchmark::ClobberMemory();
    }
    ReleasePixman(images);
}

} // namespace

void RegisterConversionBenchmarks() {
    RegisterMemcpy("memcpy/256000", BenchFrameBytes);
    const std::vector<uint32_t>& frame = DrawnFrame();
    for (const Format& format : Formats()) {
        const std::string prefix = "ConvertTo" + std::to_string(format.bits) + "/";
        const size_t rowBytes = static_cast<size_t>(BenchWidth) * format.bytesPerPixel;
        const size_t pitch = SurfacePitch(format.bytesPerPixel);
        // Our bytes: what PresentFrame writes.
        Surface want = MakeSurface(format.bytesPerPixel);
        format.chosen(frame.data(), want.data(), BenchWidth, BenchHeight, Padding(format));
        Surface got = MakeSurface(format.bytesPerPixel);

        struct Named {
            std::string name;
            ConversionKernel kernel;
            bool runs;
        };
        std::vector<Named> kernels = {{prefix + "plain", format.plain, true}};
        bool listed = false;
        for (const VectorConversionKernel& kernel : VectorConversionKernels())
            if (kernel.bits == format.bits) {
                kernels.push_back({prefix + kernel.name, kernel.convert, kernel.runs});
                listed = listed || kernel.convert == format.chosen;
            }
        // Where the program uses its plain conversion, that one as the program is compiled
        // (vectorised where the compiler does so).
        kernels.push_back({prefix + "chosen", format.chosen, !listed && format.bits != 32});
        kernels.push_back({prefix + "memcpy rows", ConvertTo32, format.bits == 32});
        for (const auto& k : kernels) {
            if (!k.runs)
                continue;
            k.kernel(frame.data(), got.data(), BenchWidth, BenchHeight, Padding(format));
            if (ExpectSameRows(k.name.c_str(), want.data(), got.data(), rowBytes, pitch,
                               BenchHeight))
                benchmark::RegisterBenchmark(k.name.c_str(), ConvertWith, k.kernel, format)
                    ->Unit(benchmark::kMicrosecond);
        }

        const std::string sdl = prefix + "SDL_ConvertPixels";
        Surface sdlSurface = MakeSurface(format.bytesPerPixel);
        if (SdlConvert(format, sdlSurface.data()) != 0)
            std::printf("%s left out: %s\n", sdl.c_str(), SDL_GetError());
        else if (ExpectSameRows(sdl.c_str(), want.data(), sdlSurface.data(), rowBytes, pitch,
                                BenchHeight))
            benchmark::RegisterBenchmark(sdl.c_str(), ConvertWithSdl, format)
                ->Unit(benchmark::kMicrosecond);

        const std::string pixman = prefix + "pixman";
        Surface pixmanSurface = MakeSurface(format.bytesPerPixel);
        const PixmanPair images = PixmanImages(format, pixmanSurface.data());
        PixmanConvert(images);
        ReleasePixman(images);
        if (ExpectSameRows(pixman.c_str(), want.data(), pixmanSurface.data(), rowBytes, pitch,
                           BenchHeight))
            benchmark::RegisterBenchmark(pixman.c_str(), ConvertWithPixman, format)
                ->Unit(benchmark::kMicrosecond);
    }
}
