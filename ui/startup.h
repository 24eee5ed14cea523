// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// What the program does around the application object's life: before it, a
// check that the window has somewhere to go; after the event loop, a watch
// that ends the process should Qt's teardown hang.

#include <optional>
#include <string>
#include <thread>

namespace quorran {

// Before QApplication exists: a one-line message saying what is missing when
// the window has nowhere to go (the X11 platform without a display, a
// Wayland platform without a compositor), or nothing when the program can
// start. Other platforms are not looked at.
std::optional<std::string> missingDisplay(int argc, const char *const *argv);

// Ends the process with the program's status should QApplication's teardown
// hang on Wayland. Made before the application object, so that it goes after
// it; armed once the event loop has returned.
class TeardownWatch {
public:
    void arm(int status);

private:
    std::jthread m_thread; // stopped and joined when the watch goes
};

} // namespace quorran
