// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// The text boxes on their own: the input fields' single-line box and the
// message log's multi-line box. Editing keys, selection, clipboard, undo,
// mouse placement, how the log wraps and where it shows its caret, and texts
// of many megabytes. Where Qt's own QLineEdit and QPlainTextEdit define the
// behaviour, the same steps are played on them side by side.

#include "logbox.h"
#include "testsupport.h"
#include "textbox.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextLayout>
#include <QtTest>

using namespace quorran;

class TestTextBox : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void editing_data();
    void editing();
    void platformKeys_data();
    void platformKeys();
    void primarySelection_data();
    void primarySelection();
    void clipboardRoundTrip();
    void mousePlacesAndSelects();
    void mouseSelections_data();
    void mouseSelections();
    void dropText();
    void dragMovesWithinBox();
    void focusOutSelection_data();
    void focusOutSelection();
    void contextMenuStates_data();
    void contextMenuStates();
    void inputMethodComposition();
    void inputMethodQueries_data();
    void inputMethodQueries();
    void accessibleValue_data();
    void accessibleValue();
    void hugeText();
    void hugeTextInView_data();
    void hugeTextInView();
    void showsLikeLineEdit_data();
    void showsLikeLineEdit();
    void labelStartsAtLeftEdge_data();
    void labelStartsAtLeftEdge();
    void lineSeparatorShowsInLine_data();
    void lineSeparatorShowsInLine();
    void logEditing_data();
    void logEditing();
    void logPageKeys();
    void logWrapping_data();
    void logWrapping();
    void logEditsWrapLikeAFreshBox();
    void logCaretStaysInView();
    void logWheelScrollsLikePlainTextEdit_data();
    void logWheelScrollsLikePlainTextEdit();
    void logShowsWholeLinesOnly();
    void logLineEnds();
    void logLineEndOutlastsScrolling_data();
    void logLineEndOutlastsScrolling();
    void tabIntoBoxes();
    void logHugeText();
    void middleClickPastesSelection();
    void hugePasteUndone();
    void logFontChangeWraps();
    void longFieldScrollsWithCaret();
    void compositionScrolledIntoView_data();
    void compositionScrolledIntoView();

private:
    std::unique_ptr<QWidget> m_window;
    TextBox *m_box = nullptr;
    LogBox *m_log = nullptr;
    // Qt's own boxes of the same font and size.
    QLineEdit *m_lineEdit = nullptr;
    QPlainTextEdit *m_plain = nullptr;
};

namespace {

// Each step is a text to type, a key sequence in "<...>", or "AltGr+" and
// the text that AltGr with a key types.
void play(QWidget *box, const QStringList &steps)
{
    for (const QString &step : steps) {
        if (step.startsWith("AltGr+")) {
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, step.mid(6), Qt::GroupSwitchModifier);
        } else if (step.startsWith('<') && step.endsWith('>')) {
            const QKeyCombination keys = QKeySequence(step.mid(1, step.size() - 2))[0];
            QTest::keyClick(box, keys.key(), keys.keyboardModifiers());
        } else {
            // One key event that carries the whole text, as a keyboard layout
            // or input method delivers characters beyond ASCII.
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, step, Qt::NoModifier);
        }
    }
}

// The log's text and selection as QPlainTextEdit gives them, with a
// paragraph separator for each line break.
QString asPlain(QString text) { return text.replace(QLatin1Char('\n'), QChar(QChar::ParagraphSeparator)); }

void sendMouse(QWidget *widget, QEvent::Type type, const QPoint &point, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, point, widget->mapToGlobal(point), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// A point on the character at `position`, found from where the caret goes.
QPoint pointAt(QWidget *box, int position)
{
    QRect caret;
    if (auto *plain = qobject_cast<QPlainTextEdit *>(box)) {
        QTextCursor cursor = plain->textCursor();
        cursor.setPosition(position);
        caret = plain->cursorRect(cursor);
    } else {
        if (auto *edit = qobject_cast<QLineEdit *>(box))
            edit->setCursorPosition(position);
        else
            static_cast<EditBox *>(box)->setCursorPosition(position);
        caret = box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    }
    return {caret.left() + 2, caret.center().y()};
}

std::vector<int> lineStarts(const LogBox &box)
{
    std::vector<int> starts;
    starts.reserve(static_cast<std::size_t>(box.lineCount()));
    for (int line = 0; line < box.lineCount(); ++line)
        starts.push_back(box.lineStart(line));
    return starts;
}

// The room the log's lines have: the box less its frame and margins.
qreal roomOf(const LogBox &box)
{
    const QRect caret = box.inputMethodQuery(Qt::ImCursorRectangle).toRect();
    return box.width() - 2 * caret.left();
}

} // namespace

void TestTextBox::init()
{
    m_window = std::make_unique<QWidget>();
    m_box = new TextBox(m_window.get());
    m_box->setGeometry(8, 8, 133, 21);
    m_log = new LogBox(m_window.get());
    m_log->setGeometry(8, 40, 258, 81);
    m_log->setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    m_lineEdit = new QLineEdit(m_window.get());
    m_lineEdit->setGeometry(8, 130, 133, 21);
    m_lineEdit->setFont(m_box->font());
    m_plain = new QPlainTextEdit(m_window.get());
    m_plain->setGeometry(8, 160, 258, 81);
    m_plain->setFont(m_log->font());
    m_plain->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_plain->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_plain->setTabChangesFocus(true);
    QGuiApplication::clipboard()->clear();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    // Lines as wide as ours, whatever the margins of either box.
    const int room = m_log->width() - 2 * m_log->inputMethodQuery(Qt::ImCursorRectangle).toRect().left();
    const int stockRoom = m_plain->viewport()->width() - 2 * static_cast<int>(m_plain->document()->documentMargin());
    m_plain->resize(m_plain->width() + room - stockRoom, m_plain->height());
    // Without a window manager nothing activates a new window; keys and
    // focus moves need an active one.
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_box->setFocus(Qt::OtherFocusReason);
}

void TestTextBox::cleanup() { m_window.reset(); }

