// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// Every other window system (Windows, macOS, offscreen, and X11 or Wayland
// where the build did not find their libraries): asked for nothing. It draws
// the title bar with its menu, but for a Wayland compositor, which cannot be
// asked here and is taken to leave the bar to the program. On Windows the
// taskbar is kept off by the window's hidden owner (see TopLevel), which
// needs nothing of the platform.

#include "implementations.h"

#include <QPoint>

namespace quorran {

namespace {

class FallbackWindowSystem : public WindowSystem {
public:
    void setTaskbarHints(QWidget & /*window*/) const override {}
    bool drawsTitleBars() const override { return runningPlatform() != Platform::Wayland; }
    void showWindowMenu(QWindow & /*window*/, QPoint /*point*/) const override {}
};

} // namespace

std::unique_ptr<WindowSystem> makeFallbackWindowSystem() { return std::make_unique<FallbackWindowSystem>(); }

} // namespace quorran
