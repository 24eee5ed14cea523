// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// Our text boxes beside Qt's own, as the tests compare them: the field
// beside a QLineEdit, the log beside a QPlainTextEdit, each pair of the same
// font and size, the plain text edit's lines as wide as the log's. With the
// ways the tests drive a box: keys and typed text, mouse events, a point on
// a character.

#include "logbox.h"
#include "textbox.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QTextDocument>
#include <QtTest>

namespace quorran {

class SideBySide : public QWidget {
public:
    explicit SideBySide(QWidget *parent = nullptr)
        : QWidget(parent), m_field(new TextBox(this)), m_log(new LogBox(this)), m_lineEdit(new QLineEdit(this)),
          m_plain(new QPlainTextEdit(this))
    {
        resize(300, 250);
        m_field->setGeometry(8, 8, 133, 21);
        m_log->setGeometry(8, 40, 258, 81);
        m_log->setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
        m_lineEdit->setGeometry(8, 130, 133, 21);
        m_lineEdit->setFont(m_field->font());
        m_plain->setGeometry(8, 160, 258, 81);
        m_plain->setFont(m_log->font());
        m_plain->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_plain->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_plain->setTabChangesFocus(true);
    }

    TextBox *field() const { return m_field; }
    LogBox *log() const { return m_log; }
    QLineEdit *lineEdit() const { return m_lineEdit; }
    QPlainTextEdit *plain() const { return m_plain; }
    EditBox *ours(bool log) const { return log ? static_cast<EditBox *>(m_log) : m_field; }
    QWidget *stock(bool log) const { return log ? static_cast<QWidget *>(m_plain) : m_lineEdit; }
    // The stock box's text, selection and caret (asStock gives ours in the same terms).
    QString stockText(bool log) const { return log ? m_plain->document()->toRawText() : m_lineEdit->text(); }
    QString stockSelection(bool log) const
    {
        return log ? m_plain->textCursor().selectedText() : m_lineEdit->selectedText();
    }
    int stockCursor(bool log) const { return log ? m_plain->textCursor().position() : m_lineEdit->cursorPosition(); }

