// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// Qt scales a window by spreading each logical pixel over `ratio` device
// pixels. At a fractional ratio not every device pixel starts a logical one
// (at 1.25 one in five does not, at 2 no odd one does), so an edge placed
// from twips could miss its pixel by one. The program therefore asks Qt for
// one logical pixel per device pixel and scales its window through the dots
// per inch instead: the screen's own, which a desktop's scale setting
// (Xft.dpi, QT_FONT_DPI, Windows' display scale) raises, times the global
// factor it takes over from QT_SCALE_FACTOR.
//
// QT_ENABLE_HIGHDPI_SCALING=1 gives Qt its own scaling back, QT_SCALE_FACTOR
// included; so do per-screen factors in QT_SCREEN_SCALE_FACTORS. A ratio the
// platform itself imposes (a Wayland compositor's buffer scale, a Retina
// screen) remains; the layout then puts each edge on the nearest device
// pixel a logical coordinate reaches.

class QFont;

namespace quorran {

// Before the application object exists. Returns the scale factor taken over
// from QT_SCALE_FACTOR (0.25 to 16; other values are left to Qt), or 1.
double takeOverScaling();

// A font `scale` times larger, for what Qt draws on its own (menus, tips).
QFont scaledFont(const QFont &font, double scale);

} // namespace quorran
