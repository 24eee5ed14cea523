// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// Starts a program and measures, from the moment it is started, how long its
// first top-level window takes to be drawn on: the X server reports the
// first damage to any top-level window created after the start. Then waits a
// moment, reads the program's peak resident set and ends it.
//   first_paint PROGRAM [ARGS...]
// prints "<milliseconds> <peak RSS in KiB> <main thread's CPU milliseconds>",
// the last taken at the first paint.

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// Milliseconds the program's main thread has run on a CPU so far: unlike the
// wall time, this hardly depends on what else the machine is doing.
double cpuMs(pid_t pid)
{
    std::ifstream schedstat("/proc/" + std::to_string(pid) + "/schedstat");
    double ns = -1;
    schedstat >> ns;
    return ns / 1e6;
}

long peakKib(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

int fail(const char *what)
{
    std::fprintf(stderr, "first_paint: %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2)
        return fail("usage: first_paint PROGRAM [ARGS...]");
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0)
        return fail("cannot open the display");
    const xcb_query_extension_reply_t *damage = xcb_get_extension_data(connection, &xcb_damage_id);
    if (damage == nullptr || damage->present == 0)
        return fail("the X server has no DAMAGE extension");
    std::free(xcb_damage_query_version_reply(connection, xcb_damage_query_version(connection, 1, 1), nullptr));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    // A round trip: the server watches the root before the program starts.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));

    const double start = nowMs();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }

    double painted = -1;
    double cpu = -1;
    const int fd = xcb_get_file_descriptor(connection);
    while (painted < 0 && nowMs() - start < 10000) {
        xcb_generic_event_t *event = xcb_poll_for_event(connection);
        if (event == nullptr) {
            pollfd wait{fd, POLLIN, 0};
            poll(&wait, 1, 100);
            continue;
        }
        const int type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            const auto *created = reinterpret_cast<xcb_create_notify_event_t *>(event);
            const xcb_damage_damage_t id = xcb_generate_id(connection);
            xcb_damage_create(connection, id, created->window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
            xcb_flush(connection);
        } else if (type == damage->first_event + XCB_DAMAGE_NOTIFY) {
            painted = nowMs() - start;
            cpu = cpuMs(pid);
        }
        std::free(event);
    }
    if (painted >= 0)
        usleep(300'000); // let it settle into its event loop
    const long kib = peakKib(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    xcb_disconnect(connection);
    if (painted < 0)
        return fail("no window was drawn on within 10 s");
    std::printf("%.1f %ld %.1f\n", painted, kib, cpu);
    return 0;
}
