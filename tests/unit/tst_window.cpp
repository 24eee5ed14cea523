// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// The window driven as a user drives it: geometry at the screen's DPI, fonts,
// colours, focus chain, clicks and keys, and both conversions through the
// buttons with the results read back from the widgets.

#include "conversions.h"
#include "fields.h"
#include "logbox.h"
#include "loglines.h"
#include "placement.h"
#include "quorranwindow.h"
#include "scaling.h"
#include "testsupport.h"

#include "textbox.h"
#include "widgetfields.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleOptionButton>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace quorran;

using namespace loglines;

class TestWindow : public QObject {
    Q_OBJECT
public:
    // Before the application object exists, as in the program itself.
    static void initMain() { s_scale = takeOverScaling(); }

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void geometry_data();
    void geometry();
    void geometryOnScreen();
    void clientAreaInDevicePixels();
    void relaidOutOnAnotherScreen();
    void fixedSizeAndDecorations();
    void fonts_data();
    void fonts();
    void captionsFit_data();
    void captionsFit();
    void panelColoursSurviveAnyPalette_data();
    void panelColoursSurviveAnyPalette();
    void captionColoursFollowButtonText();
    void initialState();
    void captions_data();
    void captions();
    void accessibleNames_data();
    void accessibleNames();
    void tabChain();
    void clickClearsTabKeeps_data();
    void clickClearsTabKeeps();
    void clickInLogChangesNothing();
    void enterAndEscapePressNothing_data();
    void enterAndEscapePressNothing();
    void noButtonIsDefault_data();
    void noButtonIsDefault();
    void keysOnFocusedButtonAsOnStockButton_data();
    void keysOnFocusedButtonAsOnStockButton();
    void conversionsByMouse_data();
    void conversionsByMouse();
    void typedLogIsExtendedOrReplaced();
    void logWritesReported_data();
    void logWritesReported();
    void logViewAfterAConversion_data();
    void logViewAfterAConversion();
    void longLinesWrapWithoutScrollBars();
    void logLineEndsAfterEdits();
    void hugeUnbrokenLogText();
    void exitEndsProgram();
    void closeBoxEndsProgram();

private:
    template <typename T = QWidget> T *find(const char *name) const
    {
        T *widget = m_window->findChild<T *>(QLatin1String(name));
        if (widget == nullptr && m_window->objectName() == QLatin1String(name))
            widget = qobject_cast<T *>(m_window.get());
        return widget;
    }
    void showAndActivate();
    void click(const char *name);

    static double s_scale;
    std::unique_ptr<QuorranWindow> m_window;
};

double TestWindow::s_scale = 1.0;

void TestWindow::initTestCase()
{
    // Fonts at the screen's DPI, as the program draws them.
    QCoreApplication::setAttribute(Qt::AA_Use96Dpi, false);
}

void TestWindow::init() { m_window = std::make_unique<QuorranWindow>(s_scale); }

void TestWindow::cleanup() { m_window.reset(); }

