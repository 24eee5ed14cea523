// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// How the one window meets the desktop: kept out of the taskbar, given the
// keyboard focus when it opens, held at its fixed size, and the program ends
// when it is closed.

#include <QObject>

#include <memory>
#include <optional>
#include <string>
#include <thread>

class QWidget;

namespace quorran {

class TitleFrame;

enum class TaskbarMethod {
    WindowState, // X11: _NET_WM_STATE_SKIP_TASKBAR where Alt+Tab still reaches the window (nothing elsewhere)
    HiddenOwner, // Windows: a window with a hidden owner gets no taskbar button
};

// The method of the platform the program was built for.
TaskbarMethod nativeTaskbarMethod();

// Owns the window and whatever keeps it out of the taskbar; the window goes
// before its owner, so neither is deleted twice.
class TopLevel : public QObject {
    Q_OBJECT
public:
    TopLevel(std::unique_ptr<QWidget> window, TaskbarMethod method);
    ~TopLevel() override;
    TopLevel(const TopLevel &) = delete;
    TopLevel &operator=(const TopLevel &) = delete;

    QWidget &window() const { return *m_window; }
    // The widget the window system sees: the window, or the frame around it
    // where the program draws its own title bar.
    QWidget &outer() const;
    // The owner that hides the window from the taskbar, if there is one.
    QWidget *owner() const { return m_owner.get(); }

    void show();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::unique_ptr<QWidget> m_owner;
    std::unique_ptr<TitleFrame> m_frame;
    std::unique_ptr<QWidget> m_window;
};

// On Wayland: whether the compositor offers to draw the title bars of its
// windows (zxdg_decoration_manager_v1). Where it does not, the program draws
// its own. False on other platforms.
bool compositorDrawsTitleBars();

// Ends the process with the program's status should QApplication's teardown
// hang on Wayland. Made before the application object, so that it goes after
// it; armed once the event loop has returned.
class TeardownWatch {
public:
    void arm(int status);

private:
    std::jthread m_thread; // stopped and joined when the watch goes
};

// Before QApplication exists: a one-line message saying what is missing when
// the window has nowhere to go (the X11 platform without a display), or
// nothing when the program can start. Only X11 and Wayland are looked at.
std::optional<std::string> missingDisplay(int argc, const char *const *argv);

} // namespace quorran
