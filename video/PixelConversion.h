// Conversion of 32-bit frame pixels (little-endian 0xTTRRGGBB) into the display's
// formats, over plain memory: width x height source pixels with no gap between rows,
// written row by row to dest, skipping rowPadding bytes after each converted row.
#pragma once

#include <cstdint>

void ConvertTo15(const uint32_t* source, uint8_t* dest, int width, int height, int32_t rowPadding);
void ConvertTo16(const uint32_t* source, uint8_t* dest, int width, int height, int32_t rowPadding);
void ConvertTo24(const uint32_t* source, uint8_t* dest, int width, int height, int32_t rowPadding);
void ConvertTo32(const uint32_t* source, uint8_t* dest, int width, int height, int32_t rowPadding);
