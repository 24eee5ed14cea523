// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// The command-line mode: the window's two conversions for scripts and shells
// without a display. It starts only when one of its own options is given, so
// that every other argument, Qt's among them, still opens the window.

#include <optional>

namespace quorran::cli {

// Runs the command-line mode when the arguments ask for it and returns the
// exit status; std::nullopt when they do not, and the window is to start.
std::optional<int> run(int argc, char **argv);

} // namespace quorran::cli
