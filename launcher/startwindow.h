// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// Starts the window from the program's main. Where the window is a module of
// its own, it is loaded here, so that the command-line mode, which runs
// before, never maps Qt's libraries.

namespace quorran {

// Runs the window with the program's arguments and returns its exit status;
// when its module cannot be loaded, says so on standard error and returns 1.
int startWindow(int argc, char **argv);

} // namespace quorran
