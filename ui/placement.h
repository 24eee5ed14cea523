// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// Where every control of the window stands, in twips (1/1440 inch) as the
// layout was drawn, and the one rule that turns twips into pixels: every edge
// is placed on the device pixel nearest to it (twips x logical DPI x device
// pixel ratio / 1440) and expressed in the logical coordinates widgets use.

#include <QRect>

#include <array>
#include <string_view>

namespace quorran {

struct Placement {
    std::string_view name;
    std::string_view container; // empty: the window's client area
    int left;
    int top;
    int width;
    int height;
    int tabIndex;
};

inline constexpr int kClientWidthTwips = 4342;
inline constexpr int kClientHeightTwips = 5317;

// A control inside a frame is placed from the frame's outer top-left corner.
inline constexpr std::array<Placement, 13> kPlacements{{
    {"SSPanel1", "", 0, 0, 4342, 598, 0},
    {"SSFrame1", "", 117, 702, 4108, 949, 1},
    {"dom", "SSFrame1", 117, 351, 1183, 312, 7},
    {"area", "SSFrame1", 1404, 351, 1183, 312, 8},
    {"port", "SSFrame1", 2691, 351, 1183, 312, 9},
    {"Frame1", "", 117, 1755, 2236, 949, 2},
    {"addr", "Frame1", 117, 351, 2002, 312, 10},
    {"SSCommand1", "", 2457, 1872, 1768, 364, 3},
    {"SSCommand2", "", 2457, 2340, 1768, 364, 4},
    {"errorMsg", "", 117, 2808, 4108, 1768, 5},
    {"errorbox", "errorMsg", 117, 351, 3874, 1222, 6},
    {"SSPanel2", "", 117, 4797, 2587, 364, 12},
    {"SSCommand3", "", 3042, 4797, 1066, 364, 11},
}};

// The logical coordinate of a position in twips, at `dpi` logical dots per
// inch and `ratio` device pixels to the logical pixel: the one whose device
// pixel comes nearest to twips x dpi x ratio / 1440. At a fractional ratio
// not every device pixel has a whole logical coordinate; the edge then lands
// on the nearest one that has.
int twipsToLogical(int twips, double dpi, double ratio);

// A rectangle in twips as logical pixels, each edge placed on its own so that
// controls whose edges meet in twips still meet on the screen.
QRect twipsToPixels(const QRect &twips, double dpi, double ratio = 1.0);

// The placement's rectangle in twips from the client area's top-left corner.
QRect clientTwips(const Placement &placement);

// The placement's rectangle in logical pixels within its container.
QRect pixelGeometry(const Placement &placement, double dpi, double ratio = 1.0);

// The client area's size in logical pixels.
QSize clientSize(double dpi, double ratio = 1.0);

const Placement *findPlacement(std::string_view name);

} // namespace quorran
