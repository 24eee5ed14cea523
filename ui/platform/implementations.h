// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// The window systems the build has; each is defined in its own file, which
// the build compiles only where the window system's library is found (the
// fallback always).

#include "platform.h"

namespace quorran {

std::unique_ptr<WindowSystem> makeX11WindowSystem();
std::unique_ptr<WindowSystem> makeWaylandWindowSystem();
std::unique_ptr<WindowSystem> makeFallbackWindowSystem();

} // namespace quorran
