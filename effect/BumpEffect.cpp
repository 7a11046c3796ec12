// Start and end of the effect: the working buffers and the tables they are built from.
#include "BumpEffect.h"

#include "Heap.h"

const uint8_t* SelectedLightMap = nullptr;
const uint8_t* SelectedHeightMap = nullptr;
uint32_t* ShadedImage = nullptr;
uint16_t* BumpOffsets = nullptr;

void InitBumpEffect() {
    // AllocateMemory ends the program (exit code 203) when memory runs out.
    BumpOffsets = static_cast<uint16_t*>(AllocateMemory(EffectPixels * sizeof(uint16_t)));
    ShadedImage = static_cast<uint32_t*>(AllocateMemory(EffectPixels * sizeof(uint32_t)));
    SelectLightMap();
    PrepareSourceImage();
    ComputeBumpOffsets();
}

void ReleaseBumpEffect() {
    FreeMemory(BumpOffsets);
    BumpOffsets = nullptr;
    FreeMemory(ShadedImage);
    ShadedImage = nullptr;
}

void SelectLightMap() {
    SelectedLightMap = LightMap;
}

void PrepareSourceImage() {
    SelectedHeightMap = HeightMap;
    ConvertPicture(SourceImage, ShadedImage, EffectPixels);
}

void ConvertPicture(const uint8_t* source, uint32_t* dest, int count) {
    for (int k = 0; k < count; ++k) {
        const uint8_t* stored = source + 4 * k;
        // Red and blue change places; green and the fourth byte stay.
        dest[k] = uint32_t{stored[3]} << 24 | uint32_t{stored[0]} << 16 | uint32_t{stored[1]} << 8 |
                  uint32_t{stored[2]};
    }
}
