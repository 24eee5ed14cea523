// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// The window's own main: everything from the display check to the end of the
// event loop. The program calls it once its command-line mode has declined
// the arguments; on Linux it sits in a module of its own, loaded only then,
// so that a conversion in a shell never loads Qt.

extern "C" int quorran_window_main(int argc, char **argv);
