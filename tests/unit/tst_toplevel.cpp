// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// The window as the program shows it, through both ways of keeping it out of
// the taskbar (the hidden owner is what Windows uses): how it ends, that the
// objects behind it are deleted once, that it keeps its fixed size and state,
// and the frame with a title bar of its own that stands in for Qt's where the
// window system leaves the title bar to the program. Every window shown here
// closes as the program closes its window, never on its way out while still
// shown: on Wayland, Qt 6.4 can crash then. Runs on any platform plugin;
// tests/desktop/wayland_weston.sh runs it again under a Wayland compositor.

#include "platform.h"
#include "quorranwindow.h"
#include "scaling.h"
#include "startup.h"
#include "titleframe.h"
#include "toplevel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

using namespace quorran;

Q_DECLARE_METATYPE(quorran::TaskbarMethod)
Q_DECLARE_METATYPE(quorran::Platform)

class TestTopLevel : public QObject {
    Q_OBJECT
private slots:
    void platformFamily_data();
    void platformFamily();
    void ending_data();
    void ending();
    void staysFixed_data();
    void staysFixed();
    void titleFrame();
    void scaleTakenOver_data();
    void scaleTakenOver();
};

namespace {

QPushButton *button(const QWidget &window, const char *name)
{
    return window.findChild<QPushButton *>(QLatin1String(name));
}

// Runs the event loop until the program ends, at most 10 s; its exit code.
int runUntilEnd(const std::function<void()> &action)
{
    QTimer::singleShot(0, action);
    QTimer stop;
    stop.setSingleShot(true);
    QObject::connect(&stop, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    stop.start(10'000);
    return QApplication::exec();
}

} // namespace

// Plugin names as -platform and QT_QPA_PLATFORM give them.
void TestTopLevel::platformFamily_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Platform>("family");

    for (const char *name : {"wayland", "wayland-egl", "wayland-brcm", "wayland:options", "Wayland-EGL"})
        QTest::newRow(name) << name << Platform::Wayland;
    for (const char *name : {"xcb", "xcb:nograb", "XCB"})
        QTest::newRow(name) << name << Platform::X11;
    for (const char *name : {"windows", "windows:darkmode=2", "direct2d"})
        QTest::newRow(name) << name << Platform::Windows;
    for (const char *name : {"", "offscreen", "minimal", "vnc:port=5900", "xcbx", "waylan", ":wayland"})
        QTest::newRow(name) << name << Platform::Other;
}

void TestTopLevel::platformFamily()
{
    QFETCH(QString, name);
    QFETCH(Platform, family);
    QCOMPARE(quorran::platformFamily(name.toStdString()), family);
}

void TestTopLevel::ending_data()
{
    QTest::addColumn<TaskbarMethod>("method");
    QTest::addColumn<bool>("exitButton");

    QTest::newRow("window state, Exit") << TaskbarMethod::WindowState << true;
    QTest::newRow("window state, close box") << TaskbarMethod::WindowState << false;
    QTest::newRow("hidden owner, Exit") << TaskbarMethod::HiddenOwner << true;
    QTest::newRow("hidden owner, close box") << TaskbarMethod::HiddenOwner << false;
}

// Exit and the close box end the program with status 0, whichever way the
// window is kept out of the taskbar; then everything is deleted once (the
// sanitizer build catches a second delete).
void TestTopLevel::ending()
{
    QFETCH(TaskbarMethod, method);
    QFETCH(bool, exitButton);

    auto top = std::make_unique<TopLevel>(std::make_unique<QuorranWindow>(), method);
    QPointer<QWidget> window = &top->window();
    QPointer<QWidget> owner = top->owner();
    QCOMPARE(owner != nullptr, method == TaskbarMethod::HiddenOwner);
    top->show();
    QVERIFY(QTest::qWaitForWindowExposed(&top->outer()));
    QVERIFY(top->outer().isWindow());
    QCOMPARE(QApplication::topLevelWidgets().count(&top->outer()), 1);
    if (owner != nullptr) {
        QVERIFY(!owner->isVisible());
        QVERIFY(owner->windowHandle() != nullptr);
        QCOMPARE(top->window().windowHandle()->transientParent(), owner->windowHandle());
    }
    QCOMPARE(top->outer().focusWidget(), button(top->window(), "SSCommand1"));
    // The frame only on Wayland, where the compositor leaves the title bar to the program.
    const bool ownBar = method == TaskbarMethod::WindowState && !makeWindowSystem()->drawsTitleBars();
    QCOMPARE(qobject_cast<TitleFrame *>(&top->outer()) != nullptr, ownBar);

    QWidget &outer = top->outer();
    const int status = runUntilEnd([&] {
        if (exitButton)
            QTest::mouseClick(button(top->window(), "SSCommand3"), Qt::LeftButton);
        else
            outer.close();
    });
    QCOMPARE(status, 0);
    top.reset();
    QVERIFY(window.isNull());
    QVERIFY(owner.isNull());
}

void TestTopLevel::staysFixed_data()
{
    QTest::addColumn<TaskbarMethod>("method");
    QTest::addColumn<Qt::WindowState>("state");

    QTest::newRow("window state, maximised") << TaskbarMethod::WindowState << Qt::WindowMaximized;
    QTest::newRow("window state, full screen") << TaskbarMethod::WindowState << Qt::WindowFullScreen;
    QTest::newRow("hidden owner, maximised") << TaskbarMethod::HiddenOwner << Qt::WindowMaximized;
    QTest::newRow("hidden owner, full screen") << TaskbarMethod::HiddenOwner << Qt::WindowFullScreen;
}

// A window manager that maximises the window or makes it full screen gets it
// back in its normal state, at its fixed size, with its content in place.
void TestTopLevel::staysFixed()
{
    QFETCH(TaskbarMethod, method);
    QFETCH(Qt::WindowState, state);

    TopLevel top(std::make_unique<QuorranWindow>(), method);
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top.outer()));
    const QSize fixed = top.outer().size();
    const QPoint content = top.window().mapTo(&top.outer(), QPoint(0, 0));
    top.outer().setWindowState(state);
    QTRY_COMPARE(top.outer().windowState(), Qt::WindowNoState);
    QTRY_COMPARE(top.outer().size(), fixed);
    QCOMPARE(top.window().mapTo(&top.outer(), QPoint(0, 0)), content);
    QCOMPARE(runUntilEnd([&] { top.outer().close(); }), 0);
}

