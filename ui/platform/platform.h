// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// Which window system the program runs on, and the little it asks of it:
// taskbar hints, whether the title bar is drawn for the window, the window
// menu, and when the window may close. Each window system answers in a file
// of its own (x11, wayland, and a fallback for every other one, Windows
// among them); the build compiles those whose libraries it finds, and
// makeWindowSystem picks the one for the running platform.

#include <functional>
#include <memory>
#include <string_view>

class QPoint;
class QWidget;
class QWindow;

namespace quorran {

enum class Platform { X11, Wayland, Windows, Other };

// The family of a Qt platform plugin, by its name as -platform or
// QT_QPA_PLATFORM give it: every Wayland plugin (wayland, wayland-egl,
// wayland-brcm, ...) is Wayland. Options after a colon ("xcb:nograb") are
// not part of the name.
Platform platformFamily(std::string_view name);

// Once the application object exists: the family of the plugin Qt loaded.
Platform runningPlatform();

// The value of Qt's command-line argument `-name value` or `--name value`
// (the last one given), or an empty view.
std::string_view qtArgument(int argc, const char *const *argv, std::string_view name);

// Before the application object exists: the plugin Qt will load, as its
// name (with any options) from -platform or QT_QPA_PLATFORM, or, where none
// is named, the one Qt itself picks on Linux: Wayland's in a Wayland
// session, X11's elsewhere.
std::string_view startingPlatformName(int argc, const char *const *argv);

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // Put on the still unmapped window, since a window manager reads what
    // a window says about itself when it is mapped.
    virtual void setTaskbarHints(QWidget &window) const = 0;
    // Whether the window system draws the window's title bar; where it does
    // not, the program draws one of its own rather than Qt's.
    virtual bool drawsTitleBars() const = 0;
    // Asks for the window system's window menu at `point` (in the window),
    // for the mouse press being handled.
    virtual void showWindowMenu(QWindow &window, QPoint point) const = 0;
    // Runs `then` (which closes the window) once no frame the window drew is
    // on its way to the window system any more; at once where that does not
    // matter.
    virtual void afterLastFrame(QWidget & /*window*/, const std::function<void()> &then) const { then(); }

protected:
    WindowSystem() = default;
    WindowSystem(const WindowSystem &) = default;
    WindowSystem &operator=(const WindowSystem &) = default;
};

// The window system of the running platform.
std::unique_ptr<WindowSystem> makeWindowSystem();

} // namespace quorran