void TestTextBox::editing_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QStringList>("steps"); // "text" to type, or a key sequence in "<...>"
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<bool>("likeLineEdit");

    QTest::newRow("type into empty") << "" << QStringList{"12"} << "12" << 2 << "" << true;
    QTest::newRow("home then type") << "345" << QStringList{"<Home>", "12"} << "12345" << 2 << "" << true;
    QTest::newRow("backspace") << "abc" << QStringList{"<Backspace>"} << "ab" << 2 << "" << true;
    QTest::newRow("delete at home") << "abc" << QStringList{"<Home>", "<Del>"} << "bc" << 0 << "" << true;
    QTest::newRow("shift-select and type")
        << "abcd" << QStringList{"<Shift+Left>", "<Shift+Left>", "X"} << "abX" << 3 << "" << true;
    QTest::newRow("select all and type") << "abc" << QStringList{"<Ctrl+A>", "z"} << "z" << 1 << "" << true;
    QTest::newRow("undo") << "abc" << QStringList{"d", "<Ctrl+Z>"} << "abc" << 3 << "" << true;
    QTest::newRow("undo then redo") << "abc" << QStringList{"d", "<Ctrl+Z>", "<Ctrl+Shift+Z>"} << "abcd" << 4 << ""
                                    << true;
    QTest::newRow("backspace over surrogate pair")
        << QString::fromUtf8("a\U0001F600") << QStringList{"<Backspace>"} << "a" << 1 << "" << true;
    QTest::newRow("left over surrogate pair") << QString::fromUtf8("a\U0001F600") << QStringList{"<Left>", "x"}
                                              << QString::fromUtf8("ax\U0001F600") << 2 << "" << true;
    QTest::newRow("left over combining mark") << QString::fromUtf8("e\u0301x") << QStringList{"<Left>", "<Left>", "y"}
                                              << QString::fromUtf8("ye\u0301x") << 1 << "" << true;
    QTest::newRow("word left") << "12 345" << QStringList{"<Ctrl+Left>", "_"} << "12 _345" << 4 << "" << true;
    QTest::newRow("word right") << "12 345" << QStringList{"<Home>", "<Ctrl+Right>", "_"} << "12 _345" << 4 << ""
                                << true;
    QTest::newRow("enter types nothing") << "1" << QStringList{"<Return>", "<Esc>"} << "1" << 1 << "" << true;
    QTest::newRow("ctrl letters type nothing") << "1" << QStringList{"<Ctrl+B>"} << "1" << 1 << "" << true;
    QTest::newRow("any script") << "" << QStringList{QString::fromUtf8("\u0661\u4E2D")}
                                << QString::fromUtf8("\u0661\u4E2D") << 2 << "" << true;
    QTest::newRow("right over surrogate pair")
        << QString::fromUtf8("a\U0001F600") << QStringList{"<Home>", "<Right>", "<Right>", "x"}
        << QString::fromUtf8("a\U0001F600x") << 4 << "" << true;
    QTest::newRow("word right stops at punctuation")
        << "a..b, c" << QStringList{"<Home>", "<Ctrl+Right>", "<Ctrl+Right>", "<Ctrl+Right>", "_"} << "a..b_, c" << 5
        << "" << true;
    QTest::newRow("word left stops at punctuation")
        << "a..b, c" << QStringList{"<Ctrl+Left>", "<Ctrl+Left>", "_"} << "a..b_, c" << 5 << "" << true;
    // QLineEdit of Qt 6.4 first extends the selection by a word; QPlainTextEdit
    // and later line edits delete just the selection.
    QTest::newRow("delete word end deletes the selection")
        << "abc def" << QStringList{"<Home>", "<Shift+Right>", "<Ctrl+Del>"} << "bc def" << 0 << "" << false;
    QTest::newRow("delete word start deletes the selection")
        << "abc def" << QStringList{"<Shift+Left>", "<Ctrl+Backspace>"} << "abc de" << 6 << "" << false;
    QTest::newRow("delete word end") << "abc def" << QStringList{"<Home>", "<Ctrl+Del>"} << "def" << 0 << "" << true;
    QTest::newRow("delete word start") << "ab.cd" << QStringList{"<Ctrl+Backspace>"} << "ab." << 3 << "" << true;
    QTest::newRow("cut a backward selection")
        << "abcd" << QStringList{"<Shift+Left>", "<Shift+Left>", "<Ctrl+X>"} << "ab" << 2 << "cd" << true;
    QTest::newRow("copy a forward selection")
        << "abcd" << QStringList{"<Home>", "<Shift+Right>", "<Ctrl+C>", "<End>"} << "abcd" << 4 << "a" << true;
    QTest::newRow("undo a typed run at once")
        << "ab" << QStringList{"c", "d", "e", "<Ctrl+Z>"} << "ab" << 2 << "" << true;
    QTest::newRow("undo typing after backspace")
        << "ab" << QStringList{"c", "d", "<Backspace>", "e", "<Ctrl+Z>"} << "abc" << 3 << "" << true;
    QTest::newRow("undo a run of backspaces")
        << "abcd" << QStringList{"<Backspace>", "<Backspace>", "<Ctrl+Z>"} << "abcd" << 4 << "" << true;
    QTest::newRow("undo after moving is a new step")
        << "ab" << QStringList{"c", "<Left>", "<Right>", "d", "<Ctrl+Z>"} << "abc" << 3 << "" << true;
    QTest::newRow("undo selects the deleted text again")
        << "abcdef"
        << QStringList{"<Home>", "<Right>", "<Shift+Right>", "<Shift+Right>", "<Del>", "<Ctrl+Z>", "<Ctrl+C>"}
        << "abcdef" << 3 << "bc" << true;
    QTest::newRow("undo typing over a selection")
        << "abcdef" << QStringList{"<Shift+Left>", "<Shift+Left>", "x", "y", "<Ctrl+Z>"} << "abcdef" << 4 << "" << true;
    QTest::newRow("redo after a new edit does nothing")
        << "ab" << QStringList{"c", "<Ctrl+Z>", "d", "<Ctrl+Shift+Z>"} << "abd" << 3 << "" << true;
    QTest::newRow("undo and redo twice")
        << "ab" << QStringList{"c", "<Left>", "d", "<Ctrl+Z>", "<Ctrl+Z>", "<Ctrl+Shift+Z>", "<Ctrl+Shift+Z>"} << "abdc"
        << 3 << "" << true;
    // Unlike QLineEdit: a stray Alt shortcut must not change a number.
    QTest::newRow("alt digit types nothing") << "12" << QStringList{"<Alt+1>", "<Alt+X>"} << "12" << 2 << "" << false;
    QTest::newRow("altgr types") << "1" << QStringList{"AltGr+@"} << "1@" << 2 << "" << true;
    // As QLineEdit under X11 (tst_randomkeys); offscreen it also steps on.
    QTest::newRow("left collapses a selection to its start")
        << "abcdef" << QStringList{"<Home>", "<Right>", "<Shift+Right>", "<Shift+Right>", "<Left>", "x"} << "axbcdef"
        << 2 << "" << false;
    QTest::newRow("right collapses a selection to its end")
        << "abcdef" << QStringList{"<Home>", "<Right>", "<Shift+Right>", "<Shift+Right>", "<Right>", "x"} << "abcxdef"
        << 4 << "" << false;
}

void TestTextBox::editing()
{
    QFETCH(QString, initial);
    QFETCH(QStringList, steps);
    QFETCH(QString, expected);
    QFETCH(int, cursor);
    QFETCH(QString, clipboard);
    QFETCH(bool, likeLineEdit);

    m_box->setText(initial);
    play(m_box, steps);
    QCOMPARE(m_box->text(), expected);
    QCOMPARE(m_box->cursorPosition(), cursor);
    QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
    if (!likeLineEdit)
        return;
    QGuiApplication::clipboard()->clear();
    m_lineEdit->setText(initial);
    play(m_lineEdit, steps);
    QCOMPARE(m_box->text(), m_lineEdit->text());
    QCOMPARE(m_box->cursorPosition(), m_lineEdit->cursorPosition());
    QCOMPARE(m_box->selectedText(), m_lineEdit->selectedText());
    QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
}

void TestTextBox::platformKeys_data()
{
    QTest::addColumn<bool>("log");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<bool>("likeStock");

    const int endOfLine = QKeySequence::DeleteEndOfLine;
    const int wholeLine = QKeySequence::DeleteCompleteLine;
    QTest::newRow("field: to the end") << false << endOfLine << "12 345" << QStringList{"<Home>", "<Right>"} << "1"
                                       << "2 345" << true;
    QTest::newRow("field: whole line") << false << wholeLine << "12 345" << QStringList{"<Left>"} << ""
                                       << "12 345" << true;
    QTest::newRow("log: to the line end") << true << endOfLine << "ab cd\nef" << QStringList{"<Right>"} << "a\nef"
                                          << "" << true;
    QTest::newRow("log: at the line end") << true << endOfLine << "ab\ncd" << QStringList{"<End>"} << "ab\ncd"
                                          << "" << true;
    // QPlainTextEdit of Qt 6.4 leaves this key alone.
    QTest::newRow("log: whole line") << true << wholeLine << "ab\ncd\nef" << QStringList{"<Down>", "<Right>"}
                                     << "ab\n\nef"
                                     << "" << false;
}

// The keys the platform binds to deleting a line, as Qt's own boxes take
// them (Ctrl+K and Ctrl+U on X11).
void TestTextBox::platformKeys()
{
    QFETCH(bool, log);
    QFETCH(int, key);
    QFETCH(QString, initial);
    QFETCH(QStringList, steps);
    QFETCH(QString, expected);
    QFETCH(QString, clipboard);
    QFETCH(bool, likeStock);

    const QList<QKeySequence> bindings = QKeySequence::keyBindings(static_cast<QKeySequence::StandardKey>(key));
    if (bindings.isEmpty())
        QSKIP("no key bound on this platform");
    const QKeyCombination keys = bindings.first()[0];
    QWidget *ours = log ? static_cast<QWidget *>(m_log) : m_box;
    QWidget *stock = log ? static_cast<QWidget *>(m_plain) : m_lineEdit;
    if (log) {
        m_log->setText(initial);
        m_plain->setPlainText(initial);
    } else {
        m_box->setText(initial);
        m_lineEdit->setText(initial);
    }
    play(ours, steps);
    QTest::keyClick(ours, keys.key(), keys.keyboardModifiers());
    QCOMPARE(static_cast<EditBox *>(ours)->text(), expected);
    QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
    if (!likeStock)
        return;
    QGuiApplication::clipboard()->clear();
    play(stock, steps);
    QTest::keyClick(stock, keys.key(), keys.keyboardModifiers());
    QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
    if (log) {
        QCOMPARE(asPlain(m_log->text()), m_plain->document()->toRawText());
        QCOMPARE(m_log->cursorPosition(), m_plain->textCursor().position());
    } else {
        QCOMPARE(m_box->text(), m_lineEdit->text());
        QCOMPARE(m_box->cursorPosition(), m_lineEdit->cursorPosition());
    }
}

void TestTextBox::primarySelection_data()
{
    QTest::addColumn<bool>("log");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("selection");

    QTest::newRow("field: shift and arrows") << false << QStringList{"<Shift+Left>", "<Shift+Left>"} << "45";
    QTest::newRow("field: select all") << false << QStringList{"<Ctrl+A>"} << "12 345";
    QTest::newRow("field: shift and word") << false << QStringList{"<Home>", "<Ctrl+Shift+Right>"} << "12 ";
    QTest::newRow("log: shift and down") << true << QStringList{"<Shift+Down>"} << "12 345\n";
    QTest::newRow("log: shift and end") << true << QStringList{"<Shift+End>"} << "12 345";
}