void TestWindow::showAndActivate()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestWindow::click(const char *name)
{
    QWidget *widget = find(name);
    QVERIFY2(widget != nullptr, name);
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

// Worked out by hand from the twips table: each edge goes to the pixel
// nearest to twips x DPI / 1440 (halves up), children relative to their
// frame. Where the platform imposes a pixel ratio (the last rows), an edge
// goes to the nearest device pixel a whole logical coordinate reaches (the
// window system rounds logical x ratio, halves up).
void TestWindow::geometry_data()
{
    QTest::addColumn<double>("dpi");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pixels");
    QTest::newRow("96 SSPanel1") << 96.0 << 1.0 << "SSPanel1" << QRect(0, 0, 289, 40);
    QTest::newRow("96 SSFrame1") << 96.0 << 1.0 << "SSFrame1" << QRect(8, 47, 274, 63);
    QTest::newRow("96 dom") << 96.0 << 1.0 << "dom" << QRect(8, 23, 78, 21);
    QTest::newRow("96 area") << 96.0 << 1.0 << "area" << QRect(93, 23, 79, 21);
    QTest::newRow("96 port") << 96.0 << 1.0 << "port" << QRect(179, 23, 79, 21);
    QTest::newRow("96 Frame1") << 96.0 << 1.0 << "Frame1" << QRect(8, 117, 149, 63);
    QTest::newRow("96 addr") << 96.0 << 1.0 << "addr" << QRect(8, 23, 133, 21);
    QTest::newRow("96 SSCommand1") << 96.0 << 1.0 << "SSCommand1" << QRect(164, 125, 118, 24);
    QTest::newRow("96 SSCommand2") << 96.0 << 1.0 << "SSCommand2" << QRect(164, 156, 118, 24);
    QTest::newRow("96 errorMsg") << 96.0 << 1.0 << "errorMsg" << QRect(8, 187, 274, 118);
    QTest::newRow("96 errorbox") << 96.0 << 1.0 << "errorbox" << QRect(8, 24, 258, 81);
    QTest::newRow("96 SSPanel2") << 96.0 << 1.0 << "SSPanel2" << QRect(8, 320, 172, 24);
    QTest::newRow("96 SSCommand3") << 96.0 << 1.0 << "SSCommand3" << QRect(203, 320, 71, 24);
    QTest::newRow("96 client area") << 96.0 << 1.0 << "Quorran" << QRect(0, 0, 289, 354);
    QTest::newRow("144 SSPanel1") << 144.0 << 1.0 << "SSPanel1" << QRect(0, 0, 434, 60);
    QTest::newRow("144 SSFrame1") << 144.0 << 1.0 << "SSFrame1" << QRect(12, 70, 411, 95);
    QTest::newRow("144 dom") << 144.0 << 1.0 << "dom" << QRect(11, 35, 119, 32);
    QTest::newRow("144 area") << 144.0 << 1.0 << "area" << QRect(140, 35, 118, 32);
    QTest::newRow("144 port") << 144.0 << 1.0 << "port" << QRect(269, 35, 118, 32);
    QTest::newRow("144 Frame1") << 144.0 << 1.0 << "Frame1" << QRect(12, 176, 223, 94);
    QTest::newRow("144 addr") << 144.0 << 1.0 << "addr" << QRect(11, 35, 201, 31);
    QTest::newRow("144 SSCommand1") << 144.0 << 1.0 << "SSCommand1" << QRect(246, 187, 177, 37);
    QTest::newRow("144 SSCommand2") << 144.0 << 1.0 << "SSCommand2" << QRect(246, 234, 177, 36);
    QTest::newRow("144 errorMsg") << 144.0 << 1.0 << "errorMsg" << QRect(12, 281, 411, 177);
    QTest::newRow("144 errorbox") << 144.0 << 1.0 << "errorbox" << QRect(11, 35, 388, 122);
    QTest::newRow("144 SSPanel2") << 144.0 << 1.0 << "SSPanel2" << QRect(12, 480, 258, 36);
    QTest::newRow("144 SSCommand3") << 144.0 << 1.0 << "SSCommand3" << QRect(304, 480, 107, 36);
    QTest::newRow("144 client area") << 144.0 << 1.0 << "Quorran" << QRect(0, 0, 434, 532);
    // 58.5 pixels: the half goes up.
    QTest::newRow("120 SSFrame1") << 120.0 << 1.0 << "SSFrame1" << QRect(10, 59, 342, 79);
    QTest::newRow("120 area") << 120.0 << 1.0 << "area" << QRect(117, 29, 98, 26);
    QTest::newRow("120 client area") << 120.0 << 1.0 << "Quorran" << QRect(0, 0, 362, 443);
    QTest::newRow("192 dom") << 192.0 << 1.0 << "dom" << QRect(15, 46, 158, 42);
    QTest::newRow("192 client area") << 192.0 << 1.0 << "Quorran" << QRect(0, 0, 579, 709);
    // Logical pixels at a pixel ratio the platform imposes.
    QTest::newRow("x1.25 client area") << 96.0 << 1.25 << "Quorran" << QRect(0, 0, 289, 354);
    QTest::newRow("x1.25 dom") << 96.0 << 1.25 << "dom" << QRect(8, 23, 78, 21);
    QTest::newRow("x1.25 SSCommand3") << 96.0 << 1.25 << "SSCommand3" << QRect(203, 320, 71, 24);
    QTest::newRow("x1.5 SSFrame1") << 96.0 << 1.5 << "SSFrame1" << QRect(8, 47, 274, 63);
    QTest::newRow("x1.5 errorbox") << 96.0 << 1.5 << "errorbox" << QRect(7, 23, 259, 82);
    QTest::newRow("x1.5 client area") << 96.0 << 1.5 << "Quorran" << QRect(0, 0, 289, 354);
    QTest::newRow("x2 client area") << 96.0 << 2.0 << "Quorran" << QRect(0, 0, 289, 354);
}

// The table itself, and the window's controls where the window is laid out
// at the row's DPI and pixel ratio (the scale runs of this test cover the
// other settings).
void TestWindow::geometry()
{
    QFETCH(double, dpi);
    QFETCH(double, ratio);
    QFETCH(QString, name);
    QFETCH(QRect, pixels);
    const Placement *placement = findPlacement(name.toStdString());
    const QRect computed =
        placement != nullptr ? pixelGeometry(*placement, dpi, ratio) : QRect(QPoint(0, 0), clientSize(dpi, ratio));
    QCOMPARE(computed, pixels);
    if (qFuzzyCompare(m_window->devicePixelRatioF(), ratio) && qFuzzyCompare(m_window->layoutDpi(), dpi)) {
        const QWidget *widget = find(qPrintable(name));
        QCOMPARE(placement != nullptr ? widget->geometry() : QRect(QPoint(0, 0), widget->size()), pixels);
    }
}

void TestWindow::geometryOnScreen()
{
    const double dpi = m_window->layoutDpi();
    const double ratio = m_window->devicePixelRatioF();
    for (const Placement &placement : kPlacements) {
        const QWidget *widget = find(std::string(placement.name).c_str());
        QVERIFY(widget != nullptr);
        QCOMPARE(widget->geometry(), pixelGeometry(placement, dpi, ratio));
        QCOMPARE(widget->parentWidget()->objectName(),
                 placement.container.empty()
                     ? QString("Quorran")
                     : QString::fromLatin1(placement.container.data(), placement.container.size()));
    }
    QCOMPARE(m_window->size(), clientSize(dpi, ratio));
}

// The client area in device pixels as the window system gets it, under the
// scale setting of the run (QUORRAN_CLIENT_PIXELS, "width x height", comes
// with the setting from tests/CMakeLists.txt). One logical pixel is one
// device pixel: Qt's own scaling could not reach every pixel.
void TestWindow::clientAreaInDevicePixels()
{
    const QString expected = qEnvironmentVariable("QUORRAN_CLIENT_PIXELS", QStringLiteral("289x354"));
    showAndActivate();
    QCOMPARE(m_window->devicePixelRatioF(), 1.0);
    const QSize native = m_window->windowHandle()->geometry().size();
    QCOMPARE(QString("%1x%2").arg(native.width()).arg(native.height()), expected);
}

// Run with two screens, the first at 144 DPI and the second at 96 (see
// tests/CMakeLists.txt). Moved there and back, the window looks exactly as
// one that opened on the first screen.
void TestWindow::relaidOutOnAnotherScreen()
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.size() < 2 || screens.at(0)->logicalDotsPerInch() != 144.0 ||
        screens.at(1)->logicalDotsPerInch() != 96.0)
        QSKIP("needs a screen at 144 DPI and one at 96 DPI beside it");
    showAndActivate();
    QCOMPARE(m_window->size(), QSize(434, 532));
    m_window->move(screens.at(1)->geometry().topLeft() + QPoint(40, 40));
    QTRY_COMPARE(m_window->size(), QSize(289, 354));
    QCOMPARE(find("dom")->geometry(), QRect(8, 23, 78, 21));
    QCOMPARE(find("SSCommand3")->geometry(), QRect(203, 320, 71, 24));
    m_window->move(screens.at(0)->geometry().topLeft() + QPoint(40, 40));
    QTRY_COMPARE(m_window->size(), QSize(434, 532));
    QCOMPARE(find("dom")->geometry(), QRect(11, 35, 119, 32));
    showAndActivate();
    const QImage moved = m_window->grab().toImage();

    QuorranWindow fresh(s_scale);
    fresh.move(screens.at(0)->geometry().topLeft() + QPoint(40, 40));
    fresh.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fresh));
    fresh.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&fresh));
    QCOMPARE(moved, fresh.grab().toImage());

    // One made on the second screen is laid out for it.
    QuorranWindow second(s_scale);
    second.move(screens.at(1)->geometry().topLeft() + QPoint(40, 40));
    second.show();
    QTRY_COMPARE(second.size(), QSize(289, 354));
}

