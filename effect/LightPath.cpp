// The light's figure-eight path: a light position for every animation time.
#include "BumpEffect.h"

#include <cmath>
#include <numbers>

namespace {

constexpr int32_t PhasePeriod = 90;     // frames of one round of the path
constexpr double DegreesPerYStep = 4.0; // one cosine cycle per period
constexpr double DegreesPerXStep = 8.0; // two sine cycles per period
constexpr double AmplitudeY = 25.0;
constexpr int32_t CentreY = 80;
constexpr double AmplitudeX = 40.0;
constexpr int32_t CentreX = 50;
constexpr double DegreesInHalfTurn = 180.0;

// Nearest integer, halves to the even neighbour (the default rounding mode).
int32_t RoundToInt(double value) {
    return static_cast<int32_t>(std::nearbyint(value));
}

} // namespace

int32_t LightPhase = 0;
int32_t LightX = 0;
int32_t LightY = 0;

double DegToRad(double degrees) {
    return degrees * (std::numbers::pi / DegreesInHalfTurn);
}

void RenderBumpFrame(int32_t animationTime) {
    // A phase of 0 to 89 even for negative times, so that times 90 apart always give the
    // same angles and therefore the same frame.
    LightPhase = animationTime % PhasePeriod;
    if (LightPhase < 0)
        LightPhase += PhasePeriod;
    LightY = RoundToInt(AmplitudeY * std::cos(DegToRad(DegreesPerYStep * LightPhase))) + CentreY;
    LightX = RoundToInt(AmplitudeX * std::sin(DegToRad(DegreesPerXStep * LightPhase))) + CentreX;
    ShadeFrame(LightX, LightY);
}