// The frame: the title, one box (close) that never takes the focus, the
// content's fixed size below the bar (also after the content is resized),
// its focus kept; the close box ends the program with status 0.
void TestTopLevel::titleFrame()
{
    auto *content = new QuorranWindow;
    TitleFrame frame(content);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));

    QCOMPARE(frame.windowTitle(), QString("Quorran"));
    QVERIFY(frame.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(!content->isWindow());
    QCOMPARE(frame.size(), QSize(content->width(), content->height() + frame.barHeight()));
    QCOMPARE(frame.minimumSize(), frame.maximumSize());
    QCOMPARE(content->geometry().bottomRight(), frame.rect().bottomRight());

    const QList<QAbstractButton *> boxes = frame.findChildren<QAbstractButton *>(Qt::FindDirectChildrenOnly);
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.front()->accessibleName(), QString("Close"));
    QCOMPARE(boxes.front()->focusPolicy(), Qt::NoFocus);
    QVERIFY(boxes.front()->geometry().bottom() < frame.barHeight());

    // Laid out anew for another screen, the content takes the frame along.
    content->setFixedSize(content->size() + QSize(73, 89));
    QCOMPARE(frame.size(), QSize(content->width(), content->height() + frame.barHeight()));
    QCOMPARE(content->geometry().bottomRight(), frame.rect().bottomRight());
    QCOMPARE(boxes.front()->geometry().right(), frame.width() - 4);

    QCOMPARE(frame.focusWidget(), button(*content, "SSCommand1"));
    QTest::keyClick(frame.focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(frame.focusWidget(), button(*content, "SSCommand3"));

    // Closing the bare frame ends nothing by itself; TopLevel ends the
    // program. The click waits, as TopLevel does, until the window may close.
    QCOMPARE(runUntilEnd([&] {
                 makeWindowSystem()->afterLastFrame(frame, [&] {
                     QTest::mouseClick(frame.closeBox(), Qt::LeftButton);
                     QCoreApplication::exit(frame.isVisible() ? 1 : 0);
                 });
             }),
             0);
}

