// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// Where the window is linked into the program (Windows): a plain call.

#include "startwindow.h"

#include "windowmain.h"

namespace quorran {

int startWindow(int argc, char **argv) { return quorran_window_main(argc, argv); }

} // namespace quorran
