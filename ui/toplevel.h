// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// How the one window meets the desktop: kept out of the taskbar, given the
// keyboard focus when it opens, held at its fixed size, and the program ends
// when it is closed.

#include <QObject>

#include <memory>

class QWidget;

namespace quorran {

class TitleFrame;
class WindowSystem;

enum class TaskbarMethod {
    WindowState, // X11: _NET_WM_STATE_SKIP_TASKBAR where Alt+Tab still reaches the window (nothing elsewhere)
    HiddenOwner, // Windows: a window with a hidden owner gets no taskbar button
};

// The method of the running platform.
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
    std::unique_ptr<WindowSystem> m_system;
    std::unique_ptr<QWidget> m_owner;
    std::unique_ptr<TitleFrame> m_frame;
    std::unique_ptr<QWidget> m_window;
};

} // namespace quorran