void TestWindow::fixedSizeAndDecorations()
{
    QCOMPARE(m_window->minimumSize(), m_window->size());
    QCOMPARE(m_window->maximumSize(), m_window->size());
    const Qt::WindowFlags flags = m_window->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(m_window->windowTitle(), QString("Quorran"));
    QVERIFY(!m_window->windowIcon().isNull());
    QCOMPARE(m_window->windowIcon().availableSizes(), (QList<QSize>{QSize(32, 32), QSize(16, 16)}));
}

void TestWindow::fonts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("points");
    QTest::addColumn<int>("weight");

    QTest::newRow("SSPanel1") << "SSPanel1"
                              << "Verdana" << 12.2264 << 400;
    QTest::newRow("SSFrame1") << "SSFrame1"
                              << "MS Sans Serif" << 7.4717 << 400;
    for (const char *box : {"dom", "area", "port", "addr", "errorbox"})
        QTest::newRow(box) << box << "Verdana" << 8.83 << 400;
    QTest::newRow("SSPanel2") << "SSPanel2"
                              << "Comic Sans MS" << 8.1509 << 700;
    for (const char *byDefault : {"Frame1", "errorMsg", "SSCommand1", "SSCommand2", "SSCommand3"})
        QTest::newRow(byDefault) << byDefault << "MS Sans Serif" << 8.25 << 400;
}

void TestWindow::fonts()
{
    QFETCH(QString, name);
    QFETCH(QString, family);
    QFETCH(double, points);
    QFETCH(int, weight);
    const QFont font = find(qPrintable(name))->font();
    QCOMPARE(font.family(), family);
    QCOMPARE(font.pointSizeF(), points);
    QCOMPARE(int(font.weight()), weight);
    QVERIFY(!font.italic() && !font.underline() && !font.strikeOut());
    // What is drawn is the face itself or the free face that stands in for it.
    const QString drawn = QFontInfo(font).family();
    const QStringList acceptable = QStringList{family} + QFont::substitutes(family);
    QVERIFY2(acceptable.contains(drawn, Qt::CaseInsensitive), qPrintable(drawn + " for " + family));
}

// No caption may be clipped at the screen's DPI with the fonts actually found
// (also with DejaVu alone: see the fonts.conf in tests/CMakeLists.txt).
void TestWindow::captionsFit_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name :
         {"SSPanel1", "SSPanel2", "SSFrame1", "Frame1", "errorMsg", "SSCommand1", "SSCommand2", "SSCommand3"})
        QTest::newRow(name) << name;
}

