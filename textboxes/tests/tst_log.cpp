// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// The message log's multi-line box: editing keys and undo, moves by line
// and page, how it wraps and where it shows its caret, the wheel, selection
// with the mouse, and texts of many megabytes. Where Qt's own QPlainTextEdit
// defines the behaviour, the same steps are played on one beside it.

#include "sidebyside.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QtTest>

using namespace quorran;

namespace {

std::vector<int> lineStarts(const LogBox &box)
{
    std::vector<int> starts;
    starts.reserve(static_cast<std::size_t>(box.lineCount()));
    for (int line = 0; line < box.lineCount(); ++line)
        starts.push_back(box.lineStart(line));
    return starts;
}

// Another log of `log`'s size and font, `below` pixels lower in its window.
std::unique_ptr<LogBox> logLike(const LogBox &log, int below = 0)
{
    auto other = std::make_unique<LogBox>(log.parentWidget());
    other->setGeometry(log.geometry().translated(0, below));
    other->setFont(log.font());
    return other;
}

// The room the log's lines have: the box less its frame and margins.
qreal roomOf(const LogBox &box)
{
    const QRect caret = box.inputMethodQuery(Qt::ImCursorRectangle).toRect();
    return box.width() - 2 * caret.left();
}

} // namespace

enum class Scroll { None, InputMethodReset, Taller, Font, Style };
Q_DECLARE_METATYPE(Scroll)

class TestLog : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<SideBySide> m_window;
    LogBox *m_log = nullptr;
    QPlainTextEdit *m_plain = nullptr;
