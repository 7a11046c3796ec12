// The per-frame work written as plain per-pixel loops and compiled without vectorisation:
// the honest baseline every kernel is measured against.
#pragma once

#include <cstdint>

void PlainShadePixels(const uint16_t* offsets, const uint32_t* shaded, const uint8_t* lightMap,
                      uint16_t lightOffset, uint32_t* dest, int count);
void PlainConvertTo15(const uint32_t* source, uint8_t* dest, int width, int height,
                      int32_t rowPadding);
void PlainConvertTo16(const uint32_t* source, uint8_t* dest, int width, int height,
                      int32_t rowPadding);
void PlainConvertTo24(const uint32_t* source, uint8_t* dest, int width, int height,
                      int32_t rowPadding);
void PlainConvertTo32(const uint32_t* source, uint8_t* dest, int width, int height,
                      int32_t rowPadding);