// A selection made with the keyboard becomes the X11 primary selection, as
// one made with the mouse does.
void TestTextBox::primarySelection()
{
    QFETCH(bool, log);
    QFETCH(QStringList, steps);
    QFETCH(QString, selection);

    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard->supportsSelection())
        QSKIP("no primary selection on this platform");
    clipboard->clear(QClipboard::Selection);
    if (log)
        m_log->setText("12 345\nsix");
    else
        m_box->setText("12 345");
    play(log ? static_cast<QWidget *>(m_log) : m_box, steps);
    QTRY_COMPARE(clipboard->text(QClipboard::Selection), selection);
}

void TestTextBox::clipboardRoundTrip()
{
    m_box->setText("66051");
    QTest::keyClick(m_box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(m_box, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("66051"));
    QTest::keyClick(m_box, Qt::Key_End);
    QTest::keyClick(m_box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(m_box->text(), QString("6605166051"));
    QTest::keyClick(m_box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(m_box, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(m_box->text(), QString());
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("6605166051"));
}

void TestTextBox::mousePlacesAndSelects()
{
    m_box->setText("123456");
    QSignalSpy clicks(m_box, &TextBox::clicked);
    QTest::mouseClick(m_box, Qt::LeftButton, Qt::NoModifier, QPoint(1, 10));
    QCOMPARE(m_box->cursorPosition(), 0);
    QTest::mouseClick(m_box, Qt::LeftButton, Qt::NoModifier, QPoint(m_box->width() - 2, 10));
    QCOMPARE(m_box->cursorPosition(), 6);
    QCOMPARE(clicks.count(), 2);

    QTest::mousePress(m_box, Qt::LeftButton, Qt::NoModifier, QPoint(1, 10));
    QMouseEvent move(QEvent::MouseMove, QPointF(m_box->width() - 2, 10),
                     m_box->mapToGlobal(QPointF(m_box->width() - 2, 10)), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_box, &move);
    QCOMPARE(m_box->selectedText(), QString("123456"));
    // Released outside the box: no click.
    QTest::mouseRelease(m_box, Qt::LeftButton, Qt::NoModifier, QPoint(m_box->width() + 20, 10));
    QCOMPARE(clicks.count(), 2);
}

void TestTextBox::mouseSelections_data()
{
    QTest::addColumn<bool>("log");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("clicks"); // on the character at `at`
    QTest::addColumn<int>("at");
    QTest::addColumn<int>("dragTo"); // a character dragged to after the clicks, or -1
    QTest::addColumn<QString>("selected");
    QTest::addColumn<bool>("likeStock");

    QTest::newRow("field: double click on a word") << false << "abc def" << 2 << 5 << -1 << "def" << true;
    QTest::newRow("field: double click on punctuation") << false << "12..34" << 2 << 2 << -1 << ".." << true;
    QTest::newRow("field: double click on a number") << false << "0x10 20" << 2 << 1 << -1 << "0x10" << true;
    QTest::newRow("field: triple click") << false << "abc def.ghi" << 3 << 1 << -1 << "abc def.ghi" << true;
    // QLineEdit extends by characters here.
    QTest::newRow("field: double click and drag") << false << "abc def ghi" << 2 << 1 << 9 << "abc def ghi" << false;
    QTest::newRow("field: double click and drag back")
        << false << "abc def ghi" << 2 << 9 << 1 << "abc def ghi" << false;
    QTest::newRow("log: double click on a word") << true << "one two\nthree" << 2 << 5 << -1 << "two" << true;
    QTest::newRow("log: triple click") << true << "one two\nthree four" << 3 << 10 << -1 << "three four" << true;
    QTest::newRow("log: triple click takes the line break") << true << "one\ntwo\n" << 3 << 5 << -1 << "two\n" << true;
    QTest::newRow("log: triple click on a wrapped line")
        << true << QString(25, 'x') + ' ' + QString(25, 'y') + "\nz" << 3 << 3 << -1
        << QString(25, 'x') + ' ' + QString(25, 'y') + "\n"
        << true;
    QTest::newRow("log: double click and drag") << true << "one two three" << 2 << 1 << 12 << "one two three" << true;
}

// Double and triple clicks, and a drag after a double click.
void TestTextBox::mouseSelections()
{
    QFETCH(bool, log);
    QFETCH(QString, text);
    QFETCH(int, clicks);
    QFETCH(int, at);
    QFETCH(int, dragTo);
    QFETCH(QString, selected);
    QFETCH(bool, likeStock);

    const auto run = [&](QWidget *box, QWidget *target) {
        const QPoint point = pointAt(box, at);
        const QPoint to = dragTo >= 0 ? pointAt(box, dragTo) : point;
        sendMouse(target, QEvent::MouseButtonPress, point, Qt::LeftButton);
        sendMouse(target, QEvent::MouseButtonRelease, point, Qt::NoButton);
        sendMouse(target, QEvent::MouseButtonDblClick, point, Qt::LeftButton);
        if (clicks == 3) {
            sendMouse(target, QEvent::MouseButtonRelease, point, Qt::NoButton);
            sendMouse(target, QEvent::MouseButtonPress, point, Qt::LeftButton);
        }
        if (dragTo >= 0)
            sendMouse(target, QEvent::MouseMove, to, Qt::LeftButton);
        sendMouse(target, QEvent::MouseButtonRelease, to, Qt::NoButton);
    };
    if (log) {
        m_log->setText(text);
        run(m_log, m_log);
        QCOMPARE(m_log->selectedText(), selected);
        m_plain->setPlainText(text);
        QCoreApplication::processEvents(); // QPlainTextEdit wraps later
        run(m_plain, m_plain->viewport());
        if (likeStock)
            QCOMPARE(asPlain(m_log->selectedText()), m_plain->textCursor().selectedText());
    } else {
        m_box->setText(text);
        run(m_box, m_box);
        QCOMPARE(m_box->selectedText(), selected);
        m_lineEdit->setText(text);
        run(m_lineEdit, m_lineEdit);
        if (likeStock)
            QCOMPARE(m_box->selectedText(), m_lineEdit->selectedText());
    }
}

// Text dropped from elsewhere goes in where it is dropped; a drop is no click.
void TestTextBox::dropText()
{
    for (EditBox *box : {static_cast<EditBox *>(m_box), static_cast<EditBox *>(m_log)}) {
        if (box == m_box)
            m_box->setText("1234");
        else
            m_log->setText("1234");
        QSignalSpy clicks(box, &EditBox::clicked);
        QMimeData data;
        data.setText("ab");
        const QPoint point = pointAt(box, 2);
        QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(box->text(), QString("12ab34"));
        QCOMPARE(clicks.count(), 0);
        box->undo();
        QCOMPARE(box->text(), QString("1234"));
    }
}

// A selection dragged to another place in the same box moves there, as in
// QLineEdit, and one undo puts it back.
void TestTextBox::dragMovesWithinBox()
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        QSKIP("no drag and drop on this platform");
    m_box->setText("abc def");
    m_box->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(m_box, Qt::Key_Home);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(m_box, Qt::Key_Right, Qt::ShiftModifier);
    const QPoint from = pointAt(m_box, 1);
    const QPoint to = pointAt(m_box, 6);
    m_box->setCursorPosition(0);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(m_box, Qt::Key_Right, Qt::ShiftModifier);
    QWindow *window = m_window->windowHandle();
    const QPoint start = m_box->mapTo(m_window.get(), from);
    const QPoint end = m_box->mapTo(m_window.get(), to);
    // The drag runs its own event loop; the mouse moves and lets go from there.
    QTimer::singleShot(50, window, [window, start, end] {
        QTest::mouseMove(window, start + QPoint(20, 0));
        QTest::mouseMove(window, end);
        QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, end);
    });
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, start);
    QTest::mouseMove(window, start + QPoint(QApplication::startDragDistance() + 5, 0));
    QTRY_COMPARE(m_box->text(), QString(" deabcf"));
    QCOMPARE(m_box->selectedText(), QString("abc"));
    m_box->undo();
    QCOMPARE(m_box->text(), QString("abc def"));
    // One redo brings back both the removal and the insertion.
    m_box->redo();
    QCOMPARE(m_box->text(), QString(" deabcf"));
    QVERIFY(!m_box->isRedoAvailable());
}

void TestTextBox::focusOutSelection_data()
{
    QTest::addColumn<bool>("log");
    QTest::addColumn<bool>("kept");
    QTest::newRow("field drops it, as QLineEdit") << false << false;
    QTest::newRow("log keeps it, as QPlainTextEdit") << true << true;
}

void TestTextBox::focusOutSelection()
{
    QFETCH(bool, log);
    QFETCH(bool, kept);
    auto *other = new QWidget(m_window.get());
    other->setFocusPolicy(Qt::StrongFocus);
    other->show();
    QWidget *ours = log ? static_cast<QWidget *>(m_log) : m_box;
    QWidget *stock = log ? static_cast<QWidget *>(m_plain) : m_lineEdit;
    if (log) {
        m_log->setText("abc");
        m_plain->setPlainText("abc");
    } else {
        m_box->setText("abc");
        m_lineEdit->setText("abc");
    }
    for (QWidget *box : {ours, stock}) {
        box->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        other->setFocus(Qt::OtherFocusReason);
    }
    const bool stockKept = log ? m_plain->textCursor().hasSelection() : m_lineEdit->hasSelectedText();
    QCOMPARE(static_cast<EditBox *>(ours)->hasSelectedText(), kept);
    QCOMPARE(stockKept, kept);
}

