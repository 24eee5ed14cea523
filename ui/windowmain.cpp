// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// Starts the one window and hands over to the event loop; the window ends
// when "Exit" is pressed or it is closed. Without a display it says so and
// ends before Qt is started.

#include "windowmain.h"

#include "quorranwindow.h"
#include "scaling.h"
#include "startup.h"
#include "toplevel.h"

#include <QApplication>

#include <cstdio>

extern "C" int quorran_window_main(int argc, char **argv)
{
    if (const auto missing = quorran::missingDisplay(argc, argv)) {
        std::fprintf(stderr, "%s\n", missing->c_str());
        return 1;
    }
    const auto fontConfiguration = quorran::loadFontConfigurationEarly();
    const double scale = quorran::takeOverScaling();
    quorran::TeardownWatch teardown;
    QApplication app(argc, argv);
    if (scale != 1.0)
        QApplication::setFont(quorran::scaledFont(QApplication::font(), scale));
    QApplication::setApplicationName(QStringLiteral("Quorran"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));

    quorran::TopLevel window(std::make_unique<quorran::QuorranWindow>(scale), quorran::nativeTaskbarMethod());
    window.show();
    const int status = QApplication::exec();
    teardown.arm(status);
    return status;
}
