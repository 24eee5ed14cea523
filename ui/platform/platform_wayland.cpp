// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// Wayland. Where the compositor draws title bars (KDE's kwin), Qt asks it to,
// and the window looks like the desktop's others. Elsewhere (GNOME's mutter,
// weston) Qt would draw its own title bar, with minimise and maximise boxes,
// so the window gets a frame with a title bar of its own instead (see
// TitleFrame), whose right-click asks the compositor for its window menu.
// Wayland has no taskbar hint.

#include "implementations.h"

#include <QPoint>
#include <wayland-client.h>

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
};

} // namespace

std::unique_ptr<WindowSystem> makeWaylandWindowSystem() { return std::make_unique<WaylandWindowSystem>(); }

} // namespace quorran
