// The page's memcpy against a plain byte copy: every size up to a few 64-byte blocks and a
// frame row, at every alignment of source and destination, with guard bytes around the
// destination; and memmove to a lower, overlapping address, which the small C library hands
// to memcpy. Run under node; exits 1 at the first difference.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr size_t Guard = 32;
constexpr unsigned char GuardByte = 0xA5;

// The plain copy, kept a byte loop.
__attribute__((no_builtin("memcpy"))) void PlainCopy(unsigned char* out, const unsigned char* in,
                                                     size_t size) {
    for (size_t i = 0; i < size; ++i)
        out[i] = in[i];
}

bool CopiesAlike(size_t size, size_t sourceOffset, size_t destOffset) {
    std::vector<unsigned char> source(size + 16);
    for (size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<unsigned char>(i * 7 + size);
    std::vector<unsigned char> got(size + 16 + 2 * Guard, GuardByte);
    std::vector<unsigned char> want(got);
    unsigned char* const gotAt = got.data() + Guard + destOffset;
    // Through a volatile pointer, so that the call is not replaced by the compiler's own copy.
    void* (*volatile copy)(void*, const void*, size_t) = std::memcpy;
    if (copy(gotAt, source.data() + sourceOffset, size) != gotAt)
        return false;
    PlainCopy(want.data() + Guard + destOffset, source.data() + sourceOffset, size);
    return got == want;
}

// memmove of size bytes from offset `distance` bytes above the destination, in one buffer.
bool MovesDownAlike(size_t size, size_t distance) {
    std::vector<unsigned char> got(size + distance + 2 * Guard);
    for (size_t i = 0; i < got.size(); ++i)
        got[i] = static_cast<unsigned char>(i * 13 + size);
    std::vector<unsigned char> want(got);
    void* (*volatile move)(void*, const void*, size_t) = std::memmove;
    move(got.data() + Guard, got.data() + Guard + distance, size);
    PlainCopy(want.data() + Guard, want.data() + Guard + distance, size);
    return got == want;
}

} // namespace

int main() {
    std::vector<size_t> sizes;
    for (size_t size = 0; size <= 200; ++size)
        sizes.push_back(size);
    sizes.push_back(320 * 4); // a frame row
    for (const size_t size : sizes)
        for (size_t sourceOffset = 0; sourceOffset < 16; ++sourceOffset)
            for (size_t destOffset = 0; destOffset < 16; ++destOffset)
                if (!CopiesAlike(size, sourceOffset, destOffset)) {
                    std::printf("memcpy of %zu bytes, source +%zu, destination +%zu differs\n",
                                size, sourceOffset, destOffset);
                    return EXIT_FAILURE;
                }
    for (const size_t size : sizes)
        for (size_t distance = 1; distance <= 80; ++distance)
            if (!MovesDownAlike(size, distance)) {
                std::printf("memmove of %zu bytes down by %zu differs\n", size, distance);
                return EXIT_FAILURE;
            }
    std::printf("memcpy and memmove match the plain copy\n");
    return EXIT_SUCCESS;
}
