// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// Where the window is a module (Linux and other POSIX systems): it is looked
// for beside the program's file, first where the installation puts it
// (QUORRAN_WINDOW_MODULE_FROM_BIN, relative to the program's folder, so that
// an installation or an unpacked package can be moved), then in the program's
// own folder, where the build puts it, and last in the configured prefix.

#include "startwindow.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace quorran {

namespace {

constexpr const char *kModuleName = "quorran-window.so";

// The folder of the running program's file, with a trailing slash; from
// /proc where there is one, else from the path it was started by.
std::string programFolder(const char *argv0)
{
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length > 0 && static_cast<size_t>(length) < path.size())
        path.resize(static_cast<size_t>(length));
    else
        path = argv0 ? argv0 : "";
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

} // namespace

int startWindow(int argc, char **argv)
{
    const std::string folder = programFolder(argc > 0 ? argv[0] : nullptr);
    const std::vector<std::string> candidates{
        folder + QUORRAN_WINDOW_MODULE_FROM_BIN "/" + kModuleName,
        folder + kModuleName,
        QUORRAN_WINDOW_MODULE_INSTALLED "/" + std::string(kModuleName),
    };
    std::string reason;
    for (const std::string &candidate : candidates) {
        if (access(candidate.c_str(), F_OK) != 0)
            continue;
        void *module = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            reason = dlerror();
            break;
        }
        using Main = int (*)(int, char **);
        // POSIX guarantees that a function's address survives the trip through void *.
        if (const auto run = reinterpret_cast<Main>(dlsym(module, "quorran_window_main")))
            return run(argc, argv); // the module stays loaded to the end
        reason = candidate + ": no quorran_window_main";
        break;
    }
    if (reason.empty())
        reason = "no " + std::string(kModuleName) + " beside " + folder + " or in " QUORRAN_WINDOW_MODULE_INSTALLED;
    std::fprintf(stderr, "quorran: cannot load the window (%s)\n", reason.c_str());
    return 1;
}

} // namespace quorran
