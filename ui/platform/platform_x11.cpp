// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// X11, through xcb on Qt's connection. _NET_WM_STATE_SKIP_TASKBAR is put on
// the still unmapped native window (Qt keeps atoms it does not manage when it
// sets its own states). Some managers also leave such a window out of
// Alt+Tab, and with no taskbar entry nothing would bring it back once
// covered; so the running manager is asked its name, and the window adds
// what keeps it in that manager's switcher, or stays listed where nothing
// does (see hintsFor). The window manager draws the title bar and its menu.

#include "implementations.h"

#include <QGuiApplication>
#include <QPoint>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace quorran {

namespace {

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply); // NOLINT(cppcoreguidelines-no-malloc): xcb allocates replies with malloc
    return atom;
}

// The reply to a request, freed as xcb wants (it allocates replies with malloc).
struct FreeReply {
    void operator()(void *reply) const { std::free(reply); } // NOLINT(cppcoreguidelines-no-malloc)
};
template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, FreeReply>;

ReplyPtr<xcb_get_property_reply_t> property(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t name,
                                            xcb_atom_t type)
{
    const xcb_get_property_cookie_t cookie = xcb_get_property(connection, 0, window, name, type, 0, 256);
    return ReplyPtr<xcb_get_property_reply_t>(xcb_get_property_reply(connection, cookie, nullptr));
}

xcb_window_t windowProperty(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t name)
{
    const auto reply = property(connection, window, name, XCB_ATOM_WINDOW);
    if (reply == nullptr || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
        return XCB_WINDOW_NONE;
    return *static_cast<const xcb_window_t *>(xcb_get_property_value(reply.get()));
}

// The name the running window manager gives itself (_NET_WM_NAME on its
// _NET_SUPPORTING_WM_CHECK window), or an empty string without one.
std::string managerName(xcb_connection_t *connection, xcb_window_t window)
{
    const ReplyPtr<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr));
    if (tree == nullptr)
        return {};
    const xcb_atom_t check = internAtom(connection, "_NET_SUPPORTING_WM_CHECK");
    const xcb_window_t wm = windowProperty(connection, tree->root, check);
    // A manager that has gone may leave the root window's property behind;
    // the window it names then no longer names itself.
    if (wm == XCB_WINDOW_NONE || windowProperty(connection, wm, check) != wm)
        return {};
    const auto name =
        property(connection, wm, internAtom(connection, "_NET_WM_NAME"), internAtom(connection, "UTF8_STRING"));
    if (name == nullptr || name->format != 8)
        return {};
    return {static_cast<const char *>(xcb_get_property_value(name.get())),
            static_cast<std::size_t>(xcb_get_property_value_length(name.get()))};
}

// What keeps the window out of the taskbar without taking it out of the
// manager's window switcher (Alt+Tab), as each manager was found to treat it.
struct SwitcherSafeHints {
    bool skipTaskbar = true;
    bool dialogType = false;
    bool modal = false;
};

SwitcherSafeHints hintsFor(std::string_view manager)
{
    // Openbox cycles through windows that skip the taskbar unless their type
    // is the ordinary one.
    if (manager == "Openbox")
        return {.skipTaskbar = true, .dialogType = true, .modal = false};
    // Xfwm4 cycles through them only when they are modal dialogs (of the
    // group Qt gives every window).
    if (manager == "Xfwm4")
        return {.skipTaskbar = true, .dialogType = true, .modal = true};
    // Mutter (and GNOME Shell on it) leave such windows out of Alt+Tab and
    // the overview whatever else the window says; GNOME has no taskbar, so
    // there the window stays in the switcher instead.
    if (manager == "Mutter" || manager == "GNOME Shell")
        return {.skipTaskbar = false, .dialogType = false, .modal = false};
    return {};
}

class X11WindowSystem : public WindowSystem {
public:
    void setTaskbarHints(QWidget &window) const override
    {
        // Other platforms (offscreen among them) may also hand out an X11
        // interface, but without a connection.
        auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        xcb_connection_t *connection = x11 != nullptr ? x11->connection() : nullptr;
        if (connection == nullptr)
            return;
        const auto native = static_cast<xcb_window_t>(window.winId());
        const SwitcherSafeHints hints = hintsFor(managerName(connection, native));
        std::vector<xcb_atom_t> states;
        if (hints.skipTaskbar)
            states.push_back(internAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR"));
        if (hints.modal)
            states.push_back(internAtom(connection, "_NET_WM_STATE_MODAL"));
        std::erase(states, xcb_atom_t{XCB_ATOM_NONE});
        if (!states.empty()) {
            xcb_change_property(connection, XCB_PROP_MODE_APPEND, native, internAtom(connection, "_NET_WM_STATE"),
                                XCB_ATOM_ATOM, 32, static_cast<std::uint32_t>(states.size()), states.data());
        }
        if (hints.dialogType) {
            const xcb_atom_t type = internAtom(connection, "_NET_WM_WINDOW_TYPE_DIALOG");
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, native,
                                internAtom(connection, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1, &type);
        }
        xcb_flush(connection);
    }

    bool drawsTitleBars() const override { return true; }
    void showWindowMenu(QWindow & /*window*/, QPoint /*point*/) const override {}
};

} // namespace

std::unique_ptr<WindowSystem> makeX11WindowSystem() { return std::make_unique<X11WindowSystem>(); }

} // namespace quorran