    // The same text in both boxes of a pair, as the program and a user set it.
    void setTexts(bool log, const QString &text) const
    {
        if (log) {
            m_log->setText(text);
            m_plain->setPlainText(text);
        } else {
            m_field->setText(text);
            m_lineEdit->setText(text);
        }
    }

protected:
    // The margins of either box are known once it is shown.
    void showEvent(QShowEvent *event) override
    {
        if (!m_matched) {
            const int room = m_log->width() - 2 * m_log->inputMethodQuery(Qt::ImCursorRectangle).toRect().left();
            const int stockRoom =
                m_plain->viewport()->width() - 2 * static_cast<int>(m_plain->document()->documentMargin());
            m_plain->resize(m_plain->width() + room - stockRoom, m_plain->height());
            m_matched = true;
        }
        QWidget::showEvent(event);
    }

private:
    TextBox *m_field;
    LogBox *m_log;
    QLineEdit *m_lineEdit;
    QPlainTextEdit *m_plain;
    bool m_matched = false;
};

// Each step is a text to type, a key sequence in "<...>", or "AltGr+" and
// the text that AltGr with a key types.
inline void play(QWidget *box, const QStringList &steps)
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
inline QString asPlain(QString text) { return text.replace(QLatin1Char('\n'), QChar(QChar::ParagraphSeparator)); }
inline QString asStock(bool log, const QString &text) { return log ? asPlain(text) : text; }

inline void sendMouse(QWidget *widget, QEvent::Type type, const QPoint &point, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, point, widget->mapToGlobal(point), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// A point on the character at `position`, found from where the caret goes.
inline QPoint pointAt(QWidget *box, int position)
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

// Clicks `clicks` times on the character at `at` and drags to the one at
// `dragTo`, if that is not -1: events go to `target`, a box's viewport.
inline void clickAndDrag(QWidget *box, QWidget *target, int clicks, int at, int dragTo)
{
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
}

// Shows the boxes in an active window: without a window manager nothing
// activates a new window, and keys and focus moves need an active one.
inline bool showActive(QWidget *window)
{
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return false;
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// The halves of tests that the field's and the log's tests share, on the box
// that `log` picks and the stock one beside it; the tests name what differs.
namespace shared {

// The keys the platform binds to deleting a line (Ctrl+K and Ctrl+U on X11)
// after the row's steps; each box they are played on leaves `clipboard` there.
// The stock box is played too if it takes them `likeStock`.
inline void deleteLineKeys(const SideBySide &window, bool log, const QString &clipboard, bool likeStock)
{
    QFETCH(int, key);
    QFETCH(QString, initial);
    QFETCH(QStringList, steps);
    QFETCH(QString, expected);

    const QList<QKeySequence> bindings = QKeySequence::keyBindings(static_cast<QKeySequence::StandardKey>(key));
    if (bindings.isEmpty())
        QSKIP("no key bound on this platform");
    steps << '<' + bindings.first().toString() + '>';
    window.setTexts(log, initial);
    EditBox *ours = window.ours(log);
    for (QWidget *box : {static_cast<QWidget *>(ours), window.stock(log)}) {
        QGuiApplication::clipboard()->clear();
        play(box, steps);
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
        if (!likeStock)
            break;
    }
    QCOMPARE(ours->text(), expected);
    if (!likeStock)
        return;
    QCOMPARE(asStock(log, ours->text()), window.stockText(log));
    QCOMPARE(ours->cursorPosition(), window.stockCursor(log));
}

// A selection made with the keyboard in `text` becomes the X11 primary
// selection, as one made with the mouse does.
inline void keysSetPrimarySelection(const SideBySide &window, bool log, const QString &text)
{
    QFETCH(QStringList, steps);
    QFETCH(QString, selection);

    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard->supportsSelection())
        QSKIP("no primary selection on this platform");
    clipboard->clear(QClipboard::Selection);
    window.setTexts(log, text);
    play(window.ours(log), steps);
    QTRY_COMPARE(clipboard->text(QClipboard::Selection), selection);
}

// Double and triple clicks, and a drag after a double click; the same on the
// stock box if it selects `likeStock`.
inline void mouseSelections(const SideBySide &window, bool log, bool likeStock)
{
    QFETCH(QString, text);
    QFETCH(int, clicks);
    QFETCH(int, at);
    QFETCH(int, dragTo);
    QFETCH(QString, selected);

    window.setTexts(log, text);
    EditBox *ours = window.ours(log);
    clickAndDrag(ours, ours, clicks, at, dragTo);
    QCOMPARE(ours->selectedText(), selected);
    QCoreApplication::processEvents(); // QPlainTextEdit wraps later
    clickAndDrag(window.stock(log), log ? window.plain()->viewport() : window.stock(log), clicks, at, dragTo);
    if (likeStock)
        QCOMPARE(asStock(log, ours->selectedText()), window.stockSelection(log));
}

// Select all in each box, then move the focus on: the box keeps its selection
// if `kept`.
inline void focusOutSelection(SideBySide &window, bool log, bool kept)
{
    auto *other = new QWidget(&window);
    other->setFocusPolicy(Qt::StrongFocus);
    other->show();
    window.setTexts(log, "abc");
    for (QWidget *box : {static_cast<QWidget *>(window.ours(log)), window.stock(log)}) {
        box->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        other->setFocus(Qt::OtherFocusReason);
    }
    QCOMPARE(window.ours(log)->hasSelectedText(), kept);
    QCOMPARE(!window.stockSelection(log).isEmpty(), kept);
}

// Read by a screen reader with LF line breaks: `text` as `value`. A pasted
// line separator is shown as a blank; what follows it stays on the same line
// of the box.
inline void accessibleValueAndLineSeparator(const SideBySide &window, bool log, const QString &text,
                                            const QString &value)
{
    EditBox *box = window.ours(log);
    window.setTexts(log, text);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(box);
    QVERIFY(accessible != nullptr);
    QCOMPARE(accessible->role(), QAccessible::EditableText);
    QCOMPARE(accessible->text(QAccessible::Value), value);
    window.setTexts(log, QString("12") + QChar(QChar::LineSeparator) + "34");
    const auto caret = [box](int position) {
        box->setCursorPosition(position);
        return box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    };
    const QRect afterSeparator = caret(3);
    const QRect atEnd = caret(5);
    QCOMPARE(atEnd.top(), afterSeparator.top());
    QVERIFY(atEnd.left() > afterSeparator.left());
}

// A composition of `length` letters after `text` scrolls into view with its
// caret; the caret moves down a row if the composition `wraps`.
inline void compositionScrolledIntoView(const SideBySide &window, bool log, const QString &text, int length, bool wraps)
{
    EditBox *box = window.ours(log);
    window.setTexts(log, text);
    const QRect before = box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    QInputMethodEvent compose(QString(length, 'w'), {});
    QApplication::sendEvent(box, &compose);
    const QRect caret = box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    QVERIFY2(box->rect().contains(caret), qPrintable(QString("caret at %1, %2").arg(caret.left()).arg(caret.top())));
    QCOMPARE(caret.top() > before.top(), wraps);
}

} // namespace shared

} // namespace quorran