void TestTextBox::contextMenuStates_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("clipboard");

    QTest::newRow("empty") << "" << QStringList{} << "";
    QTest::newRow("nothing selected") << "abc" << QStringList{} << "x";
    QTest::newRow("part selected") << "abc" << QStringList{"<Shift+Left>"} << "";
    QTest::newRow("all selected") << "abc" << QStringList{"<Ctrl+A>"} << "x";
    QTest::newRow("after an edit") << "abc" << QStringList{"d"} << "";
    QTest::newRow("after undo") << "abc" << QStringList{"d", "<Ctrl+Z>"} << "";
}

// The context menu enables what QLineEdit's menu enables.
void TestTextBox::contextMenuStates()
{
    QFETCH(QString, initial);
    QFETCH(QStringList, steps);
    QFETCH(QString, clipboard);

    m_box->setText(initial);
    play(m_box, steps);
    m_lineEdit->setText(initial);
    play(m_lineEdit, steps);
    QGuiApplication::clipboard()->setText(clipboard);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), m_box->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(m_box, &event);
    auto *menu = m_box->findChild<QMenu *>();
    QVERIFY(menu != nullptr);
    const std::unique_ptr<QMenu> stock(m_lineEdit->createStandardContextMenu());
    // Undo, Redo, Cut, Copy, Paste, Delete and Select All, in this order.
    const auto states = [](const QMenu &from) {
        QList<bool> enabled;
        for (const QAction *action : from.actions()) {
            if (!action->isSeparator() && enabled.size() < 7)
                enabled.append(action->isEnabled());
        }
        return enabled;
    };
    QCOMPARE(states(*menu), states(*stock));
    menu->close();
}

// A composition shows at the caret but is not text until committed.
void TestTextBox::inputMethodComposition()
{
    m_box->setText("12");
    m_lineEdit->setText("12");
    const QImage before = m_box->grab().toImage();
    QTextCharFormat format;
    format.setBackground(Qt::yellow);
    const QList<QInputMethodEvent::Attribute> attributes = {
        {QInputMethodEvent::Cursor, 1, 1, QVariant()},
        {QInputMethodEvent::TextFormat, 0, 2, format},
    };
    // The input method places its window by the caret inside the composition.
    const auto caretX = [](QWidget *box) { return box->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x(); };
    const int boxBefore = caretX(m_box);
    const int lineEditBefore = caretX(m_lineEdit);
    for (QWidget *box : {static_cast<QWidget *>(m_box), static_cast<QWidget *>(m_lineEdit)}) {
        QInputMethodEvent compose("ka", attributes);
        QApplication::sendEvent(box, &compose);
    }
    QVERIFY(caretX(m_box) > boxBefore);
    QVERIFY(qAbs((caretX(m_box) - boxBefore) - (caretX(m_lineEdit) - lineEditBefore)) <= 1);
    QCOMPARE(m_box->text(), QString("12"));
    QVERIFY(m_box->grab().toImage() != before);
    for (QWidget *box : {static_cast<QWidget *>(m_box), static_cast<QWidget *>(m_lineEdit)}) {
        QInputMethodEvent commit;
        commit.setCommitString(QString::fromUtf8("\u304B"), -1, 1);
        QApplication::sendEvent(box, &commit);
    }
    QCOMPARE(m_box->text(), m_lineEdit->text());
    QCOMPARE(m_box->text(), QString::fromUtf8("1\u304B"));
    QCOMPARE(m_box->cursorPosition(), m_lineEdit->cursorPosition());
    QCOMPARE(m_box->grab().toImage() == before, false);
    // The input method selects, in the text it was shown.
    for (QWidget *box : {static_cast<QWidget *>(m_box), static_cast<QWidget *>(m_lineEdit)}) {
        QInputMethodEvent select(QString(), {{QInputMethodEvent::Selection, 0, 1, QVariant()}});
        QApplication::sendEvent(box, &select);
    }
    QCOMPARE(m_box->selectedText(), m_lineEdit->selectedText());
    QCOMPARE(m_box->cursorPosition(), m_lineEdit->cursorPosition());
    // A typed run of commits is one undo step.
    for (const char *typed : {"a", "b"}) {
        QInputMethodEvent commit;
        commit.setCommitString(typed);
        QApplication::sendEvent(m_box, &commit);
    }
    m_box->undo();
    QCOMPARE(m_box->text(), QString::fromUtf8("1\u304B"));
}

void TestTextBox::inputMethodQueries_data()
{
    QTest::addColumn<int>("query");
    QTest::newRow("ImEnabled") << int(Qt::ImEnabled);
    QTest::newRow("ImCursorPosition") << int(Qt::ImCursorPosition);
    QTest::newRow("ImAnchorPosition") << int(Qt::ImAnchorPosition);
    QTest::newRow("ImAbsolutePosition") << int(Qt::ImAbsolutePosition);
    QTest::newRow("ImSurroundingText") << int(Qt::ImSurroundingText);
    QTest::newRow("ImCurrentSelection") << int(Qt::ImCurrentSelection);
    QTest::newRow("ImTextBeforeCursor") << int(Qt::ImTextBeforeCursor);
    QTest::newRow("ImTextAfterCursor") << int(Qt::ImTextAfterCursor);
    QTest::newRow("ImFont") << int(Qt::ImFont);
    QTest::newRow("ImHints") << int(Qt::ImHints);
}

// On a short text the answers are QLineEdit's; the log adds ImhMultiLine.
// On ten megabytes the text an input method is shown stays short.
void TestTextBox::inputMethodQueries()
{
    QFETCH(int, query);
    const auto property = static_cast<Qt::InputMethodQuery>(query);
    for (const QString &text : {QString("12 345"), QString::fromUtf8("a\U0001F600b c")}) {
        m_box->setText(text);
        m_lineEdit->setText(text);
        for (QWidget *box : {static_cast<QWidget *>(m_box), static_cast<QWidget *>(m_lineEdit)}) {
            QTest::keyClick(box, Qt::Key_Left);
            QTest::keyClick(box, Qt::Key_Left, Qt::ShiftModifier);
        }
        QCOMPARE(m_box->inputMethodQuery(property), m_lineEdit->inputMethodQuery(property));
    }
    for (const Qt::InputMethodQuery other :
         {Qt::ImCursorRectangle, Qt::ImAnchorRectangle, Qt::ImMaximumTextLength, Qt::ImReadOnly, Qt::ImEnterKeyType})
        QVERIFY(m_box->inputMethodQuery(other).isValid());
    QVERIFY(m_log->inputMethodQuery(Qt::ImHints).toInt() & Qt::ImhMultiLine);

    m_box->setText(QString(qsizetype{10} * 1024 * 1024, QLatin1Char('7')));
    m_box->setCursorPosition(5 * 1024 * 1024);
    const QVariant answer = m_box->inputMethodQuery(property);
    if (answer.typeId() == QMetaType::QString && property != Qt::ImCurrentSelection)
        QVERIFY(answer.toString().size() <= 1024);
}

void TestTextBox::accessibleValue_data()
{
    QTest::addColumn<bool>("log");
    QTest::newRow("input field") << false;
    QTest::newRow("log") << true;
}

void TestTextBox::accessibleValue()
{
    QFETCH(bool, log);
    if (log)
        m_log->setText("a\r\nb");
    else
        m_box->setText("0x010203");
    QAccessibleInterface *accessible =
        QAccessible::queryAccessibleInterface(log ? static_cast<QWidget *>(m_log) : m_box);
    QVERIFY(accessible != nullptr);
    QCOMPARE(accessible->role(), QAccessible::EditableText);
    QCOMPARE(accessible->text(QAccessible::Value), QString(log ? "a\nb" : "0x010203"));
}

void TestTextBox::lineSeparatorShowsInLine_data() { accessibleValue_data(); }

// A pasted line separator is shown as a blank; what follows it stays on the
// same line of the box.
void TestTextBox::lineSeparatorShowsInLine()
{
    QFETCH(bool, log);
    EditBox *box = log ? static_cast<EditBox *>(m_log) : m_box;
    const QString text = QString("12") + QChar(QChar::LineSeparator) + "34";
    if (log)
        m_log->setText(text);
    else
        m_box->setText(text);
    const auto caret = [box](int position) {
        box->setCursorPosition(position);
        return box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    };
    const QRect afterSeparator = caret(3);
    const QRect atEnd = caret(5);
    QCOMPARE(atEnd.top(), afterSeparator.top());
    QVERIFY(atEnd.left() > afterSeparator.left());
}

