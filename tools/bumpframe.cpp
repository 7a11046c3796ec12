// bumpframe TIME FILE: draws the frame RenderBumpFrame(TIME) puts into FrameBuffer and
// writes it to FILE as a binary PPM (P6, 320 x 200, red, green and blue of each pixel).
// Uses the same effect library and compiled tables as the demo.
#include "BumpEffect.h"
#include "Heap.h"
#include "VideoOutput.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int UsageExitCode = 2;
constexpr int WriteExitCode = 1;

// The whole text must be a decimal number within the range of a 32-bit time.
bool ParseTime(const char* text, int32_t& time) {
    const char* end = text + std::strlen(text);
    const auto result = std::from_chars(text, end, time);
    return result.ec == std::errc() && result.ptr == end && result.ptr != text;
}

bool WriteFrame(const char* path, const uint32_t* frame) {
    std::vector<uint8_t> bytes;
    bytes.reserve(FramePixels * 3);
    for (int k = 0; k < FramePixels; ++k) {
        bytes.push_back(static_cast<uint8_t>(frame[k] >> 16));
        bytes.push_back(static_cast<uint8_t>(frame[k] >> 8));
        bytes.push_back(static_cast<uint8_t>(frame[k]));
    }
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fprintf(file, "P6\n%d %d\n255\n", FrameWidth, FrameHeight) > 0 &&
                         std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    // A failed close can mean the data never reached the file.
    return std::fclose(file) == 0 && written;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bumpframe TIME FILE\n");
        return UsageExitCode;
    }
    int32_t time = 0;
    if (!ParseTime(argv[1], time)) {
        std::fprintf(stderr, "bumpframe: TIME must be a whole number from %d to %d, not \"%s\"\n",
                     INT32_MIN, INT32_MAX, argv[1]);
        return UsageExitCode;
    }
    FrameBuffer = static_cast<uint32_t*>(AllocateMemory(FrameBytes));
    InitBumpEffect();
    RenderBumpFrame(time);
    ReleaseBumpEffect();
    if (!WriteFrame(argv[2], FrameBuffer)) {
        std::fprintf(stderr, "bumpframe: cannot write %s\n", argv[2]);
        return WriteExitCode;
    }
    return 0;
}