void TestWindow::captionsFit()
{
    QFETCH(QString, name);
    const QWidget *widget = find(qPrintable(name));
    const QFontMetrics metrics(widget->font());
    QString caption;
    int room = 0;
    int height = 0;
    if (const auto *button = qobject_cast<const QPushButton *>(widget)) {
        caption = button->text();
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = caption;
        const QRect contents = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        room = contents.width() - button->style()->pixelMetric(QStyle::PM_ButtonMargin, &option, button);
        height = contents.height();
    } else if (const auto *frame = qobject_cast<const QGroupBox *>(widget)) {
        caption = frame->title();
        room = frame->width() - 2 * 8; // the caption's indent
        height = frame->contentsRect().top() + frame->height();
    } else if (const auto *panel = qobject_cast<const QLabel *>(widget)) {
        caption = panel->text();
        room = panel->contentsRect().width();
        height = panel->contentsRect().height();
    }
    QVERIFY(!caption.isEmpty());
    QVERIFY2(
        metrics.horizontalAdvance(caption) <= room,
        qPrintable(
            QStringLiteral("%1 needs %2 px, has %3").arg(caption).arg(metrics.horizontalAdvance(caption)).arg(room)));
    QVERIFY2(metrics.height() <= height,
             qPrintable(QStringLiteral("%1 is %2 px high, has %3").arg(caption).arg(metrics.height()).arg(height)));
}

void TestWindow::panelColoursSurviveAnyPalette_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("styleSheet"); // empty: a dark palette instead
    QTest::addColumn<QColor>("text");
    const QString dark = "QWidget { background-color:#202020; color:#e0e0e0 }";
    QTest::newRow("SSPanel1 dark palette") << "SSPanel1" << QString() << QColor(0, 0, 255);
    QTest::newRow("SSPanel2 dark palette") << "SSPanel2" << QString() << QColor(0, 0, 128);
    QTest::newRow("SSPanel1 style sheet") << "SSPanel1" << dark << QColor(0, 0, 255);
    QTest::newRow("SSPanel2 style sheet") << "SSPanel2" << dark << QColor(0, 0, 128);
}

void TestWindow::panelColoursSurviveAnyPalette()
{
    QFETCH(QString, name);
    QFETCH(QString, styleSheet);
    QFETCH(QColor, text);
    struct Restore {
        QPalette palette = QApplication::palette();
        ~Restore()
        {
            qApp->setStyleSheet(QString());
            QApplication::setPalette(palette);
        }
    } restore;
    if (styleSheet.isEmpty()) {
        QPalette dark = restore.palette;
        for (const QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button})
            dark.setColor(role, QColor(0x20, 0x20, 0x20));
        for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            dark.setColor(role, QColor(0xe0, 0xe0, 0xe0));
        QApplication::setPalette(dark);
    } else {
        qApp->setStyleSheet(styleSheet);
    }
    showAndActivate();
    QWidget *panel = find(qPrintable(name));
    const QImage image = panel->grab().toImage();
    // The background just inside the bevel, and the caption's solid strokes.
    QCOMPARE(image.pixelColor(4, 4), QColor(212, 208, 200));
    QCOMPARE(image.pixelColor(4, image.height() - 5), QColor(212, 208, 200));
    int strokes = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            strokes += image.pixelColor(x, y) == text ? 1 : 0;
    }
    QVERIFY2(strokes >= 10, qPrintable(QString("%1 pixels in the caption colour").arg(strokes)));
}

void TestWindow::captionColoursFollowButtonText()
{
    const QPalette original = QApplication::palette();
    QPalette changed = original;
    changed.setColor(QPalette::ButtonText, QColor(200, 0, 0));
    QApplication::setPalette(changed);
    QCoreApplication::processEvents();
    for (const char *name : {"SSCommand1", "SSCommand2", "SSCommand3", "SSFrame1"})
        QCOMPARE(find(name)->palette().color(QPalette::ButtonText), QColor(200, 0, 0));
    // The frame's caption is drawn in that colour.
    auto *frame = find<QGroupBox>("SSFrame1");
    const QImage image = frame->grab().toImage();
    bool found = false;
    for (int y = 0; y < 20 && !found; ++y)
        for (int x = 0; x < image.width() && !found; ++x)
            found = image.pixelColor(x, y).red() > 150 && image.pixelColor(x, y).green() < 60;
    QApplication::setPalette(original);
    QCoreApplication::processEvents();
    QVERIFY(found);
}

void TestWindow::initialState()
{
    showAndActivate();
    COMPARE_TEXT(u16(find<TextBox>("dom")->text()), u"Domain_ID");
    COMPARE_TEXT(u16(find<TextBox>("area")->text()), u"Area_ID");
    COMPARE_TEXT(u16(find<TextBox>("port")->text()), u"Port_ID");
    COMPARE_TEXT(u16(find<TextBox>("addr")->text()), u"Address ID");
    QVERIFY(find<LogBox>("errorbox")->text().isEmpty());
    QCOMPARE(QApplication::focusWidget(), find("SSCommand1"));
    for (const Placement &placement : kPlacements) {
        const QWidget *widget = find(std::string(placement.name).c_str());
        QVERIFY2(widget->isVisible() && widget->isEnabled(), qPrintable(widget->objectName()));
    }
}