void TestTextBox::hugeTextInView_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QStringList>("steps");

    const QString digits(70'000, QLatin1Char('7'));
    QTest::newRow("at the end") << digits << QStringList{};
    QTest::newRow("ends in a tab") << digits + "\t" << QStringList{};
    QTest::newRow("tabs") << QString("1\t").repeated(35'000) << QStringList{};
    QTest::newRow("end cut off") << digits << (QStringList(30, "<Left>") + QStringList{"<Shift+End>", "<Del>"});
}

// A text too long to be laid out whole keeps the caret in the box, and the
// box shows text up to the caret at its end rather than an empty stretch.
void TestTextBox::hugeTextInView()
{
    QFETCH(QString, initial);
    QFETCH(QStringList, steps);

    m_box->setText(initial);
    play(m_box, steps);
    QVERIFY(!m_box->grab().isNull());
    const QRect caret = m_box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    QVERIFY(m_box->rect().contains(caret));
    QVERIFY2(caret.left() > m_box->width() / 2, qPrintable(QString("caret at %1").arg(caret.left())));
}

void TestTextBox::showsLikeLineEdit_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QStringList>("steps"); // "text" to type, or a key sequence in "<...>"

    const QString digits30("123456789012345678901234567890");
    const QString hebrew =
        QString::fromUtf8("\u05D0\u05D1\u05D2\u05D3\u05D4\u05D5\u05D6\u05D7\u05D8\u05D9").repeated(6);
    const QString arabic = QString::fromUtf8("\u0627\u0644\u0639\u0631\u0628\u064A\u0629 ").repeated(8);
    QStringList backspaces(25, "<Backspace>");
    QTest::newRow("typed past the right edge") << "" << QStringList{digits30};
    QTest::newRow("shrunk by backspaces") << "" << (QStringList{digits30} + backspaces);
    QTest::newRow("shrunk by typing over all") << digits30 << QStringList{"<Ctrl+A>", "7"};
    QTest::newRow("home in a long text") << digits30 << QStringList{"<Home>"};
    QTest::newRow("back to the end") << digits30 << QStringList{"<Home>", "<End>"};
    QTest::newRow("ends in a tab") << "12345\t" << QStringList{};
    QTest::newRow("tab past the right edge") << "123456789012345\t" << QStringList{};
    QTest::newRow("tab in a long text") << "1\t2\t3\t4\t5\t6" << QStringList{"<Left>", "<Left>"};
    QTest::newRow("CR LF") << "1\r\n2" << QStringList{};
    QTest::newRow("NUL and controls") << QString("1") + QChar(0) + QChar(0x1B) + QChar(0x7) + "2" << QStringList{};
    QTest::newRow("paragraph separator") << QString("1") + QChar(QChar::ParagraphSeparator) + "2" << QStringList{};
    QTest::newRow("short hebrew") << hebrew.left(3) << QStringList{};
    QTest::newRow("short hebrew right") << hebrew.left(3) << QStringList{"<Right>", "<Right>"};
    QTest::newRow("short hebrew left") << hebrew.left(3) << QStringList{"<Home>", "<Left>"};
    QTest::newRow("long hebrew") << hebrew << QStringList{};
    QTest::newRow("long hebrew home") << hebrew << QStringList{"<Home>"};
    QTest::newRow("long hebrew home right") << hebrew << QStringList{"<Home>", "<Left>", "<Left>", "<Right>"};
    QTest::newRow("long arabic shrunk") << arabic << QStringList{"<Home>", "<Shift+End>", "<Shift+Left>", "<Del>"};
    QTest::newRow("mixed") << QString::fromUtf8("12 \u05D0\u05D1\u05D2 ab")
                           << QStringList{"<Home>", "<Right>", "<Right>", "<Right>", "<Right>", "<Right>"};
    QTest::newRow("mixed long") << "abc " + hebrew + " 123" << QStringList{"<Home>",  "<Right>", "<Right>", "<Right>",
                                                                           "<Right>", "<Right>", "<Right>"};
    QTest::newRow("digits in hebrew") << hebrew.left(20) + " 66051 " + hebrew.left(20)
                                      << QStringList{"<End>", "<Left>", "<Left>", "<Left>"};
}

// Which characters show at the box's edges and where the caret is, next to
// a line edit of the same font and size; both are painted after every step,
// as the line edit scrolls only when it paints.
void TestTextBox::showsLikeLineEdit()
{
    QFETCH(QString, initial);
    QFETCH(QStringList, steps);

    const QFont font(QStringLiteral("DejaVu Sans"), 9);
    auto *edit = new QLineEdit(m_window.get());
    edit->setGeometry(m_box->geometry().translated(0, 130));
    edit->setFont(font);
    m_box->setFont(font);
    // The line edit's caret rectangle is wider than its caret: both are
    // measured from where an empty box has its caret.
    const auto caretX = [](QWidget *box) {
        box->grab();
        const QRect caret = box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        return caret.left() + caret.width() / 2;
    };
    std::vector<int> shown;
    for (QWidget *box : {static_cast<QWidget *>(edit), static_cast<QWidget *>(m_box)}) {
        const auto setText = [box, edit, this](const QString &text) {
            if (box == edit)
                edit->setText(text);
            else
                m_box->setText(text);
        };
        setText(QString());
        const int origin = caretX(box);
        setText(initial);
        box->setFocus(Qt::OtherFocusReason);
        caretX(box);
        for (const QString &step : steps) {
            play(box, {step});
            caretX(box);
        }
        shown.push_back(caretX(box) - origin);
    }
    QCOMPARE(m_box->text(), edit->text());
    QCOMPARE(m_box->cursorPosition(), edit->cursorPosition());
    QVERIFY2(std::abs(shown[1] - shown[0]) <= 1,
             qPrintable(QString("caret at %1, line edit's at %2").arg(shown[1]).arg(shown[0])));
    QVERIFY(m_box->rect().contains(m_box->inputMethodQuery(Qt::ImCursorRectangle).toRect()));
}

void TestTextBox::labelStartsAtLeftEdge_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("widthTwips");
    QTest::newRow("Domain_ID") << "Domain_ID" << 1183;
    QTest::newRow("Area_ID") << "Area_ID" << 1183;
    QTest::newRow("Address ID") << "Address ID" << 2002;
}

// A window sets its fields' texts before it gives them their size; the box
// then shows the text from its first letter, as a line edit does. Also run
// at 144 dots per inch, where the texts are wider than a box before it is
// given its size.
void TestTextBox::labelStartsAtLeftEdge()
{
    QFETCH(QString, label);
    QFETCH(int, widthTwips);

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(8.83);
    const int dpi = m_window->logicalDpiX();
    const QSize size(widthTwips * dpi / 1440, 312 * dpi / 1440);
    auto *edit = new QLineEdit(m_window.get());
    auto *box = new TextBox(m_window.get());
    edit->setFont(font);
    box->setFont(font);
    edit->setText(label);
    box->setText(label);
    edit->setGeometry(QRect(QPoint(8, 130), size));
    box->setGeometry(QRect(QPoint(8, 140 + size.height()), size));
    // From the caret at the end to the caret at the start: the whole text.
    std::vector<int> widths;
    for (QWidget *field : {static_cast<QWidget *>(edit), static_cast<QWidget *>(box)}) {
        field->show();
        field->grab();
        const int end = field->inputMethodQuery(Qt::ImCursorRectangle).toRect().left();
        QTest::keyClick(field, Qt::Key_Home);
        field->grab();
        widths.push_back(end - field->inputMethodQuery(Qt::ImCursorRectangle).toRect().left());
    }
    QVERIFY(widths[0] > size.width() / 3);
    QVERIFY2(std::abs(widths[1] - widths[0]) <= 1,
             qPrintable(QString("%1 pixels, line edit %2").arg(widths[1]).arg(widths[0])));
}

// Ten megabytes are edited and painted like a short text.
void TestTextBox::hugeText()
{
    const QString huge(qsizetype{5} * 1024 * 1024, QLatin1Char('7'));
    m_box->setText(huge);
    QCOMPARE(m_box->cursorPosition(), huge.size());
    QVERIFY(!m_box->grab().isNull());
    QTest::keyClicks(m_box, "8");
    QTest::keyClick(m_box, Qt::Key_Home);
    QTest::keyClick(m_box, Qt::Key_Delete);
    QVERIFY(!m_box->grab().isNull());
    QCOMPARE(m_box->text().size(), huge.size());
    QVERIFY(m_box->text().endsWith(QLatin1String("78")));
    QTest::keyClick(m_box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_box->text(), huge + "8");
}

