// Where the traffic light's parts lie, computed from the rectangle of the
// hidden frame control that marks its area. Pure, so it can be tested
// without a window.
#pragma once

#include <cstdint>

struct StatusRect {
    int32_t left, top, right, bottom;
};

struct StatusGeometry {
    StatusRect housing, red, yellow, green, pole, plate;
    int32_t cornerWidth, cornerHeight;
};

// The integer divisions are deliberate and must stay in this form:
// W / 2 + W / 2 need not equal W.
StatusGeometry ComputeStatusGeometry(int32_t left, int32_t top, int32_t right, int32_t bottom);

enum class LitLamp { None, Red, Yellow, Green };
// At most one lamp is lit; which one the verdict on the analysis decides
// (LampOfVerdict).