private slots:
    void cleanup() { m_window.reset(); }

    void init()
    {
        m_window = std::make_unique<SideBySide>();
        m_log = m_window->log();
        m_plain = m_window->plain();
        QGuiApplication::clipboard()->clear();
        QVERIFY(showActive(m_window.get()));
        m_window->field()->setFocus(Qt::OtherFocusReason);
    }

    void platformKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("initial");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("likeStock");

        const int endOfLine = QKeySequence::DeleteEndOfLine;
        QTest::newRow("to the line end") << endOfLine << "ab cd\nef" << QStringList{"<Right>"} << "a\nef" << true;
        QTest::newRow("at the line end") << endOfLine << "ab\ncd" << QStringList{"<End>"} << "ab\ncd" << true;
        // QPlainTextEdit of Qt 6.4 leaves this key alone.
        QTest::newRow("whole line") << int(QKeySequence::DeleteCompleteLine) << "ab\ncd\nef"
                                    << QStringList{"<Down>", "<Right>"} << "ab\n\nef" << false;
    }

    // The keys the platform binds to deleting a line, as QPlainTextEdit takes
    // them; the clipboard is left alone.
    void platformKeys()
    {
        QFETCH(bool, likeStock);
        shared::deleteLineKeys(*m_window, true, QString(), likeStock);
    }

    void primarySelection_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("selection");

        QTest::newRow("shift and down") << QStringList{"<Shift+Down>"} << "12 345\n";
        QTest::newRow("shift and end") << QStringList{"<Shift+End>"} << "12 345";
    }

    void primarySelection() { shared::keysSetPrimarySelection(*m_window, true, "12 345\nsix"); }

    void mouseSelections_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("clicks"); // on the character at `at`
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("dragTo"); // a character dragged to after the clicks, or -1
        QTest::addColumn<QString>("selected");

        QTest::newRow("double click on a word") << "one two\nthree" << 2 << 5 << -1 << "two";
        QTest::newRow("triple click") << "one two\nthree four" << 3 << 10 << -1 << "three four";
        QTest::newRow("triple click takes the line break") << "one\ntwo\n" << 3 << 5 << -1 << "two\n";
        QTest::newRow("triple click on a wrapped line") << QString(25, 'x') + ' ' + QString(25, 'y') + "\nz" << 3 << 3
                                                        << -1 << QString(25, 'x') + ' ' + QString(25, 'y') + "\n";
        QTest::newRow("double click and drag") << "one two three" << 2 << 1 << 12 << "one two three";
    }

    void mouseSelections() { shared::mouseSelections(*m_window, true, true); }

    // The log keeps its selection when the focus moves on, drawn as inactive,
    // as QPlainTextEdit does.
    void focusOutSelection() { shared::focusOutSelection(*m_window, true, true); }

    void accessibleValueAndLineSeparator()
    {
        shared::accessibleValueAndLineSeparator(*m_window, true, "a\r\nb", "a\nb");
    }

    void logEditing_data()
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
        QTest::newRow("shift before shift+up keeps the column")
            << "4 \n"
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
        QTest::newRow("undo backspaces over a line break")
            << "" << QStringList{"a", "<Return>", "<Backspace>", "<Backspace>", "<Ctrl+Z>"} << "a" << 1;
        QTest::newRow("undo deletes over a line break")
            << "" << QStringList{"a", "<Return>", "b", "<Ctrl+Home>", "<Del>", "<Del>", "<Ctrl+Z>"} << "\nb" << 1;
        QTest::newRow("undo a delete just before a backspace's removal")
            << "" << QStringList{"b", "b", "<Backspace>", "<Left>", "<Del>", "<Ctrl+Z>"} << "bb" << 2;
        QTest::newRow("undo a deletion puts the caret after it")
            << "abcdef" << QStringList{"<Right>", "<Shift+Right>", "<Shift+Right>", "<Del>", "<Ctrl+Z>"} << "abcdef"
            << 3;
        QTest::newRow("redo after a new edit does nothing")
            << "ab" << QStringList{"x", "<Ctrl+Z>", "y", "<Ctrl+Shift+Z>"} << "yab" << 1;
    }

    void logEditing()
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
    void logPageKeys()
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
        const auto lineOfCaret = [this, &text] {
            return static_cast<int>(text.left(m_log->cursorPosition()).count('\n'));
        };
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

    void logWrapping_data()
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
    void logWrapping()
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
                QVERIFY2(metrics.horizontalAdvance(more) > room - 1,
                         qPrintable(QString("line %1 too short").arg(line)));
            }
        }
    }

    // Edits wrap again only the lines near them; the lines must come out as a
    // box that wraps the whole text afresh would have them.
    void logEditsWrapLikeAFreshBox()
    {
        const auto fresh = logLike(*m_log);
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
            fresh->setText(m_log->text());
            QVERIFY2(lineStarts(*m_log) == lineStarts(*fresh), qPrintable(QString("edit %1").arg(edit)));
        }
        m_log->undo();
        fresh->setText(m_log->text());
        QVERIFY(lineStarts(*m_log) == lineStarts(*fresh));
    }

    // The box scrolls by whole lines to keep the caret in view; a text set by
    // the program shows its start, a text extended by it its end.
    void logCaretStaysInView()
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

        // A tab that reaches past the edge leaves the caret at the edge.
        m_log->setText(QString());
        m_log->append(QString(21, 'm') + "\t");
        QCOMPARE(m_log->lineCount(), 1);
        QVERIFY(box.contains(m_log->inputMethodQuery(Qt::ImCursorRectangle).toRect()));
    }

    void logWheelScrollsLikePlainTextEdit_data()
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
        QTest::newRow("ctrl pages") << QList<int>{-120, -120, -30, 120} << int(Qt::ControlModifier) << false << false
                                    << 3;
        QTest::newRow("shift pages") << QList<int>{-120, -120, 120} << int(Qt::ShiftModifier) << false << false << 3;
        QTest::newRow("sideways does nothing") << QList<int>{-120, 120} << 0 << true << false << 3;
        QTest::newRow("past the end") << QList<int>{-120, -40, 120, -120} << 0 << false << true << 3;
    }

    // The wheel moves the view as a QPlainTextEdit without scroll bars moves it,
    // and the same events are taken or left to the parent; the caret stays.
    void logWheelScrollsLikePlainTextEdit()
    {
        QFETCH(QList<int>, deltas);
        QFETCH(int, modifiers);
        QFETCH(bool, horizontal);
        QFETCH(bool, fromEnd);
        QFETCH(int, linesPerNotch);

        const int defaultLines = QApplication::wheelScrollLines();
        QApplication::setWheelScrollLines(linesPerNotch);
        const auto restore = qScopeGuard([defaultLines] { QApplication::setWheelScrollLines(defaultLines); });

        QPlainTextEdit &plain = *m_plain;
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
    void logShowsWholeLinesOnly()
    {
        const QRect caret = m_log->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int lineHeight = caret.height();
        m_log->resize(m_log->width(), 2 * caret.top() + 4 * lineHeight + lineHeight / 2);
        const auto fourLines = logLike(*m_log, m_log->height() + 8);
        fourLines->show();
        QStringList lines;
        for (int i = 0; i < 6; ++i)
            lines << QString(20, QChar(0x2588));
        m_log->setText(lines.join('\n'));
        fourLines->setText(lines.mid(0, 4).join('\n'));
        QCOMPARE(m_log->lineCount(), 6);
        QCOMPARE(fourLines->lineCount(), 4);
        QCOMPARE(m_log->grab().toImage(), fourLines->grab().toImage());

        // The caret keys count the same four lines.
        m_log->setFocus(Qt::OtherFocusReason);
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(m_log, Qt::Key_Down);
        QCOMPARE(m_log->firstVisibleLine(), 1);
    }

    void logLineEnds_data()
    {
        QTest::addColumn<Scroll>("scroll");
        QTest::newRow("nothing between") << Scroll::None;
        QTest::newRow("empty input method event") << Scroll::InputMethodReset;
        QTest::newRow("taller box") << Scroll::Taller;
        QTest::newRow("font without other metrics") << Scroll::Font;
        QTest::newRow("style with another frame") << Scroll::Style;
    }

    // End on a line wrapped without a blank puts the caret after its last
    // character, on that line, not at the start of the next one, at the
    // plain text edit's position; what only brings the caret into view then
    // leaves it there, and End again stays. Typing goes in there.
    void logLineEnds()
    {
        QFETCH(Scroll, scroll);
        // Wide letters leave room at the line's end: another frame keeps the break.
        m_window->setTexts(true, QString(200, 'm'));
        QStyle *style = QStyleFactory::create(QStringLiteral("Windows"));
        style->setParent(m_window.get());
        for (QWidget *box : {static_cast<QWidget *>(m_plain), static_cast<QWidget *>(m_log)}) {
            QTest::keyClick(box, Qt::Key_End);
            if (box == m_plain)
                QCOMPARE(m_plain->textCursor().position(), m_log->lineStart(1));
            QFont font = box->font();
            font.setStyleStrategy(QFont::NoSubpixelAntialias);
            QInputMethodEvent reset;
            if (scroll == Scroll::InputMethodReset)
                QApplication::sendEvent(box, &reset);
            else if (scroll == Scroll::Taller)
                box->resize(box->width(), box->height() + 16);
            else if (scroll == Scroll::Font)
                box->setFont(font);
            else if (scroll == Scroll::Style)
                box->setStyle(style);
        }
        const auto caret = [this] { return m_log->inputMethodQuery(Qt::ImCursorRectangle).toRect(); };
        const QRect start = m_log->characterRectangle(0);
        for (int end = 0; end < 2; ++end) {
            QCOMPARE(m_log->cursorPosition(), m_log->lineStart(1));
            QCOMPARE(caret().top(), start.top());
            QVERIFY(caret().left() > start.left() + m_log->width() / 2);
            QTest::keyClick(m_log, Qt::Key_End);
        }
        QTest::keyClick(m_log, Qt::Key_Right);
        QVERIFY(caret().top() > start.top());

        // A click past the end of the first line does the same.
        QTest::mouseClick(m_log, Qt::LeftButton, Qt::NoModifier, QPoint(m_log->width() - 3, start.center().y()));
        QCOMPARE(m_log->cursorPosition(), m_log->lineStart(1));
        QCOMPARE(caret().top(), start.top());

        // A line broken after a blank ends before the blank.
        m_log->setText(QStringLiteral("7 ").repeated(100));
        QTest::keyClick(m_log, Qt::Key_End);
        QCOMPARE(m_log->cursorPosition(), m_log->lineStart(1) - 1);
        QCOMPARE(caret().top(), start.top());

        // Blanks where a line wraps are out of its width: Up from further
        // right and a click on them go before the last one.
        m_log->setText(QString(12, 'a') + "    " + QString(30, 'b') + " c");
        m_log->setCursorPosition(46);
        QTest::keyClick(m_log, Qt::Key_Up);
        QCOMPARE(m_log->cursorPosition(), 15);
        m_log->setCursorPosition(0);
        QTest::mouseClick(m_log, Qt::LeftButton, Qt::NoModifier, m_log->characterRectangle(12).center());
        QCOMPARE(m_log->cursorPosition(), 15);
    }

    // Tab into an input field selects its text for typing over; Tab into the
    // log leaves its text and caret alone, so that a note does not replace it.
    void tabIntoBoxes()
    {
        m_window->lineEdit()->setFocusPolicy(Qt::NoFocus);
        m_plain->setFocusPolicy(Qt::NoFocus);
        TextBox *field = m_window->field();
        field->setText("12");
        m_log->setText("kept\nlines");
        m_log->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(m_log, Qt::Key_Tab);
        QVERIFY(field->hasFocus());
        QCOMPARE(field->selectedText(), QString("12"));
        QTest::keyClick(field, Qt::Key_Tab);
        QVERIFY(m_log->hasFocus());
        QVERIFY(!m_log->hasSelectedText());
        QTest::keyClicks(m_log, "note ");
        QCOMPARE(m_log->text(), QString("note kept\nlines"));
    }

    // Ten megabytes pasted as one line: wrapped, edited, painted, undone.
    void logHugeText()
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

    // Another font wraps the log's lines anew, though the box keeps its size.
    void logFontChangeWraps()
    {
        const QString text = QString("word ").repeated(60);
        m_log->setText(text);
        const int before = m_log->lineCount();
        m_log->setFont(QFont(QStringLiteral("DejaVu Sans"), 14));
        const auto fresh = logLike(*m_log);
        fresh->setText(text);
        QCOMPARE(lineStarts(*m_log), lineStarts(*fresh));
        QVERIFY(m_log->lineCount() > before);
    }

    // A composition longer than a line of the log wraps onto the rows below.
    void compositionScrolledIntoView() { shared::compositionScrolledIntoView(*m_window, true, "mmmm", 80, true); }
};

QTEST_MAIN(TestLog)
#include "tst_log.moc"