void TestTextBox::logEditing_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("cursor");

    QTest::newRow("enter breaks the line") << "ab" << QStringList{"<Right>", "<Return>"} << "a\nb" << 2;
    QTest::newRow("keypad enter") << "ab" << QStringList{"<End>", "<Enter>"} << "ab\n" << 3;
    QTest::newRow("typed CR LF is one break") << "" << QStringList{"x\r\ny\rz"} << "x\ny\nz" << 5;
    QTest::newRow("down keeps the column")
        << "abc\ndefg" << QStringList{"<Right>", "<Right>", "<Down>"} << "abc\ndefg" << 6;
    QTest::newRow("down past a shorter line")
        << "abcdef\nab\nabcdef" << QStringList{"<End>", "<Down>", "<Down>"} << "abcdef\nab\nabcdef" << 16;
    QTest::newRow("a key the box leaves alone keeps the column")
        << ".\n\U0001D400" << QStringList{"<Ctrl+End>", "<Shift+PgUp>", "<Ctrl+PgDown>", "<Shift+Down>"}
        << ".\n\U0001D400" << 4;
    QTest::newRow("shift before shift+up keeps the column") << "4 \n"
                                                            << QStringList{"<Right>", "<Down>", "<Shift+Up>"} << "4 \n"
                                                            << 1;
    QTest::newRow("home on a line of letters that join, fitting the box")
        << QString::fromUtf8("M dIMu . [dhM\U0001D400\u0627\U00010BB7fy\u0628\u0644\u0628 4zM t55  s\U00010BB7b7gB")
        << QStringList{"<Ctrl+End>", "<Home>"}
        << QString::fromUtf8("M dIMu . [dhM\U0001D400\u0627\U00010BB7fy\u0628\u0644\u0628 4zM t55  s\U00010BB7b7gB")
        << 0;
    QTest::newRow("backspace at the start forgets the column")
        << "\np" << QStringList{"<Ctrl+Shift+End>", "<Shift+PgUp>", "<Backspace>", "<Shift+Down>"} << "\np" << 1;
    QTest::newRow("up on the first line") << "abc\ndef" << QStringList{"<Right>", "<Up>"} << "abc\ndef" << 1;
    QTest::newRow("home and end keep to the line")
        << "abc\ndef" << QStringList{"<Down>", "<End>", "x", "<Home>", "y"} << "abc\nydefx" << 5;
    QTest::newRow("start and end of the text")
        << "abc\ndef" << QStringList{"<Ctrl+End>", "1", "<Ctrl+Home>", "2"} << "2abc\ndef1" << 1;
    QTest::newRow("backspace joins lines") << "a\nb" << QStringList{"<Down>", "<Backspace>"} << "ab" << 1;
    QTest::newRow("select lines and cut")
        << "one\ntwo\nthree" << QStringList{"<Shift+Down>", "<Shift+Down>", "<Ctrl+X>"} << "three" << 0;
    QTest::newRow("undo a line break") << "ab" << QStringList{"<Right>", "<Return>", "<Ctrl+Z>"} << "ab" << 1;
    QTest::newRow("tab types nothing") << "a" << QStringList{"<Tab>"} << "a" << 0;
    QTest::newRow("word right stops at the line end")
        << "abc \ndef" << QStringList{"<Ctrl+Right>", "<Ctrl+Right>", "x"} << "abc \nxdef" << 6;
    QTest::newRow("word left stops at the line end")
        << "abc\ndef" << QStringList{"<Ctrl+End>", "<Ctrl+Left>", "<Ctrl+Left>", "x"} << "abcx\ndef" << 4;
    QTest::newRow("undo a typed run") << "ab" << QStringList{"<End>", "c", "d", "<Ctrl+Z>"} << "ab" << 2;
    QTest::newRow("undo a deletion puts the caret after it")
        << "abcdef" << QStringList{"<Right>", "<Shift+Right>", "<Shift+Right>", "<Del>", "<Ctrl+Z>"} << "abcdef" << 3;
    QTest::newRow("redo after a new edit does nothing")
        << "ab" << QStringList{"x", "<Ctrl+Z>", "y", "<Ctrl+Shift+Z>"} << "yab" << 1;
}

void TestTextBox::logEditing()
{
    QFETCH(QString, initial);
    QFETCH(QStringList, steps);
    QFETCH(QString, expected);
    QFETCH(int, cursor);

    m_log->setFocus(Qt::OtherFocusReason);
    m_log->setText(initial);
    QCOMPARE(m_log->cursorPosition(), 0);
    play(m_log, steps);
    QCOMPARE(m_log->text(), expected);
    QCOMPARE(m_log->cursorPosition(), cursor);

    m_plain->setPlainText(initial);
    play(m_plain, steps);
    QCOMPARE(asPlain(m_log->text()), m_plain->document()->toRawText());
    QCOMPARE(m_log->cursorPosition(), m_plain->textCursor().position());
    QCOMPARE(asPlain(m_log->selectedText()), m_plain->textCursor().selectedText());
}

// Page Down and Page Up move the caret by the lines the box shows.
void TestTextBox::logPageKeys()
{
    QString text;
    for (int i = 0; i < 40; ++i)
        text += QString("line %1\n").arg(i, 2, 10, QLatin1Char('0'));
    m_log->setFocus(Qt::OtherFocusReason);
    m_log->setText(text);
    int shown = 0;
    while (m_log->firstVisibleLine() == 0) {
        QTest::keyClick(m_log, Qt::Key_Down);
        ++shown;
    }
    QVERIFY(shown >= 2);
    const auto lineOfCaret = [this, &text] { return static_cast<int>(text.left(m_log->cursorPosition()).count('\n')); };
    QTest::keyClick(m_log, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(m_log, Qt::Key_PageDown);
    QCOMPARE(lineOfCaret(), shown);
    QTest::keyClick(m_log, Qt::Key_PageDown);
    QCOMPARE(lineOfCaret(), 2 * shown);
    QTest::keyClick(m_log, Qt::Key_PageUp);
    QCOMPARE(lineOfCaret(), shown);
    QTest::keyClick(m_log, Qt::Key_PageDown, Qt::ShiftModifier);
    const qsizetype page = qsizetype{shown} * QString("line 00\n").size();
    QCOMPARE(m_log->selectedText(), text.mid(page, page));
    QTest::keyClick(m_log, Qt::Key_PageUp);
    QTest::keyClick(m_log, Qt::Key_PageUp);
    QTest::keyClick(m_log, Qt::Key_PageUp);
    QCOMPARE(m_log->cursorPosition(), 0);
}

void TestTextBox::logWrapping_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("messages") << QString("ERROR: Area ID must be within [0,255] ").repeated(40);
    QTest::newRow("unbroken digits") << QString(2000, '7');
    QTest::newRow("long word after a short one") << "see " + QString(500, 'x') + " end";
    QTest::newRow("runs of blanks") << QString("a      b ").repeated(100);
    QTest::newRow("tabs") << QString("ab\tc\t").repeated(100);
    QTest::newRow("surrogate pairs") << QString::fromUtf8("\U0001F600").repeated(300);
    QTest::newRow("combining marks") << QString::fromUtf8("e\u0301\u0302").repeated(400);
    QTest::newRow("spacing marks") << QString::fromUtf8("\u0915\u093F").repeated(300);
    QTest::newRow("ideographs") << QString::fromUtf8("\u4E2D").repeated(500);
    QTest::newRow("zero width") << QString(QChar(0x200B)).repeated(5000);
    QTest::newRow("blanks without end") << QString(5000, ' ') + "x" + QString(5000, '\t');
    QTest::newRow("marks without end") << "e" + QString(QChar(0x0301)).repeated(5000);
    QTest::newRow("paragraphs") << QString("\n\nfirst\n") + QString(300, '8') + "\n";
}

// Every line fits the box, a line is broken only where the next character
// or word would not have fitted, and only after blanks if it holds any.
// Nothing splits a surrogate pair or parts a mark from its character.
void TestTextBox::logWrapping()
{
    QFETCH(QString, text);
    m_log->setText(text);
    const qreal room = roomOf(*m_log);
    const QFontMetricsF metrics(m_log->font());
    QCOMPARE(m_log->lineStart(0), 0);
    QVERIFY(text.size() - m_log->lineStart(m_log->lineCount() - 1) <= 1024);
    for (int line = 0; line + 1 < m_log->lineCount(); ++line) {
        const int start = m_log->lineStart(line);
        const int next = m_log->lineStart(line + 1);
        QVERIFY2(next > start, qPrintable(QString("line %1").arg(line)));
        QVERIFY(next - start <= 1024);
        if (text.at(next - 1) == '\n')
            continue;
        QVERIFY(!text.at(next).isLowSurrogate());
        QVERIFY(!text.at(next).isMark() || next - start == 1024);
        QString shown = text.mid(start, next - start);
        const bool breaksAfterBlanks = shown.endsWith(' ') || shown.endsWith('\t');
        while (shown.endsWith(' ') || shown.endsWith('\t'))
            shown.chop(1);
        QVERIFY2(metrics.horizontalAdvance(shown) <= room + 1, qPrintable(QString("line %1 too wide").arg(line)));
        if (shown.contains(' ') || shown.contains('\t')) {
            QVERIFY2(breaksAfterBlanks, qPrintable(QString("line %1 breaks inside a word").arg(line)));
        } else if (!breaksAfterBlanks && next - start < 1024) {
            const QString more = text.mid(start, next - start + (text.at(next).isHighSurrogate() ? 2 : 1));
            QVERIFY2(metrics.horizontalAdvance(more) > room - 1, qPrintable(QString("line %1 too short").arg(line)));
        }
    }
}

