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

#include <QApplication>
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

} // namespace quorran
