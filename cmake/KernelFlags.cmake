# Build settings of the per-frame kernels (shading and pixel conversion) and of the plain
# loops they are measured against.
#
# The processor family whose kernels are built: x86 (SSE2 and AVX2, chosen at run time by
# a processor check), arm64 (NEON, which every arm64 processor has) or web (WebAssembly,
# where the SSE2 kernels are built for 128-bit SIMD).
if(EMSCRIPTEN)
    set(KERNEL_ARCH web)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64|ARM64)$")
    set(KERNEL_ARCH arm64)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i[3-6]86|x86)$")
    set(KERNEL_ARCH x86)
else()
    message(FATAL_ERROR "No per-frame kernels for the processor ${CMAKE_SYSTEM_PROCESSOR}")
endif()

# Code placement alone moves a short hot loop's time by up to a third on some processors,
# so every kernel and baseline starts its functions and loops on 64-byte boundaries.
set(KERNEL_ALIGNMENT_FLAGS -falign-functions=64 -falign-loops=64)
if(EMSCRIPTEN)
    # WebAssembly code has no addresses to align.
    set(KERNEL_ALIGNMENT_FLAGS)
endif()

# WebAssembly: the SSE2 kernels are built for 128-bit SIMD (emscripten translates the SSE2
# intrinsics); the x86 target attribute has nothing to name there. The program is then
# linked with SIMD too (WASM_SIMD_LINK_FLAGS).
set(WASM_SSE2_FLAGS -msimd128 -msse2 -DSSE2_KERNEL=)
set(WASM_SIMD_LINK_FLAGS -msimd128)

# Windows guarantees less stack alignment than vector spills may assume (4 bytes on
# 32-bit x86, 16 where AVX wants 32), so there the kernels realign their stack and the
# assembler writes every aligned vector move as an unaligned one.
set(KERNEL_PLATFORM_FLAGS)
if(WIN32)
    list(APPEND KERNEL_PLATFORM_FLAGS -Wa,-muse-unaligned-vector-move)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        list(APPEND KERNEL_PLATFORM_FLAGS -mstackrealign)
    endif()
endif()

# kernel_sources(FILE...): the files hold kernels or baselines; call it in the directory
# whose target compiles them.
function(kernel_sources)
    set_property(SOURCE ${ARGN} APPEND PROPERTY COMPILE_OPTIONS
                 ${KERNEL_ALIGNMENT_FLAGS} ${KERNEL_PLATFORM_FLAGS})
endfunction()