// Edits wrap again only the lines near them; the lines must come out as a
// box that wraps the whole text afresh would have them.
void TestTextBox::logEditsWrapLikeAFreshBox()
{
    LogBox fresh(m_window.get());
    fresh.setGeometry(m_log->geometry());
    fresh.setFont(m_log->font());
    const QStringList pieces = {"ERROR: Port ID ",
                                "must ",
                                "\n",
                                "77777777777777777777777777777777",
                                " ",
                                "\n\n",
                                "x",
                                "\t",
                                QString::fromUtf8("\u0301\u0302"),
                                QString::fromUtf8("\U0001F600")};
    QRandomGenerator random(20261207);
    m_log->setText("start\n");
    for (int edit = 0; edit < 300; ++edit) {
        const int size = static_cast<int>(m_log->text().size());
        const int kind = random.bounded(4);
        if (kind == 0) {
            m_log->append(pieces.at(random.bounded(pieces.size())));
        } else {
            m_log->setCursorPosition(random.bounded(size + 1));
            if (kind == 1) {
                m_log->insert(pieces.at(random.bounded(pieces.size())).repeated(1 + random.bounded(4)));
            } else {
                for (int k = random.bounded(12); k > 0; --k)
                    QTest::keyClick(m_log, kind == 2 ? Qt::Key_Delete : Qt::Key_Backspace);
            }
        }
        // Looked at after every third edit only, so that edits also meet lines
        // not yet wrapped again.
        if (edit % 3 != 2)
            continue;
        fresh.setText(m_log->text());
        QVERIFY2(lineStarts(*m_log) == lineStarts(fresh), qPrintable(QString("edit %1").arg(edit)));
    }
    m_log->undo();
    fresh.setText(m_log->text());
    QVERIFY(lineStarts(*m_log) == lineStarts(fresh));
}

// The box scrolls by whole lines to keep the caret in view; a text set by
// the program shows its start, a text extended by it its end.
void TestTextBox::logCaretStaysInView()
{
    QString text;
    for (int i = 0; i < 50; ++i)
        text += QString("line %1\n").arg(i);
    m_log->setFocus(Qt::OtherFocusReason);
    m_log->setText(text);
    const QRect box = m_log->rect();
    for (int i = 0; i < 20; ++i) {
        QTest::keyClick(m_log, Qt::Key_Down);
        QVERIFY(box.contains(m_log->inputMethodQuery(Qt::ImCursorRectangle).toRect()));
    }
    QCOMPARE(m_log->cursorPosition(), text.indexOf("line 20"));
    const int top = m_log->firstVisibleLine();
    QVERIFY(top > 0);

    // A click lands on the line under the mouse.
    const int lineHeight = m_log->inputMethodQuery(Qt::ImCursorRectangle).toRect().height();
    QTest::mouseClick(m_log, Qt::LeftButton, Qt::NoModifier,
                      QPoint(m_log->width() - 4, 4 + lineHeight + lineHeight / 2));
    QCOMPARE(m_log->cursorPosition(), text.indexOf(QString("\n"), text.indexOf(QString("line %1").arg(top + 1))));

    QTest::keyClick(m_log, Qt::Key_Home, Qt::ControlModifier);
    m_log->append("more\n");
    QCOMPARE(m_log->text(), text + "more\n");
    QCOMPARE(m_log->cursorPosition(), m_log->text().size());
    QVERIFY(box.contains(m_log->inputMethodQuery(Qt::ImCursorRectangle).toRect()));
    QVERIFY(m_log->firstVisibleLine() > top);
    m_log->setText(text);
    QCOMPARE(m_log->firstVisibleLine(), 0);
    QCOMPARE(m_log->cursorPosition(), 0);
}

void TestTextBox::logWheelScrollsLikePlainTextEdit_data()
{
    QTest::addColumn<QList<int>>("deltas"); // one wheel event each, in eighths of a degree
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<bool>("fromEnd");
    QTest::addColumn<int>("linesPerNotch");

    QTest::newRow("notches down and up") << QList<int>{-120, -120, 120} << 0 << false << false << 3;
    QTest::newRow("one line a notch") << QList<int>{-120, -120, 120} << 0 << false << false << 1;
    QTest::newRow("past the top") << QList<int>{-120, 120, 120} << 0 << false << false << 3;
    QTest::newRow("fine steps add up") << QList<int>{-40, -40, -40, -20, -20} << 0 << false << false << 3;
    QTest::newRow("turning back drops the part") << QList<int>{-60, 60, -60, -60, 60} << 0 << false << false << 3;
    QTest::newRow("fast spin is a page at most") << QList<int>{-600, -1200, 600} << 0 << false << false << 3;
    QTest::newRow("ctrl pages") << QList<int>{-120, -120, -30, 120} << int(Qt::ControlModifier) << false << false << 3;
    QTest::newRow("shift pages") << QList<int>{-120, -120, 120} << int(Qt::ShiftModifier) << false << false << 3;
    QTest::newRow("sideways does nothing") << QList<int>{-120, 120} << 0 << true << false << 3;
    QTest::newRow("past the end") << QList<int>{-120, -40, 120, -120} << 0 << false << true << 3;
}