void TestWindow::captions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::newRow("SSPanel1") << "SSPanel1"
                              << "Quorran";
    QTest::newRow("SSFrame1") << "SSFrame1"
                              << "Dom.Area.Port";
    QTest::newRow("Frame1") << "Frame1"
                            << "Address ID";
    QTest::newRow("SSCommand1") << "SSCommand1"
                                << "From D.A.P to AddrID";
    QTest::newRow("SSCommand2") << "SSCommand2"
                                << "From AddrID to D.A.P";
    QTest::newRow("errorMsg") << "errorMsg"
                              << "Message Box";
    QTest::newRow("SSPanel2") << "SSPanel2"
                              << "By the Quorran team";
    QTest::newRow("SSCommand3") << "SSCommand3"
                                << "Exit";
}

void TestWindow::captions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    const QWidget *widget = find(qPrintable(name));
    QString shown;
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        shown = button->text();
    else if (const auto *frame = qobject_cast<const QGroupBox *>(widget))
        shown = frame->title();
    else if (const auto *panel = qobject_cast<const QLabel *>(widget))
        shown = panel->text();
    QCOMPARE(shown, caption);
}

void TestWindow::accessibleNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("accessible");
    QTest::newRow("dom") << "dom"
                         << "Domain ID";
    QTest::newRow("area") << "area"
                          << "Area ID";
    QTest::newRow("port") << "port"
                          << "Port ID";
    QTest::newRow("addr") << "addr"
                          << "Address ID";
    QTest::newRow("errorbox") << "errorbox"
                              << "Message Box";
    QTest::newRow("SSCommand1") << "SSCommand1"
                                << "From D.A.P to AddrID";
    QTest::newRow("SSCommand2") << "SSCommand2"
                                << "From AddrID to D.A.P";
    QTest::newRow("SSCommand3") << "SSCommand3"
                                << "Exit";
}

void TestWindow::accessibleNames()
{
    QFETCH(QString, name);
    QFETCH(QString, accessible);
    QCOMPARE(find(qPrintable(name))->accessibleName(), accessible);
}

void TestWindow::tabChain()
{
    showAndActivate();
    const QStringList forward = {"SSCommand2", "errorbox", "dom", "area", "port", "addr", "SSCommand3", "SSCommand1"};
    for (const QString &expected : forward) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), expected);
    }
    QStringList backward = forward;
    std::reverse(backward.begin(), backward.end());
    backward.removeFirst();
    backward.append("SSCommand1");
    for (const QString &expected : backward) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget()->objectName(), expected);
    }
}

void TestWindow::clickClearsTabKeeps_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"dom", "area", "port", "addr"})
        QTest::newRow(name) << name;
}

void TestWindow::clickClearsTabKeeps()
{
    QFETCH(QString, name);
    showAndActivate();
    auto *box = find<TextBox>(qPrintable(name));
    const QString label = box->text();

    // Moving in with the keyboard keeps the label, and typing extends it.
    QWidget *previous = box->previousInFocusChain();
    while (!(previous->focusPolicy() & Qt::TabFocus))
        previous = previous->previousInFocusChain();
    previous->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(previous, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), box);
    QCOMPARE(box->text(), label);

    // Every click empties the field, also one that places the caret in a number.
    click(qPrintable(name));
    QCOMPARE(box->text(), QString());
    QTest::keyClicks(box, "12");
    QCOMPARE(box->text(), QString("12"));
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(5, box->height() / 2));
    QCOMPARE(box->text(), QString());
    // A right click is not a click.
    QTest::keyClicks(box, "7");
    QTest::mouseClick(box, Qt::RightButton, Qt::NoModifier, box->rect().center());
    QCOMPARE(box->text(), QString("7"));
}

void TestWindow::clickInLogChangesNothing()
{
    showAndActivate();
    auto *log = find<LogBox>("errorbox");
    log->setText("kept");
    QTest::mouseClick(log, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    QCOMPARE(log->text(), QString("kept"));
    QCOMPARE(find<TextBox>("dom")->text(), QString("Domain_ID"));
}

void TestWindow::enterAndEscapePressNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("key");
    for (const char *name : {"dom", "area", "port", "addr", "errorbox"}) {
        QTest::newRow(qPrintable(QString(name) + " enter")) << name << int(Qt::Key_Return);
        QTest::newRow(qPrintable(QString(name) + " keypad enter")) << name << int(Qt::Key_Enter);
        QTest::newRow(qPrintable(QString(name) + " escape")) << name << int(Qt::Key_Escape);
    }
}

void TestWindow::enterAndEscapePressNothing()
{
    QFETCH(QString, name);
    QFETCH(int, key);
    showAndActivate();
    QSignalSpy first(find<QAbstractButton>("SSCommand1"), &QAbstractButton::clicked);
    QSignalSpy second(find<QAbstractButton>("SSCommand2"), &QAbstractButton::clicked);
    QSignalSpy exit(find<QAbstractButton>("SSCommand3"), &QAbstractButton::clicked);
    QWidget *widget = find(qPrintable(name));
    widget->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(widget, Qt::Key(key));
    QCOMPARE(first.count() + second.count() + exit.count(), 0);
    QVERIFY(m_window->isVisible());
    QCOMPARE(find<TextBox>("addr")->text(), QString("Address ID"));
}

void TestWindow::noButtonIsDefault_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"SSCommand1", "SSCommand2", "SSCommand3"})
        QTest::newRow(name) << name;
}

