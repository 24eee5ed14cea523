// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// Wayland. Where the compositor draws title bars (KDE's kwin), Qt asks it to,
// and the window looks like the desktop's others. Elsewhere (GNOME's mutter,
// weston) Qt would draw its own title bar, with minimise and maximise boxes,
// so the window gets a frame with a title bar of its own instead (see
// TitleFrame), whose right-click asks the compositor for its window menu.
// Wayland has no taskbar hint. The window closes only between frames (see
// FrameWait).

#include "implementations.h"

#include <QEvent>
#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <wayland-client.h>

#include <chrono>

#include <cstdint>
#include <cstring>

#if defined(QUORRAN_HAVE_WAYLAND_MENU)
#include <QGuiApplication>
#include <QtGui/qpa/qplatformnativeinterface.h>
#endif

namespace quorran {

namespace {

// The compositor's globals, read on a short connection of the program's own:
// Qt keeps its registry to itself.
bool offersGlobal(const char *name)
{
    wl_display *display = wl_display_connect(nullptr);
    if (display == nullptr)
        return false;
    struct Search {
        const char *name;
        bool found;
    } search{name, false};
    static const wl_registry_listener listener = {
        [](void *data, wl_registry * /*registry*/, std::uint32_t /*id*/, const char *interface,
           std::uint32_t /*version*/) {
            auto *search = static_cast<Search *>(data);
            if (std::strcmp(interface, search->name) == 0)
                search->found = true;
        },
        [](void * /*data*/, wl_registry * /*registry*/, std::uint32_t /*id*/) {},
    };
    wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &search);
    wl_display_roundtrip(display);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return search.found;
}

// Qt 6.4's Wayland client crashes when a window's surface goes, as the window
// closes, while another thread of Qt's handles the compositor's word that a
// frame of the window is done: the frame's callback is freed twice, or the
// thread goes on with the window after it is deleted. So the window stops
// drawing, and closes after three update requests, each asked for once the
// one before has come. Qt delivers one when no frame is on its way, or when
// the last frame is done, while that thread may still hold the window; or
// early, left over from a frame before. Asking for the next one takes the
// lock that thread holds, so with no frame drawn since, the third comes once
// the thread has let go of the window. A compositor may hold back the frames
// of a window it does not show: then the wait ends after kMostWait.
class FrameWait : public QObject {
public:
    FrameWait(QWidget &widget, QWindow &window, std::function<void()> then)
        : QObject(&window), m_window(window), m_then(std::move(then))
    {
        widget.setUpdatesEnabled(false);
        window.installEventFilter(this);
        m_timeout.setSingleShot(true);
        connect(&m_timeout, &QTimer::timeout, this, &FrameWait::finish);
        m_timeout.start(kMostWait);
        window.requestUpdate();
    }

protected:
    bool eventFilter(QObject * /*watched*/, QEvent *event) override
    {
        if (event->type() != QEvent::UpdateRequest)
            return false;
        // Queued: Qt may deliver an update request holding the lock that
        // asking for one, and closing the window, take.
        if (++m_updates < kRounds)
            QTimer::singleShot(0, this, [this] { m_window.requestUpdate(); });
        else
            finish();
        return true;
    }

private:
    static constexpr std::chrono::milliseconds kMostWait{500};
    static constexpr int kRounds = 3;

    void finish()
    {
        if (m_finished)
            return;
        m_finished = true;
        m_window.removeEventFilter(this);
        m_timeout.stop();
        QTimer::singleShot(0, this, [this] {
            const std::function<void()> then = m_then;
            deleteLater();
            then();
        });
    }

    QWindow &m_window;
    std::function<void()> m_then;
    QTimer m_timeout;
    int m_updates = 0;
    bool m_finished = false;
};

class WaylandWindowSystem : public WindowSystem {
public:
    void setTaskbarHints(QWidget & /*window*/) const override {}

    bool drawsTitleBars() const override { return offersGlobal("zxdg_decoration_manager_v1"); }

    // The menu is asked for on Qt's own connection, whose objects only Qt's
    // platform interface hands out (qt6-base-private-dev); without it the
    // right-click does nothing.
    void showWindowMenu([[maybe_unused]] QWindow &window, [[maybe_unused]] QPoint point) const override
    {
#if defined(QUORRAN_HAVE_WAYLAND_MENU)
        QPlatformNativeInterface *native = QGuiApplication::platformNativeInterface();
        auto *toplevel = static_cast<wl_proxy *>(native->nativeResourceForWindow("xdg_toplevel", &window));
        auto *seat = static_cast<wl_proxy *>(native->nativeResourceForIntegration("wl_seat"));
        // The serial of the last input event: the press being handled.
        const auto serial =
            static_cast<std::uint32_t>(reinterpret_cast<quintptr>(native->nativeResourceForIntegration("serial")));
        if (toplevel == nullptr || seat == nullptr)
            return;
        // xdg_toplevel.show_window_menu(seat, serial, x, y), request 4 of the
        // stable xdg-shell protocol.
        constexpr std::uint32_t kShowWindowMenu = 4;
        wl_proxy_marshal_flags(toplevel, kShowWindowMenu, nullptr, wl_proxy_get_version(toplevel), 0, seat, serial,
                               point.x(), point.y());
#endif
    }

    void afterLastFrame(QWidget &window, const std::function<void()> &then) const override
    {
        if (window.isVisible() && window.windowHandle() != nullptr)
            new FrameWait(window, *window.windowHandle(), then); // owned by the window, deletes itself when done
        else
            then();
    }
};

} // namespace

std::unique_ptr<WindowSystem> makeWaylandWindowSystem() { return std::make_unique<WaylandWindowSystem>(); }

} // namespace quorran
