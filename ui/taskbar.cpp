// X11: the window manager reads _NET_WM_STATE when the window is mapped, so
// _NET_WM_STATE_SKIP_TASKBAR is put there on the still unmapped native window
// (Qt keeps atoms it does not manage when it sets its own states).
// Windows: a window with a hidden owner gets no taskbar button.

#include "taskbar.h"

#include <QGuiApplication>
#include <QWidget>

#if defined(QUORRAN_HAVE_XCB)
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#endif

namespace quorran {

#if defined(QUORRAN_HAVE_XCB)
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

} // namespace
#endif

std::unique_ptr<QWidget> keepOutOfTaskbar(QWidget &window)
{
#if defined(Q_OS_WIN)
    auto owner = std::make_unique<QWidget>();
    window.setParent(owner.get(), window.windowFlags());
    return owner;
#else
#if defined(QUORRAN_HAVE_XCB)
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 != nullptr) {
        xcb_connection_t *connection = x11->connection();
        const auto native = static_cast<xcb_window_t>(window.winId());
        const xcb_atom_t state = internAtom(connection, "_NET_WM_STATE");
        const xcb_atom_t skipTaskbar = internAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
        if (state != XCB_ATOM_NONE && skipTaskbar != XCB_ATOM_NONE) {
            xcb_change_property(connection, XCB_PROP_MODE_APPEND, native, state, XCB_ATOM_ATOM, 32, 1, &skipTaskbar);
            xcb_flush(connection);
        }
    }
#else
    (void)window;
#endif
    return nullptr;
#endif
}

} // namespace quorran