void TestWindow::noButtonIsDefault()
{
    QFETCH(QString, name);
    showAndActivate();
    const auto *button = find<QPushButton>(qPrintable(name));
    QVERIFY(!button->isDefault());
    QVERIFY(!button->autoDefault());
}

// A key on the button that has the focus at start does what it does on a
// stock push button that is neither default nor auto-default.
void TestWindow::keysOnFocusedButtonAsOnStockButton_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("enter") << int(Qt::Key_Return);
    QTest::newRow("keypad enter") << int(Qt::Key_Enter);
    QTest::newRow("escape") << int(Qt::Key_Escape);
    QTest::newRow("space") << int(Qt::Key_Space);
}

void TestWindow::keysOnFocusedButtonAsOnStockButton()
{
    QFETCH(int, key);
    QWidget stockWindow;
    auto *stock = new QPushButton(QStringLiteral("Stock"), &stockWindow);
    stock->setAutoDefault(false);
    stock->setDefault(false);
    stockWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&stockWindow));
    stockWindow.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&stockWindow));
    stock->setFocus(Qt::OtherFocusReason);
    QSignalSpy stockClicks(stock, &QAbstractButton::clicked);
    QTest::keyClick(stock, Qt::Key(key));
    stockWindow.hide();

    showAndActivate();
    QCOMPARE(QApplication::focusWidget(), find("SSCommand1"));
    QSignalSpy first(find<QAbstractButton>("SSCommand1"), &QAbstractButton::clicked);
    QSignalSpy second(find<QAbstractButton>("SSCommand2"), &QAbstractButton::clicked);
    QSignalSpy exit(find<QAbstractButton>("SSCommand3"), &QAbstractButton::clicked);
    m_window->fields().setText(Field::ErrorBox, u"kept");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QCOMPARE(first.count(), stockClicks.count());
    QCOMPARE(second.count() + exit.count(), 0);
    QVERIFY(m_window->isVisible());
    if (stockClicks.isEmpty())
        COMPARE_TEXT(m_window->fields().text(Field::ErrorBox), u"kept");
    else
        COMPARE_TEXT(m_window->fields().text(Field::ErrorBox), u16(DOM));
}

void TestWindow::conversionsByMouse_data()
{
    QTest::addColumn<QString>("dom");
    QTest::addColumn<QString>("area");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("addr");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QStringList>("expected"); // dom, area, port, addr, log

    const QStringList toAddress{"SSCommand1"};
    const QStringList toDap{"SSCommand2"};
    QTest::newRow("labels to address") << ""
                                       << ""
                                       << ""
                                       << "" << toAddress
                                       << QStringList{"Domain_ID", "Area_ID", "Port_ID", "Address ID", DOM};
    QTest::newRow("labels to dap") << ""
                                   << ""
                                   << ""
                                   << "" << toDap << QStringList{"Domain_ID", "Area_ID", "Port_ID", "Address ID", ADDR};
    QTest::newRow("1.2.3") << "1"
                           << "2"
                           << "3"
                           << "" << toAddress << QStringList{"1", "2", "3", " 66051", RESULT_123};
    QTest::newRow("66051abc") << ""
                              << ""
                              << ""
                              << "66051abc" << toDap
                              << QStringList{" 1", " 2", " 3", "66051abc", " 66051 --->  1. 2. 3\r\n"};
    QTest::newRow("hex") << ""
                         << ""
                         << ""
                         << "&H010203" << toDap
                         << QStringList{" 1", " 2", " 3", "&H010203", " 66051 --->  1. 2. 3\r\n"};
    QTest::newRow("three errors") << "0"
                                  << "300"
                                  << "-1"
                                  << "" << toAddress << QStringList{"0", "300", "-1", "Address ID", DOM + AREA + PORT};
    QTest::newRow("success then area errors") << "1"
                                              << "2"
                                              << "3"
                                              << "" << QStringList{"SSCommand1", "area:256", "SSCommand1", "SSCommand1"}
                                              << QStringList{"1", "256", "3", " 66051", RESULT_123 + AREA + AREA};
    QTest::newRow("round trip") << "239"
                                << "255"
                                << "255"
                                << "" << QStringList{"SSCommand1", "dom:", "area:", "port:", "SSCommand2"}
                                << QStringList{" 239", " 255", " 255", " 15728639",
                                               " 15728639 --->  239. 255. 255\r\n"};
    QTest::newRow("overflow keeps fields") << "1e400"
                                           << "2"
                                           << "3"
                                           << "" << toAddress << QStringList{"1e400", "2", "3", "Address ID", DOM};
}

