// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#include "scaling.h"

#include <QByteArray>
#include <QFont>

#include <cmath>

namespace quorran {

namespace {

// Below this text becomes unreadable, above it the window outgrows any screen.
constexpr double kSmallestScale = 0.25;
constexpr double kLargestScale = 16.0;

} // namespace

double takeOverScaling()
{
    // Per-screen factors enlarge the window only while Qt scales (without
    // its scaling Qt lowers each screen's DPI by the screen's factor), so
    // where they are given Qt keeps its scaling.
    if (qEnvironmentVariableIsSet("QT_ENABLE_HIGHDPI_SCALING") ||
        !qEnvironmentVariableIsEmpty("QT_SCREEN_SCALE_FACTORS"))
        return 1.0;
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");

    if (!qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
        return 1.0;
    bool ok = false;
    const double factor = qgetenv("QT_SCALE_FACTOR").toDouble(&ok);
    if (!ok || !std::isfinite(factor) || factor < kSmallestScale || factor > kLargestScale)
        return 1.0;
    qunsetenv("QT_SCALE_FACTOR");
    return factor;
}

QFont scaledFont(const QFont &font, double scale)
{
    QFont scaled = font;
    if (scaled.pointSizeF() > 0)
        scaled.setPointSizeF(scaled.pointSizeF() * scale);
    else if (scaled.pixelSize() > 0)
        scaled.setPixelSize(static_cast<int>(std::lround(scaled.pixelSize() * scale)));
    return scaled;
}

} // namespace quorran
