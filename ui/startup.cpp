// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// The display check runs before Qt, which without a display ends the process
// with a dozen lines about plugins; it reads the platform and display as Qt
// will, and asks an X server whether it answers. The teardown watch is a
// thread that waits for the application object's end for a while.

#include "startup.h"

#include "platform.h"

#include <QtGlobal>

#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string_view>

#if defined(QUORRAN_HAVE_XCB)
#include <xcb/xcb.h>
#endif

namespace quorran {

namespace {

// Far longer than the teardown takes, short enough not to be noticed.
constexpr std::chrono::seconds kTeardownGrace{2};

} // namespace

void TeardownWatch::arm(int status)
{
    if (runningPlatform() != Platform::Wayland)
        return;
    // Qt 6.4's Wayland client can wait for good in the destructor of its
    // display, called from QApplication's: it waits for its event thread,
    // which may sit in wl_display_read_events for a read that never comes.
    // The window is deleted before that, so it closes, but the process would
    // stay. The teardown still runs, so that the sanitizer build checks for
    // leaks after it as on every other platform (ended before it, the process
    // would leave alive what Qt frees there, partly out of the leak checker's
    // reach); it is cut short only when it takes far longer than it ever does.
    m_thread = std::jthread([status](const std::stop_token &stop) {
        std::mutex mutex;
        std::condition_variable_any finished;
        std::unique_lock lock(mutex);
        if (!finished.wait_for(lock, stop, kTeardownGrace, [&stop] { return stop.stop_requested(); }))
            std::_Exit(status);
    });
}

std::optional<std::string> missingDisplay([[maybe_unused]] int argc, [[maybe_unused]] const char *const *argv)
{
#if !defined(Q_OS_UNIX) || defined(Q_OS_DARWIN)
    // Windows and macOS always have their own window system.
    return std::nullopt;
#else
    const auto variable = [](const char *name) -> std::string_view {
        const char *value = std::getenv(name);
        return value != nullptr ? value : "";
    };
    std::string_view display = qtArgument(argc, argv, "display");
    if (display.empty())
        display = variable("DISPLAY");
    const std::string_view wayland = variable("WAYLAND_DISPLAY");
    std::string howTo = "; run it on a desktop, or on a virtual display: xvfb-run -a quorran";
    // Started by its path (from the build folder, say), the same from here.
    if (argc > 0 && std::string_view(argv[0]).find('/') != std::string_view::npos)
        howTo += std::string(" (from here: xvfb-run -a ") + argv[0] + ')';
    howTo += ", which Debian's package xvfb installs";

    const std::string_view platform = startingPlatformName(argc, argv);
    switch (platformFamily(platform)) {
    case Platform::Wayland: {
        // The compositor's socket, as the Wayland client library finds it.
        const std::string socket(wayland.empty() ? "wayland-0" : wayland);
        const std::string path =
            socket.starts_with('/') ? socket : std::string(variable("XDG_RUNTIME_DIR")) + '/' + socket;
        if (!std::filesystem::exists(path))
            return "Quorran finds no Wayland compositor at " + path + howTo;
        return std::nullopt;
    }
    case Platform::X11:
        break;
    default:
        return std::nullopt;
    }
    if (display.empty() && wayland.empty())
        return "Quorran needs a display and none is set (DISPLAY and WAYLAND_DISPLAY are empty)" + howTo;
    if (display.empty())
        return "Quorran needs DISPLAY for X11; to use the Wayland compositor, set QT_QPA_PLATFORM=wayland";
#if defined(QUORRAN_HAVE_XCB)
    const std::string displayName(display);
    xcb_connection_t *probe = xcb_connect(displayName.c_str(), nullptr);
    const bool reachable = xcb_connection_has_error(probe) == 0;
    xcb_disconnect(probe);
    if (!reachable)
        return "Quorran cannot open the X display " + displayName + howTo;
#endif
    return std::nullopt;
#endif
}

} // namespace quorran
