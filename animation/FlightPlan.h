// The launch sprite's flight: where it is after each move and how long it waits there.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/Classes.h"

constexpr int kSpriteSize = 64;
constexpr int kMaxFlightSteps = 2001;

struct TFlightStep {
    int Top;      // the sprite's top edge after the move
    int32_t Wait; // milliseconds waited there; 0 on the move that leaves the screen
};

// Speeds below 1 fly as 1: no division by zero, no endless flight.
inline int32_t FlightSpeed(int32_t speed) { return speed < 1 ? 1 : speed; }

// The sprite's side as drawn at dpi.
inline int SpriteSize(int dpi = 96) { return ScaleForDpi(kSpriteSize, dpi); }
inline int FlightStartTop(int screenHeight, int dpi = 96) { return screenHeight - SpriteSize(dpi); }
inline int FlightLeft(int screenWidth) { return screenWidth / 2; }

// Every move of a flight up a screen of the given height. At another DPI the sprite and each move
// are that much larger and the waits the same: a screen of so many more pixels is flown in as
// many moves, in the same time.
inline std::vector<TFlightStep> FlightPlan(int screenHeight, int32_t speed, int dpi = 96) {
    speed = FlightSpeed(speed);
    std::vector<TFlightStep> steps;
    int64_t top = FlightStartTop(screenHeight, dpi);
    int64_t step = ((3 * static_cast<int64_t>(speed) + 15) * dpi + 48) / 96;  // rounded as lengths are
    int32_t d = 2000 / speed;
    for (int i = 0; i < kMaxFlightSteps; ++i) {
        top -= step;
        if (top < -SpriteSize(dpi)) {
            steps.push_back({static_cast<int>(top), 0});
            break;
        }
        d = (2 * d) / 3 + 50;
        steps.push_back({static_cast<int>(top), d});
    }
    return steps;
}
