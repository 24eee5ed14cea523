// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// The window system is asked for as little as the window needs, and only on
// the platform that understands the request:
// - X11 (xcb with a live connection): _NET_WM_STATE_SKIP_TASKBAR is put on the
//   still unmapped native window, since a window manager reads _NET_WM_STATE
//   when the window is mapped (Qt keeps atoms it does not manage when it sets
//   its own states). Some managers also leave such a window out of Alt+Tab,
//   and with no taskbar entry nothing would bring it back once covered; so
//   the running manager is asked its name, and the window adds what keeps it
//   in that manager's switcher, or stays listed where nothing does (see
//   hintsFor). After show() the window asks to be activated, which Qt sends
//   once the window is mapped.
// - Wayland: where the compositor draws title bars (KDE's kwin), Qt asks it
//   to, and the window looks like the desktop's others. Elsewhere (GNOME's
//   mutter, weston) Qt would draw its own title bar, with minimise and
//   maximise boxes, so the window gets a frame with a title bar of its own
//   instead (see TitleFrame).
// - Windows: a hidden owner keeps the window out of the taskbar. That window
//   is then not the application's primary window, so Qt would not end the
//   program when it closes; the close event does that here on every platform.
// A window manager that maximises the window, makes it full screen or gives
// it another size anyway is asked to put it back to its normal state and its
// fixed size. Once the window is closed, the process ends even where Qt's
// own teardown hangs (TeardownWatch).

#include "toplevel.h"

#include "titlebar.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>

#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string_view>
#include <vector>

#if defined(QUORRAN_HAVE_XCB)
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cstring>
#endif

#if defined(QUORRAN_HAVE_WAYLAND)
#include <wayland-client.h>

#include <cstring>
#endif

namespace quorran {

namespace {

bool onPlatform(const char *name) { return QGuiApplication::platformName() == QLatin1String(name); }

#if defined(QUORRAN_HAVE_XCB)
xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply); // NOLINT(cppcoreguidelines-no-malloc): xcb allocates replies with malloc
    return atom;
}

// Other platforms (offscreen among them) may also hand out an X11 interface,
// but without a connection.
xcb_connection_t *x11Connection()
{
    if (!onPlatform("xcb"))
        return nullptr;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
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
#endif

// Put on the still unmapped window: managers read them when it is mapped.
void setTaskbarHints([[maybe_unused]] QWidget &window)
{
#if defined(QUORRAN_HAVE_XCB)
    xcb_connection_t *connection = x11Connection();
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
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, native, internAtom(connection, "_NET_WM_WINDOW_TYPE"),
                            XCB_ATOM_ATOM, 32, 1, &type);
    }
    xcb_flush(connection);
#endif
}

#if defined(QUORRAN_HAVE_WAYLAND)
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
#endif

// Far longer than the teardown takes, short enough not to be noticed.
constexpr std::chrono::seconds kTeardownGrace{2};

constexpr Qt::WindowStates kNotFixed = Qt::WindowMaximized | Qt::WindowFullScreen;

} // namespace

bool compositorDrawsTitleBars()
{
#if defined(QUORRAN_HAVE_WAYLAND)
    return onPlatform("wayland") && offersGlobal("zxdg_decoration_manager_v1");
#else
    return false;
#endif
}

TaskbarMethod nativeTaskbarMethod()
{
#if defined(Q_OS_WIN)
    return TaskbarMethod::HiddenOwner;
#else
    return TaskbarMethod::WindowState;
#endif
}

TopLevel::TopLevel(std::unique_ptr<QWidget> window, TaskbarMethod method) : m_window(std::move(window))
{
    if (method == TaskbarMethod::HiddenOwner) {
        m_owner = std::make_unique<QWidget>();
        m_owner->setObjectName(QStringLiteral("owner"));
        m_window->setParent(m_owner.get(), m_window->windowFlags());
    } else if (onPlatform("wayland") && !compositorDrawsTitleBars()) {
        m_frame = std::make_unique<TitleFrame>(m_window.get());
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
        setTaskbarHints(top);
    top.show();
    // Not every window manager gives a new window the focus by itself.
    if (onPlatform("xcb")) {
        top.activateWindow();
        top.raise();
    }
}

bool TopLevel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &outer()) {
        if (event->type() == QEvent::Close) {
            QCoreApplication::quit();
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

void TeardownWatch::arm(int status)
{
    if (!onPlatform("wayland"))
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
    std::string_view platform = variable("QT_QPA_PLATFORM");
    std::string_view display = variable("DISPLAY");
    // The arguments Qt takes for these, with one dash or two.
    for (int i = 1; i + 1 < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-platform" || argument == "--platform") {
            platform = argv[++i];
        } else if (argument == "-display" || argument == "--display") {
            display = argv[++i];
        }
    }
    // A platform may carry options after a colon ("xcb:...", "wayland:...").
    platform = platform.substr(0, platform.find(':'));
    const std::string_view wayland = variable("WAYLAND_DISPLAY");
    std::string howTo = "; run it on a desktop, or on a virtual display: xvfb-run -a quorran";
    // Started by its path (from the build folder, say), the same from here.
    if (argc > 0 && std::string_view(argv[0]).find('/') != std::string_view::npos)
        howTo += std::string(" (from here: xvfb-run -a ") + argv[0] + ')';
    // Qt itself prefers Wayland in a Wayland session.
    if (platform.empty() && !wayland.empty() && variable("XDG_SESSION_TYPE") == "wayland")
        platform = "wayland";

    if (platform == "wayland") {
        // The compositor's socket, as the Wayland client library finds it.
        const std::string socket(wayland.empty() ? "wayland-0" : wayland);
        const std::string path =
            socket.starts_with('/') ? socket : std::string(variable("XDG_RUNTIME_DIR")) + '/' + socket;
        if (!std::filesystem::exists(path))
            return "Quorran finds no Wayland compositor at " + path + howTo;
        return std::nullopt;
    }
    if (!platform.empty() && platform != "xcb")
        return std::nullopt;
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