// What the program does with the scale settings it finds before Qt starts.
// An empty string in the table is a variable that is not set.
void TestTopLevel::scaleTakenOver_data()
{
    QTest::addColumn<QString>("highDpi");
    QTest::addColumn<QString>("screenFactors");
    QTest::addColumn<QString>("factor");
    QTest::addColumn<double>("taken");
    QTest::addColumn<QString>("highDpiAfter");
    QTest::addColumn<QString>("factorAfter");

    const auto row = [](const char *name, const char *highDpi, const char *screenFactors, const char *factor,
                        double taken, const char *highDpiAfter, const char *factorAfter) {
        QTest::newRow(name) << highDpi << screenFactors << factor << taken << highDpiAfter << factorAfter;
    };
    row("nothing set", "", "", "", 1.0, "0", "");
    row("1.25", "", "", "1.25", 1.25, "0", "");
    row("2", "", "", "2", 2.0, "0", "");
    row("smallest taken, 0.25", "", "", "0.25", 0.25, "0", "");
    row("largest taken, 16", "", "", "16", 16.0, "0", "");
    row("not a number, left to Qt", "", "", "1,25", 1.0, "0", "1,25");
    row("too large, left to Qt", "", "", "1e300", 1.0, "0", "1e300");
    row("zero, left to Qt", "", "", "0", 1.0, "0", "0");
    row("Qt's own scaling asked for", "1", "", "1.5", 1.0, "1", "1.5");
    row("per-screen factors, left to Qt", "", "1.25;1", "1.5", 1.0, "", "1.5");
}

void TestTopLevel::scaleTakenOver()
{
    QFETCH(QString, highDpi);
    QFETCH(QString, screenFactors);
    QFETCH(QString, factor);
    QFETCH(double, taken);
    QFETCH(QString, highDpiAfter);
    QFETCH(QString, factorAfter);
    const auto set = [](const char *name, const QString &value) {
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value.toUtf8());
    };
    const char *const variables[] = {"QT_ENABLE_HIGHDPI_SCALING", "QT_SCREEN_SCALE_FACTORS", "QT_SCALE_FACTOR"};
    QStringList saved;
    for (const char *name : variables)
        saved << qEnvironmentVariable(name);
    set("QT_ENABLE_HIGHDPI_SCALING", highDpi);
    set("QT_SCREEN_SCALE_FACTORS", screenFactors);
    set("QT_SCALE_FACTOR", factor);
    const double result = takeOverScaling();
    const QString highDpiNow = qEnvironmentVariable("QT_ENABLE_HIGHDPI_SCALING");
    const QString factorNow = qEnvironmentVariable("QT_SCALE_FACTOR");
    for (int i = 0; i < 3; ++i)
        set(variables[i], saved.at(i));
    QCOMPARE(result, taken);
    QCOMPARE(highDpiNow, highDpiAfter);
    QCOMPARE(factorNow, factorAfter);
}

// As the program does, the process ends even where Qt's teardown of its
// Wayland display hangs. With QUORRAN_BLOCKED_TEARDOWN=STATUS set, it runs
// no test but a teardown that never ends after a program that returned
// STATUS, for tests/desktop/wayland_weston.sh to see how the process ends.
int main(int argc, char *argv[])
{
    TeardownWatch teardown;
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("QUORRAN_BLOCKED_TEARDOWN")) {
        teardown.arm(qEnvironmentVariableIntValue("QUORRAN_BLOCKED_TEARDOWN"));
        std::this_thread::sleep_for(std::chrono::minutes(1));
        return 0;
    }
    int status = 0;
    {
        TestTopLevel test;
        QTEST_SET_MAIN_SOURCE_PATH
        status = QTest::qExec(&test, argc, argv);
    }
    teardown.arm(status);
    return status;
}
#include "tst_toplevel.moc"