// The wheel moves the view as a QPlainTextEdit without scroll bars moves it,
// and the same events are taken or left to the parent; the caret stays.
void TestTextBox::logWheelScrollsLikePlainTextEdit()
{
    QFETCH(QList<int>, deltas);
    QFETCH(int, modifiers);
    QFETCH(bool, horizontal);
    QFETCH(bool, fromEnd);
    QFETCH(int, linesPerNotch);

    const int defaultLines = QApplication::wheelScrollLines();
    QApplication::setWheelScrollLines(linesPerNotch);
    const auto restore = qScopeGuard([defaultLines] { QApplication::setWheelScrollLines(defaultLines); });

    QPlainTextEdit plain(m_window.get());
    plain.setGeometry(m_log->geometry().translated(0, m_log->height() + 8));
    plain.setFont(m_log->font());
    plain.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    plain.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    plain.show();
    QString text;
    for (int i = 0; i < 60; ++i)
        text += QString("line %1\n").arg(i);
    plain.setPlainText(text);
    m_log->setText(text);
    QCoreApplication::processEvents();
    if (fromEnd) {
        plain.verticalScrollBar()->setValue(plain.verticalScrollBar()->maximum());
        m_log->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(m_log, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(m_log->firstVisibleLine(), plain.verticalScrollBar()->value());
    }
    const int caret = m_log->cursorPosition();

    for (const int delta : deltas) {
        const QPoint angle = horizontal ? QPoint(delta, 0) : QPoint(0, delta);
        const auto send = [&](QWidget *to) {
            QWheelEvent wheel(QPointF(20, 20), to->mapToGlobal(QPointF(20, 20)), QPoint(), angle, Qt::NoButton,
                              Qt::KeyboardModifiers(modifiers), Qt::NoScrollPhase, false);
            QApplication::sendEvent(to, &wheel);
            return wheel.isAccepted();
        };
        const bool plainTook = send(plain.viewport());
        const bool logTook = send(m_log);
        QCOMPARE(m_log->firstVisibleLine(), plain.verticalScrollBar()->value());
        QCOMPARE(logTook, plainTook);
    }
    QCOMPARE(m_log->cursorPosition(), caret);
}

// A box with room for four and a half lines shows four: it paints as a box
// that holds only those four lines does.
void TestTextBox::logShowsWholeLinesOnly()
{
    const QRect caret = m_log->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const int lineHeight = caret.height();
    m_log->resize(m_log->width(), 2 * caret.top() + 4 * lineHeight + lineHeight / 2);
    LogBox fourLines(m_window.get());
    fourLines.setGeometry(m_log->geometry().translated(0, m_log->height() + 8));
    fourLines.setFont(m_log->font());
    fourLines.show();
    QStringList lines;
    for (int i = 0; i < 6; ++i)
        lines << QString(20, QChar(0x2588));
    m_log->setText(lines.join('\n'));
    fourLines.setText(lines.mid(0, 4).join('\n'));
    QCOMPARE(m_log->lineCount(), 6);
    QCOMPARE(fourLines.lineCount(), 4);
    QCOMPARE(m_log->grab().toImage(), fourLines.grab().toImage());

    // The caret keys count the same four lines.
    m_log->setFocus(Qt::OtherFocusReason);
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(m_log, Qt::Key_Down);
    QCOMPARE(m_log->firstVisibleLine(), 1);
}

// End on a line wrapped without a blank puts the caret after its last
// character, on that line, not at the start of the next one; typing goes in
// there.
void TestTextBox::logLineEnds()
{
    const QString digits(200, '7');
    m_log->setFocus(Qt::OtherFocusReason);
    m_log->setText(digits);
    const QRect start = m_log->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    QTest::keyClick(m_log, Qt::Key_End);
    QCOMPARE(m_log->cursorPosition(), m_log->lineStart(1));
    const QRect end = m_log->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    QCOMPARE(end.top(), start.top());
    QVERIFY(end.left() > start.left() + m_log->width() / 2);
    QTest::keyClick(m_log, Qt::Key_Right);
    QVERIFY(m_log->inputMethodQuery(Qt::ImCursorRectangle).toRect().top() > start.top());

    // A click past the end of the first line does the same.
    QTest::mouseClick(m_log, Qt::LeftButton, Qt::NoModifier, QPoint(m_log->width() - 3, start.center().y()));
    QCOMPARE(m_log->cursorPosition(), m_log->lineStart(1));
    QCOMPARE(m_log->inputMethodQuery(Qt::ImCursorRectangle).toRect().top(), start.top());

    // A line broken after a blank ends before the blank.
    m_log->setText(QStringLiteral("7 ").repeated(100));
    QTest::keyClick(m_log, Qt::Key_End);
    QCOMPARE(m_log->cursorPosition(), m_log->lineStart(1) - 1);
    QCOMPARE(m_log->inputMethodQuery(Qt::ImCursorRectangle).toRect().top(), start.top());
}

enum class Scroll { InputMethodReset, Taller, Font, Style };
Q_DECLARE_METATYPE(Scroll)

void TestTextBox::logLineEndOutlastsScrolling_data()
{
    QTest::addColumn<Scroll>("scroll");
    QTest::newRow("empty input method event") << Scroll::InputMethodReset;
    QTest::newRow("taller box") << Scroll::Taller;
    QTest::newRow("font without other metrics") << Scroll::Font;
    QTest::newRow("style with another frame") << Scroll::Style;
}

// What only brings the caret into view leaves it at the end of the wrapped
// line End put it at, where the plain text edit keeps it too, and End stays.
void TestTextBox::logLineEndOutlastsScrolling()
{
    QFETCH(Scroll, scroll);
    const QString text(80, 'a');
    m_log->setText(text);
    m_plain->setPlainText(text);
    QStyle *style = QStyleFactory::create(QStringLiteral("Windows"));
    style->setParent(m_window.get());
    const auto caret = [this] { return m_log->inputMethodQuery(Qt::ImCursorRectangle).toRect(); };
    for (QWidget *box : {static_cast<QWidget *>(m_log), static_cast<QWidget *>(m_plain)}) {
        QTest::keyClick(box, Qt::Key_End);
        QFont font = box->font();
        QInputMethodEvent reset;
        switch (scroll) {
        case Scroll::InputMethodReset:
            QApplication::sendEvent(box, &reset);
            break;
        case Scroll::Taller:
            box->resize(box->width(), box->height() + 16);
            break;
        case Scroll::Font:
            font.setStyleStrategy(QFont::NoSubpixelAntialias);
            box->setFont(font);
            break;
        case Scroll::Style:
            box->setStyle(style);
            break;
        }
    }
    const int end = m_log->lineStart(1);
    QCOMPARE(m_log->cursorPosition(), end);
    QCOMPARE(m_plain->textCursor().position(), end);
    QVERIFY(caret().left() > m_log->width() / 2);
    const QRect shown = caret();
    QTest::keyClick(m_log, Qt::Key_End);
    QCOMPARE(m_log->cursorPosition(), end);
    QCOMPARE(caret(), shown);
}

// Tab into an input field selects its text for typing over; Tab into the
// log leaves its text and caret alone, so that a note does not replace it.
void TestTextBox::tabIntoBoxes()
{
    m_lineEdit->setFocusPolicy(Qt::NoFocus);
    m_plain->setFocusPolicy(Qt::NoFocus);
    m_box->setText("12");
    m_log->setText("kept\nlines");
    m_log->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(m_log, Qt::Key_Tab);
    QVERIFY(m_box->hasFocus());
    QCOMPARE(m_box->selectedText(), QString("12"));
    QTest::keyClick(m_box, Qt::Key_Tab);
    QVERIFY(m_log->hasFocus());
    QVERIFY(!m_log->hasSelectedText());
    QTest::keyClicks(m_log, "note ");
    QCOMPARE(m_log->text(), QString("note kept\nlines"));
}

// Ten megabytes pasted as one line: wrapped, edited, painted, undone.
void TestTextBox::logHugeText()
{
    const QString huge(qsizetype{5} * 1024 * 1024, QLatin1Char('7'));
    m_log->setFocus(Qt::OtherFocusReason);
    QGuiApplication::clipboard()->setText(huge);
    QTest::keyClick(m_log, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(m_log->text(), huge);
    QCOMPARE(m_log->cursorPosition(), huge.size());
    QVERIFY(m_log->lineCount() > 100'000);
    QVERIFY(m_log->rect().contains(m_log->inputMethodQuery(Qt::ImCursorRectangle).toRect()));
    QVERIFY(!m_log->grab().isNull());
    QTest::keyClick(m_log, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(m_log->firstVisibleLine(), 0);
    QTest::keyClicks(m_log, "8");
    QTest::keyClick(m_log, Qt::Key_Return);
    QCOMPARE(m_log->text(), "8\n" + huge);
    QVERIFY(!m_log->grab().isNull());
    QTest::keyClick(m_log, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(m_log, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_log->text(), huge);
    m_log->append("\nend");
    QCOMPARE(m_log->text(), huge + "\nend");
    QCOMPARE(m_log->lineStart(m_log->lineCount() - 1), huge.size() + 1);
}

// The middle button pastes the X11 primary selection where it is pressed.
void TestTextBox::middleClickPastesSelection()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard->supportsSelection())
        QSKIP("no primary selection on this platform");
    m_box->setText("12");
    clipboard->setText("clipboard");
    clipboard->setText("3", QClipboard::Selection);
    QTRY_COMPARE(clipboard->text(QClipboard::Selection), QString("3"));
    QTest::mouseClick(m_box, Qt::MiddleButton, Qt::NoModifier, pointAt(m_box, 2) - QPoint(2, 0));
    QCOMPARE(m_box->text(), QString("123"));
}

// A paste larger than what undo keeps is still one step that undo takes back.
void TestTextBox::hugePasteUndone()
{
    m_box->setText("12");
    QGuiApplication::clipboard()->setText(QString(qsizetype{33} * 1024 * 1024, '7'));
    QTest::keyClick(m_box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(m_box->text().size(), 2 + 33 * 1024 * 1024);
    QTest::keyClick(m_box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_box->text(), QString("12"));
    QGuiApplication::clipboard()->clear();
}

// Another font wraps the log's lines anew, though the box keeps its size.
void TestTextBox::logFontChangeWraps()
{
    const QString text = QString("word ").repeated(60);
    m_log->setText(text);
    const int before = m_log->lineCount();
    const QFont larger(QStringLiteral("DejaVu Sans"), 14);
    m_log->setFont(larger);
    LogBox fresh(m_window.get());
    fresh.setGeometry(m_log->geometry());
    fresh.setFont(larger);
    fresh.setText(text);
    QCOMPARE(lineStarts(*m_log), lineStarts(fresh));
    QVERIFY(m_log->lineCount() > before);
}

// In a field too long to lay out whole, the text scrolls before the caret
// moving right from its start leaves the box.
void TestTextBox::longFieldScrollsWithCaret()
{
    m_box->setText(QString(40000, 'm'));
    QTest::keyClick(m_box, Qt::Key_Home);
    for (int i = 0; i < 60; ++i) {
        QTest::keyClick(m_box, Qt::Key_Right);
        const QRect caret = m_box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        QVERIFY2(m_box->rect().contains(caret), qPrintable(QString("after %1 keys").arg(i + 1)));
    }
    QCOMPARE(m_box->cursorPosition(), 60);
}

// A composition at the end of a full field is scrolled into view with its caret.
// A composition at the end of a full field scrolls into view; one longer
// than a line of the log wraps onto the rows below.
void TestTextBox::compositionScrolledIntoView_data()
{
    QTest::addColumn<bool>("log");
    QTest::addColumn<int>("length");
    QTest::newRow("field") << false << 8;
    QTest::newRow("log") << true << 80;
}

void TestTextBox::compositionScrolledIntoView()
{
    QFETCH(bool, log);
    QFETCH(int, length);
    EditBox *box = m_box;
    if (log) {
        m_log->setText(QStringLiteral("mmmm"));
        box = m_log;
    } else {
        m_box->setText(QString(40, 'm'));
    }
    const QRect before = box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    QInputMethodEvent compose(QString(length, 'w'), {});
    QApplication::sendEvent(box, &compose);
    const QRect caret = box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    QVERIFY2(box->rect().contains(caret), qPrintable(QString("caret at %1, %2").arg(caret.left()).arg(caret.top())));
    if (log)
        QVERIFY(caret.top() > before.top());
}

QTEST_MAIN(TestTextBox)
#include "tst_textbox.moc"
