// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// The command-line mode answers first, with the standard library alone;
// any other arguments start the window.

#include "commandline.h"
#include "startwindow.h"

int main(int argc, char *argv[])
{
    if (const auto status = quorran::cli::run(argc, argv))
        return *status;
    return quorran::startWindow(argc, argv);
}
