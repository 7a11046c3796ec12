// memcpy for the page's program. The C library linked for the smallest page copies byte by
// byte, and every frame copies the whole picture twice in rows (into the back surface, then
// onto the screen); this one moves 16 bytes at a time with WebAssembly SIMD and takes the
// library's place at link time. That library's memmove hands every copy to a lower address
// to memcpy, overlapping or not, so this one copies forward too, each block loaded before it
// is stored, and its pointers are not restrict.
#include <wasm_simd128.h>

#include <cstddef>
#include <cstdint>

// no_builtin: the byte loop below must not be turned back into a call of memcpy.
extern "C" __attribute__((no_builtin("memcpy"))) void* memcpy(void* dest, const void* source,
                                                              size_t size) {
    uint8_t* out = static_cast<uint8_t*>(dest);
    const uint8_t* in = static_cast<const uint8_t*>(source);
    for (; size >= 64; size -= 64, in += 64, out += 64) {
        const v128_t a = wasm_v128_load(in);
        const v128_t b = wasm_v128_load(in + 16);
        const v128_t c = wasm_v128_load(in + 32);
        const v128_t d = wasm_v128_load(in + 48);
        wasm_v128_store(out, a);
        wasm_v128_store(out + 16, b);
        wasm_v128_store(out + 32, c);
        wasm_v128_store(out + 48, d);
    }
    for (; size >= 16; size -= 16, in += 16, out += 16)
        wasm_v128_store(out, wasm_v128_load(in));
    while (size-- > 0)
        *out++ = *in++;
    return dest;
}
