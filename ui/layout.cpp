#include "layout.h"

#include <cmath>

namespace quorran {

int twipsToPixels(int twips, double dpi) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }

QRect twipsToPixels(const QRect &twips, double dpi)
{
    const int left = twipsToPixels(twips.left(), dpi);
    const int top = twipsToPixels(twips.top(), dpi);
    const int right = twipsToPixels(twips.left() + twips.width(), dpi);
    const int bottom = twipsToPixels(twips.top() + twips.height(), dpi);
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

QRect pixelGeometry(const Placement &placement, double dpi)
{
    QRect rect = twipsToPixels(clientTwips(placement), dpi);
    if (const Placement *container = findPlacement(placement.container))
        rect.translate(-twipsToPixels(clientTwips(*container), dpi).topLeft());
    return rect;
}

} // namespace quorran
