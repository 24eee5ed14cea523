// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// The window system is asked for as little as the window needs, through the
// running platform's WindowSystem: taskbar hints on the still unmapped
// window, and whether it draws the title bar; where it does not, the window
// gets a frame with a title bar of its own (see TitleFrame). After show() the
// window asks to be activated on X11, which Qt sends once the window is
// mapped. On Windows a hidden owner keeps the window out of the taskbar.
// That window is then not the application's primary window, so Qt would not
// end the program when it closes; the close event does that here on every
// platform, once the window system lets the window close. A window manager
// that maximises the window, makes it full screen or gives it another size
// anyway is asked to put it back to its normal state and its fixed size.

#include "toplevel.h"

#include "platform.h"
#include "titleframe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace quorran {

namespace {

constexpr Qt::WindowStates kNotFixed = Qt::WindowMaximized | Qt::WindowFullScreen;

} // namespace

TaskbarMethod nativeTaskbarMethod()
{
    return runningPlatform() == Platform::Windows ? TaskbarMethod::HiddenOwner : TaskbarMethod::WindowState;
}

TopLevel::TopLevel(std::unique_ptr<QWidget> window, TaskbarMethod method)
    : m_system(makeWindowSystem()), m_window(std::move(window))
{
    if (method == TaskbarMethod::HiddenOwner) {
        m_owner = std::make_unique<QWidget>();
        m_owner->setObjectName(QStringLiteral("owner"));
        m_window->setParent(m_owner.get(), m_window->windowFlags());
    } else if (!m_system->drawsTitleBars()) {
        m_frame = std::make_unique<TitleFrame>(m_window.get());
        connect(m_frame.get(), &TitleFrame::windowMenuRequested, this, [this](QPoint point) {
            if (m_frame->windowHandle() != nullptr)
                m_system->showWindowMenu(*m_frame->windowHandle(), point);
        });
    }
    outer().installEventFilter(this);
}

TopLevel::~TopLevel()
{
    // The window may be a child of the frame or the owner: it goes first,
    // and without this filter, which would look at it on its way out.
    outer().removeEventFilter(this);
    m_window.reset();
}

QWidget &TopLevel::outer() const { return m_frame ? *m_frame : *m_window; }

void TopLevel::show()
{
    QWidget &top = outer();
    if (m_owner == nullptr)
        m_system->setTaskbarHints(top);
    top.show();
    // Not every window manager gives a new window the focus by itself.
    if (runningPlatform() == Platform::X11) {
        top.activateWindow();
        top.raise();
    }
}

bool TopLevel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &outer()) {
        if (event->type() == QEvent::Close) {
            // Closed by the program, once the window system lets it.
            event->ignore();
            m_system->afterLastFrame(outer(), [this] {
                outer().hide();
                QCoreApplication::quit();
            });
            return true;
        } else if (event->type() == QEvent::WindowStateChange && (outer().windowState() & kNotFixed) != 0) {
            // Queued: the state change is still being delivered.
            QTimer::singleShot(0, this, [this] { outer().setWindowState(outer().windowState() & ~kNotFixed); });
        } else if (event->type() == QEvent::Resize && outer().size() != outer().minimumSize() &&
                   outer().minimumSize() == outer().maximumSize()) {
            // Some managers pass on any size another program asks for.
            QTimer::singleShot(0, this, [this] { outer().resize(outer().minimumSize()); });
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quorran