// Each button entry is a control to click, or "field:text" to click a field
// (which empties it) and type a text.
void TestWindow::conversionsByMouse()
{
    QFETCH(QString, dom);
    QFETCH(QString, area);
    QFETCH(QString, port);
    QFETCH(QString, addr);
    QFETCH(QStringList, buttons);
    QFETCH(QStringList, expected);
    showAndActivate();

    const auto typeInto = [this](const char *name, const QString &text) {
        click(name);
        QTest::keyClicks(find(name), text);
    };
    const char *names[] = {"dom", "area", "port", "addr"};
    const QString typed[] = {dom, area, port, addr};
    for (int i = 0; i < 4; ++i) {
        if (!typed[i].isEmpty())
            typeInto(names[i], typed[i]);
    }
    for (const QString &step : buttons) {
        const qsizetype colon = step.indexOf(':');
        if (colon < 0)
            click(qPrintable(step));
        else
            typeInto(qPrintable(step.left(colon)), step.mid(colon + 1));
    }
    for (int i = 0; i < 4; ++i)
        QCOMPARE(find<TextBox>(names[i])->text(), expected[i]);
    COMPARE_TEXT(m_window->fields().text(Field::ErrorBox), u16(expected[4]));
    QString shown = expected[4];
    QCOMPARE(find<LogBox>("errorbox")->text(), shown.replace(CRLF, "\n"));
}

void TestWindow::typedLogIsExtendedOrReplaced()
{
    showAndActivate();
    auto *log = find<LogBox>("errorbox");
    log->setFocus(Qt::OtherFocusReason);
    QTest::keyClicks(log, "note");
    QTest::keyClick(log, Qt::Key_Return);
    QTest::keyClicks(log, "second");

    // An area failure appends straight after what the user typed.
    for (const char *name : {"dom", "area", "port"})
        click(name);
    QTest::keyClicks(find("dom"), "1");
    QTest::keyClicks(find("area"), "256");
    QTest::keyClicks(find("port"), "1");
    click("SSCommand1");
    COMPARE_TEXT(m_window->fields().text(Field::ErrorBox), u16("note\r\nsecond" + AREA));
    QCOMPARE(log->text(), "note\nsecondERROR: Area ID must be within [0,255]\n");

    // The user edits again; the next append sees the edit.
    log->setCursorPosition(static_cast<int>(log->text().size()));
    QTest::keyClicks(log, "more");
    click("SSCommand1");
    COMPARE_TEXT(m_window->fields().text(Field::ErrorBox), u16("note\r\nsecond" + AREA + "more" + AREA));

    // A domain failure replaces everything.
    click("dom");
    click("SSCommand1");
    COMPARE_TEXT(m_window->fields().text(Field::ErrorBox), u16(DOM + AREA));
}

void TestWindow::logWritesReported_data()
{
    using Kind = WidgetFields::LogWrite::Kind;
    QTest::addColumn<QStringList>("writes"); // "=" sets the log, "+" appends
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("text");

    QTest::newRow("none") << QStringList{"+"} << int(Kind::None) << 0 << "";
    QTest::newRow("new text") << QStringList{"=new\r\n"} << int(Kind::Replaced) << 0 << "new\n";
    QTest::newRow("same text") << QStringList{"=old\r\n"} << int(Kind::Replaced) << 0 << "old\n";
    QTest::newRow("longer text") << QStringList{"=old\r\nb\r\n"} << int(Kind::Appended) << 4 << "b\n";
    QTest::newRow("appends") << QStringList{"+a\r\n", "+b\r\n"} << int(Kind::Appended) << 4 << "a\nb\n";
    QTest::newRow("append, then new") << QStringList{"+a\r\n", "=b\r\n"} << int(Kind::Replaced) << 0 << "b\n";
    QTest::newRow("new, then append") << QStringList{"=a\r\n", "+b\r\n"} << int(Kind::Replaced) << 0 << "a\nb\n";
}

// The report a conversion's announcement is taken from: what the writes
// since the last report did to a log that held "old".
void TestWindow::logWritesReported()
{
    QFETCH(QStringList, writes);
    QFETCH(int, kind);
    QFETCH(int, from);
    QFETCH(QString, text);
    auto &fields = static_cast<WidgetFields &>(m_window->fields());
    fields.setText(Field::ErrorBox, u"old\r\n");
    fields.takeLogWrite();
    for (const QString &write : writes) {
        const std::u16string written = write.mid(1).toStdU16String();
        if (write.startsWith('='))
            fields.setText(Field::ErrorBox, written);
        else
            fields.appendText(Field::ErrorBox, written);
    }
    const WidgetFields::LogWrite report = fields.takeLogWrite();
    QCOMPARE(int(report.kind), kind);
    QCOMPARE(report.from, from);
    QCOMPARE(report.text, text);
    QCOMPARE(int(fields.takeLogWrite().kind), int(WidgetFields::LogWrite::Kind::None));
}

void TestWindow::logViewAfterAConversion_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("inputs"); // dom, area, port, addr
    QTest::addColumn<QString>("lastLines");  // what the log ends with
    QTest::addColumn<bool>("showsEnd");

    const QString area = "ERROR: Area ID must be within [0,255]\n";
    const QString port = "ERROR: Port ID must be within [0,255]\n";
    QTest::newRow("area error appends") << "SSCommand1" << QStringList{"1", "256", "1", ""} << area << true;
    QTest::newRow("port error appends") << "SSCommand1" << QStringList{"1", "1", "-1", ""} << port << true;
    QTest::newRow("area and port errors append")
        << "SSCommand1" << QStringList{"1", "300", "300", ""} << area + port << true;
    QTest::newRow("domain error replaces")
        << "SSCommand1" << QStringList{"0", "1", "1", ""} << "ERROR: Domain ID must be within [1,239]\n"
        << false;
    QTest::newRow("success replaces") << "SSCommand1" << QStringList{"1", "2", "3", ""} << " 1. 2. 3 --->  66051\n"
                                      << false;
    QTest::newRow("address error replaces")
        << "SSCommand2" << QStringList{"", "", "", "5"} << "ERROR: Address ID must be within [65536,15728896]\n"
        << false;
}

