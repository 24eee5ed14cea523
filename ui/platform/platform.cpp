// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// Plugin names are compared by family and without regard to case, as Qt
// loads plugins: "wayland-egl" is as much Wayland as "wayland" is.

#include "platform.h"

#include "implementations.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdlib>

namespace quorran {

namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [&](char a, char b) { return lower(a) == lower(b); });
}

std::string_view variable(const char *name)
{
    const char *value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace

Platform platformFamily(std::string_view name)
{
    name = name.substr(0, name.find(':'));
    const auto is = [name](std::string_view family) {
        return name.size() == family.size() && startsWithNoCase(name, family);
    };
    if (is("xcb"))
        return Platform::X11;
    if (startsWithNoCase(name, "wayland"))
        return Platform::Wayland;
    if (is("windows") || is("direct2d"))
        return Platform::Windows;
    return Platform::Other;
}

Platform runningPlatform() { return platformFamily(QGuiApplication::platformName().toStdString()); }

std::string_view qtArgument(int argc, const char *const *argv, std::string_view name)
{
    std::string_view value;
    for (int i = 1; i + 1 < argc; ++i) {
        std::string_view argument = argv[i];
        if (argument.starts_with("--"))
            argument.remove_prefix(2);
        else if (argument.starts_with('-'))
            argument.remove_prefix(1);
        else
            continue;
        if (argument == name)
            value = argv[++i];
    }
    return value;
}

std::string_view startingPlatformName(int argc, const char *const *argv)
{
    std::string_view name = qtArgument(argc, argv, "platform");
    if (name.empty())
        name = variable("QT_QPA_PLATFORM");
    // Nothing named, or options alone: Qt picks, and prefers Wayland in a
    // Wayland session.
    if (name.empty() || name.starts_with(':'))
        return !variable("WAYLAND_DISPLAY").empty() && variable("XDG_SESSION_TYPE") == "wayland" ? "wayland" : "xcb";
    return name;
}

std::unique_ptr<WindowSystem> makeWindowSystem()
{
    switch (runningPlatform()) {
#if defined(QUORRAN_HAVE_XCB)
    case Platform::X11:
        return makeX11WindowSystem();
#endif
#if defined(QUORRAN_HAVE_WAYLAND)
    case Platform::Wayland:
        return makeWaylandWindowSystem();
#endif
    default:
        return makeFallbackWindowSystem();
    }
}

} // namespace quorran
