// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// The yardstick for start-up time and memory: a Qt Widgets program that
// shows one empty window and nothing else.

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.resize(289, 354);
    window.show();
    return QApplication::exec();
}