// A conversion that appends leaves the view on the new last lines, with the
// caret after them, twice running as well; one that replaces shows the start.
void TestWindow::logViewAfterAConversion()
{
    QFETCH(QString, button);
    QFETCH(QStringList, inputs);
    QFETCH(QString, lastLines);
    QFETCH(bool, showsEnd);

    showAndActivate();
    auto *log = find<LogBox>("errorbox");
    QString notes;
    for (int i = 0; i < 30; ++i)
        notes += QString("note %1\n").arg(i);
    log->setFocus(Qt::OtherFocusReason);
    log->insert(notes);
    QTest::keyClick(log, Qt::Key_Home, Qt::ControlModifier);
    const char *names[] = {"dom", "area", "port", "addr"};
    for (int i = 0; i < 4; ++i) {
        click(names[i]);
        QTest::keyClicks(find(names[i]), inputs.at(i));
    }
    for (int run = 0; run < 2; ++run) {
        click(button.toLatin1().constData());
        QVERIFY(log->text().endsWith(lastLines));
        const QRect caret = log->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        if (showsEnd) {
            QCOMPARE(log->text(), notes + lastLines.repeated(run + 1));
            QCOMPARE(log->cursorPosition(), log->text().size());
            QVERIFY(log->rect().contains(caret));
            // The new lines stand right above the caret's empty line.
            const int newLines = static_cast<int>(lastLines.count('\n'));
            QVERIFY(log->firstVisibleLine() <= log->lineCount() - 1 - newLines);
            QVERIFY(log->firstVisibleLine() > 0);
        } else {
            QCOMPARE(log->text(), lastLines);
            QCOMPARE(log->cursorPosition(), 0);
            QCOMPARE(log->firstVisibleLine(), 0);
        }
    }
}

void TestWindow::longLinesWrapWithoutScrollBars()
{
    showAndActivate();
    auto *log = find<LogBox>("errorbox");
    QString text;
    for (int i = 0; i < 60; ++i)
        text +=
            "ERROR: Address ID must be within [65536,15728896] ERROR: Address ID must be within [65536,15728896]\r\n";
    m_window->fields().setText(Field::ErrorBox, u16(text));
    QCoreApplication::processEvents();
    QVERIFY(log->lineCount() > 120);
    QVERIFY(log->findChild<QScrollBar *>() == nullptr);
}

// Whatever the text box keeps inside, the field's text has CR LF line ends.
void TestWindow::logLineEndsAfterEdits()
{
    FieldModel &fields = m_window->fields();
    const auto roundTrip = [&](const QString &set, const QString &read) {
        fields.setText(Field::ErrorBox, u16(set));
        COMPARE_TEXT(fields.text(Field::ErrorBox), u16(read));
    };
    roundTrip("a\r\nb\r\n", "a\r\nb\r\n");
    roundTrip("a\nb", "a\r\nb");
    roundTrip("a\rb\r", "a\r\nb\r\n");
    roundTrip(QString("a") + QChar(0x2029) + "b", "a\r\nb");
    roundTrip(QString("no") + QChar(0xA0) + "break", QString("no") + QChar(0xA0) + "break");
    roundTrip("", "");
    // Extending the old text appends; the result reads back the same.
    roundTrip("x\r\n", "x\r\n");
    roundTrip("x\r\ny\r\n", "x\r\ny\r\n");
    roundTrip("x\r\ny\r\nz", "x\r\ny\r\nz");
    QCOMPARE(find<LogBox>("errorbox")->text(), QString("x\ny\nz"));
}

// A paste of a million characters without a break wraps (in time linear in its
// length; ctest's timeout catches the quadratic case) and is kept whole.
void TestWindow::hugeUnbrokenLogText()
{
    showAndActivate();
    FieldModel &fields = m_window->fields();
    const std::u16string huge(1'000'000, u'7');
    fields.setText(Field::ErrorBox, huge);
    QCoreApplication::processEvents();
    auto *log = find<LogBox>("errorbox");
    QVERIFY(log->lineCount() > 1000);
    COMPARE_TEXT(fields.text(Field::ErrorBox), huge);
    for (const char *name : {"dom", "area", "port"})
        click(name);
    QTest::keyClicks(find("dom"), "1");
    QTest::keyClicks(find("area"), "999");
    click("SSCommand1");
    COMPARE_TEXT(fields.text(Field::ErrorBox), huge + u16(AREA));
}

void TestWindow::exitEndsProgram()
{
    showAndActivate();
    QTest::keyClicks(find("dom"), "unconverted");
    QTimer::singleShot(0, this, [this] { click("SSCommand3"); });
    QTimer::singleShot(10000, this, [] { QCoreApplication::exit(99); });
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!m_window->isVisible());
}

void TestWindow::closeBoxEndsProgram()
{
    showAndActivate();
    QTimer::singleShot(0, m_window.get(), &QWidget::close);
    QTimer::singleShot(10000, this, [] { QCoreApplication::exit(99); });
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!m_window->isVisible());
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
