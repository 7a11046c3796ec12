// The bump-mapping effect: a picture lit by a light spot moving on a figure-eight, with
// the relief of a height field catching the light.
#pragma once

#include <cstdint>

// Stored tables, compiled into the program.
extern const uint8_t SourceImage[320 * 200 * 4]; // red, green, blue, 255 per pixel
extern const uint8_t HeightMap[320 * 200];
extern const uint8_t LightMap[256 * 256];

// Working buffers, from InitBumpEffect to ReleaseBumpEffect.
extern uint32_t* ShadedImage;
extern uint16_t* BumpOffsets;

void InitBumpEffect();
void ReleaseBumpEffect();
void SelectLightMap();
void PrepareSourceImage();
void ComputeBumpOffsets();

void RenderBumpFrame(int32_t animationTime); // fills FrameBuffer
void ShadeFrame(int lightX, int lightY);
double DegToRad(double degrees);
