#include "wizard/status_geometry.h"

StatusGeometry ComputeStatusGeometry(int32_t L, int32_t T, int32_t R, int32_t B) {
    const int32_t W = R - L;
    const int32_t H = B - T;
    const int32_t g = H / 20;
    const int32_t lampLeft = L + W / 4;
    const int32_t lampRight = R - W / 4;
    const int32_t bh = T + 4 * g + (3 * W) / 2;

    StatusGeometry s{};
    s.red = {lampLeft, T + g, lampRight, T + g + W / 2};
    s.yellow = {lampLeft, T + 2 * g + W / 2, lampRight, T + 2 * g + W};
    s.green = {lampLeft, T + 3 * g + 2 * (W / 2), lampRight, T + 3 * g + (3 * W) / 2};
    s.housing = {L, T, R, bh};
    s.pole = {L + W / 3, bh - 10, R - W / 3, B + 20};
    s.plate = {L + W / 3, bh + 10, R - W / 3, bh + 10 + (B - bh) / 2};
    s.cornerWidth = 2 * (W / 3);
    s.cornerHeight = 2 * (W / 3);
    return s;
}
