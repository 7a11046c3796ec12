// The bump-mapping effect: a picture lit by a light spot moving on a figure-eight, with
// the relief of a height field catching the light.
#pragma once

#include <cstdint>

constexpr int EffectWidth = 320;
constexpr int EffectHeight = 200;
constexpr int EffectPixels = EffectWidth * EffectHeight;
constexpr int LightMapSize = 256; // cells per side; a cell index is 256 * row + column

// Stored tables, compiled into the program from effect/assets.
extern const uint8_t SourceImage[EffectPixels * 4]; // red, green, blue, 255 per pixel
extern const uint8_t HeightMap[EffectPixels];
extern const uint8_t LightMap[LightMapSize * LightMapSize];

// Effect state: the tables in use and the working buffers, which exist from
// InitBumpEffect to ReleaseBumpEffect.
extern const uint8_t* SelectedLightMap;
extern const uint8_t* SelectedHeightMap;
extern uint32_t* ShadedImage; // SourceImage in FrameBuffer's pixel layout
extern uint16_t* BumpOffsets; // per pixel, the light-map cell it reads with the light at 0

// The light position of the last frame RenderBumpFrame drew.
extern int32_t LightPhase; // 0 to 89
extern int32_t LightX;     // light-map column shift, 10 to 90
extern int32_t LightY;     // light-map row shift, 55 to 105

void InitBumpEffect();
void ReleaseBumpEffect();
void SelectLightMap();
void PrepareSourceImage(); // selects HeightMap, fills ShadedImage
void ComputeBumpOffsets(); // fills BumpOffsets from the selected height field

void RenderBumpFrame(int32_t animationTime); // fills FrameBuffer
void ShadeFrame(int lightX, int lightY);     // only the low 8 bits of each are used
double DegToRad(double degrees);

// Stored pixels (red, green, blue, fourth byte) to 32-bit pixels 0xAARRGGBB.
void ConvertPicture(const uint8_t* source, uint32_t* dest, int count);

// The shading pass over plain memory: for each pixel k, the light-map cell
// (offsets[k] + lightOffset) mod 65536 is added to each colour channel of shaded[k],
// clamped at 255; the top byte is kept.
void ShadePixels(const uint16_t* offsets, const uint32_t* shaded, const uint8_t* lightMap,
                 uint16_t lightOffset, uint32_t* dest, int count);
