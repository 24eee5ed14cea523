// Starts the one window and hands over to the event loop; the program ends
// when "Exit" is pressed or the window is closed.

#include "quorranwindow.h"
#include "taskbar.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    const auto fontConfiguration = quorran::loadFontConfigurationEarly();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorran"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));

    quorran::QuorranWindow window;
    const auto owner = quorran::keepOutOfTaskbar(window);
    window.show();
    return QApplication::exec();
}
