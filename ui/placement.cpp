// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#include "placement.h"

#include <cmath>

namespace quorran {

namespace {

// How the window system turns a logical coordinate into device pixels: it
// scales and rounds halves up.
int scaled(int logical, double ratio) { return static_cast<int>(std::floor(logical * ratio + 0.5)); }

} // namespace

int twipsToLogical(int twips, double dpi, double ratio)
{
    if (!(ratio > 0.0))
        ratio = 1.0;
    const double device = twips * dpi * ratio / 1440.0;
    const auto low = static_cast<int>(std::floor(device / ratio));
    int best = low;
    double bestMiss = std::abs(scaled(low, ratio) - device);
    for (int candidate = low - 1; candidate <= low + 2; ++candidate) {
        const double miss = std::abs(scaled(candidate, ratio) - device);
        // A tie goes to the later pixel: halves round up.
        if (miss < bestMiss || (miss == bestMiss && candidate > best)) {
            best = candidate;
            bestMiss = miss;
        }
    }
    return best;
}

QRect twipsToPixels(const QRect &twips, double dpi, double ratio)
{
    const int left = twipsToLogical(twips.left(), dpi, ratio);
    const int top = twipsToLogical(twips.top(), dpi, ratio);
    const int right = twipsToLogical(twips.left() + twips.width(), dpi, ratio);
    const int bottom = twipsToLogical(twips.top() + twips.height(), dpi, ratio);
    return {left, top, right - left, bottom - top};
}

const Placement *findPlacement(std::string_view name)
{
    for (const Placement &placement : kPlacements) {
        if (placement.name == name)
            return &placement;
    }
    return nullptr;
}

QRect clientTwips(const Placement &placement)
{
    QRect rect(placement.left, placement.top, placement.width, placement.height);
    if (const Placement *container = findPlacement(placement.container))
        rect.translate(clientTwips(*container).topLeft());
    return rect;
}

QRect pixelGeometry(const Placement &placement, double dpi, double ratio)
{
    QRect rect = twipsToPixels(clientTwips(placement), dpi, ratio);
    if (const Placement *container = findPlacement(placement.container))
        rect.translate(-twipsToPixels(clientTwips(*container), dpi, ratio).topLeft());
    return rect;
}

QSize clientSize(double dpi, double ratio)
{
    return twipsToPixels(QRect(0, 0, kClientWidthTwips, kClientHeightTwips), dpi, ratio).size();
}

} // namespace quorran
