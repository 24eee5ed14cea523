// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// The input fields' single-line box: editing keys, selection, clipboard,
// undo, mouse placement, input methods, which part of a long text it shows,
// and texts of many megabytes. Where Qt's own QLineEdit defines the
// behaviour, the same steps are played on one beside it.

#include "sidebyside.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextCharFormat>
#include <QtTest>

using namespace quorran;

class TestField : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<SideBySide> m_window;
    TextBox *m_box = nullptr;
    QLineEdit *m_lineEdit = nullptr;
private slots:
    void cleanup() { m_window.reset(); }

    void init()
    {
        m_window = std::make_unique<SideBySide>();
        m_box = m_window->field();
        m_lineEdit = m_window->lineEdit();
        QGuiApplication::clipboard()->clear();
        QVERIFY(showActive(m_window.get()));
        m_box->setFocus(Qt::OtherFocusReason);
    }

    void editing_data()
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
        QTest::newRow("left over combining mark")
            << QString::fromUtf8("e\u0301x") << QStringList{"<Left>", "<Left>", "y"} << QString::fromUtf8("ye\u0301x")
            << 1 << "" << true;
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
            << "a..b, c" << QStringList{"<Home>", "<Ctrl+Right>", "<Ctrl+Right>", "<Ctrl+Right>", "_"} << "a..b_, c"
            << 5 << "" << true;
        QTest::newRow("word left stops at punctuation")
            << "a..b, c" << QStringList{"<Ctrl+Left>", "<Ctrl+Left>", "_"} << "a..b_, c" << 5 << "" << true;
        // QLineEdit of Qt 6.4 first extends the selection by a word; QPlainTextEdit
        // and later line edits delete just the selection.
        QTest::newRow("delete word end deletes the selection")
            << "abc def" << QStringList{"<Home>", "<Shift+Right>", "<Ctrl+Del>"} << "bc def" << 0 << "" << false;
        QTest::newRow("delete word start deletes the selection")
            << "abc def" << QStringList{"<Shift+Left>", "<Ctrl+Backspace>"} << "abc de" << 6 << "" << false;
        QTest::newRow("delete word end") << "abc def" << QStringList{"<Home>", "<Ctrl+Del>"} << "def" << 0 << ""
                                         << true;
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
            << "abcdef" << QStringList{"<Shift+Left>", "<Shift+Left>", "x", "y", "<Ctrl+Z>"} << "abcdef" << 4 << ""
            << true;
        QTest::newRow("redo after a new edit does nothing")
            << "ab" << QStringList{"c", "<Ctrl+Z>", "d", "<Ctrl+Shift+Z>"} << "abd" << 3 << "" << true;
        QTest::newRow("undo and redo twice")
            << "ab" << QStringList{"c", "<Left>", "d", "<Ctrl+Z>", "<Ctrl+Z>", "<Ctrl+Shift+Z>", "<Ctrl+Shift+Z>"}
            << "abdc" << 3 << "" << true;
        // Unlike QLineEdit: a stray Alt shortcut must not change a number.
        QTest::newRow("alt digit types nothing")
            << "12" << QStringList{"<Alt+1>", "<Alt+X>"} << "12" << 2 << "" << false;
        QTest::newRow("altgr types") << "1" << QStringList{"AltGr+@"} << "1@" << 2 << "" << true;
        // As QLineEdit under X11 (tst_randomkeys); offscreen it also steps on.
        QTest::newRow("left collapses a selection to its start")
            << "abcdef" << QStringList{"<Home>", "<Right>", "<Shift+Right>", "<Shift+Right>", "<Left>", "x"}
            << "axbcdef" << 2 << "" << false;
        QTest::newRow("right collapses a selection to its end")
            << "abcdef" << QStringList{"<Home>", "<Right>", "<Shift+Right>", "<Shift+Right>", "<Right>", "x"}
            << "abcxdef" << 4 << "" << false;
    }

    void editing()
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

    void platformKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("initial");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("clipboard");

        QTest::newRow("to the end") << int(QKeySequence::DeleteEndOfLine) << "12 345"
                                    << QStringList{"<Home>", "<Right>"} << "1"
                                    << "2 345";
        QTest::newRow("whole line") << int(QKeySequence::DeleteCompleteLine) << "12 345" << QStringList{"<Left>"} << ""
                                    << "12 345";
    }

    // The keys the platform binds to deleting a line, as QLineEdit takes them.
    void platformKeys()
    {
        QFETCH(QString, clipboard);
        shared::deleteLineKeys(*m_window, false, clipboard, true);
    }

    void primarySelection_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("selection");

        QTest::newRow("shift and arrows") << QStringList{"<Shift+Left>", "<Shift+Left>"} << "45";
        QTest::newRow("select all") << QStringList{"<Ctrl+A>"} << "12 345";
        QTest::newRow("shift and word") << QStringList{"<Home>", "<Ctrl+Shift+Right>"} << "12 ";
    }

    void primarySelection() { shared::keysSetPrimarySelection(*m_window, false, "12 345"); }

    void clipboardRoundTrip()
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

    void mousePlacesAndSelects()
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
                         m_box->mapToGlobal(QPointF(m_box->width() - 2, 10)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(m_box, &move);
        QCOMPARE(m_box->selectedText(), QString("123456"));
        // Released outside the box: no click.
        QTest::mouseRelease(m_box, Qt::LeftButton, Qt::NoModifier, QPoint(m_box->width() + 20, 10));
        QCOMPARE(clicks.count(), 2);
    }

    void mouseSelections_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("clicks"); // on the character at `at`
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("dragTo"); // a character dragged to after the clicks, or -1
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("likeStock");

        QTest::newRow("double click on a word") << "abc def" << 2 << 5 << -1 << "def" << true;
        QTest::newRow("double click on punctuation") << "12..34" << 2 << 2 << -1 << ".." << true;
        QTest::newRow("double click on a number") << "0x10 20" << 2 << 1 << -1 << "0x10" << true;
        QTest::newRow("triple click") << "abc def.ghi" << 3 << 1 << -1 << "abc def.ghi" << true;
        // QLineEdit extends by characters here.
        QTest::newRow("double click and drag") << "abc def ghi" << 2 << 1 << 9 << "abc def ghi" << false;
        QTest::newRow("double click and drag back") << "abc def ghi" << 2 << 9 << 1 << "abc def ghi" << false;
    }

    void mouseSelections()
    {
        QFETCH(bool, likeStock);
        shared::mouseSelections(*m_window, false, likeStock);
    }

    // Text dropped from elsewhere goes in where it is dropped; a drop is no click.
    void dropText()
    {
        for (EditBox *box : {static_cast<EditBox *>(m_box), static_cast<EditBox *>(m_window->log())}) {
            m_window->setTexts(box == m_window->log(), "1234");
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
    void dragMovesWithinBox()
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

    // The field drops its selection when the focus moves on, as QLineEdit does.
    void focusOutSelection() { shared::focusOutSelection(*m_window, false, false); }

    void contextMenuStates_data()
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
    void contextMenuStates()
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
    void inputMethodComposition()
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
        const auto caretX = [](QWidget *box) {
            return box->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
        };
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

    void inputMethodQueries_data()
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
    void inputMethodQueries()
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
        for (const Qt::InputMethodQuery other : {Qt::ImCursorRectangle, Qt::ImAnchorRectangle, Qt::ImMaximumTextLength,
                                                 Qt::ImReadOnly, Qt::ImEnterKeyType})
            QVERIFY(m_box->inputMethodQuery(other).isValid());
        QVERIFY(m_window->log()->inputMethodQuery(Qt::ImHints).toInt() & Qt::ImhMultiLine);

        m_box->setText(QString(qsizetype{10} * 1024 * 1024, QLatin1Char('7')));
        m_box->setCursorPosition(5 * 1024 * 1024);
        const QVariant answer = m_box->inputMethodQuery(property);
        if (answer.typeId() == QMetaType::QString && property != Qt::ImCurrentSelection)
            QVERIFY(answer.toString().size() <= 1024);
    }

    void accessibleValueAndLineSeparator()
    {
        shared::accessibleValueAndLineSeparator(*m_window, false, "0x010203", "0x010203");
    }

    void hugeTextInView_data()
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
    void hugeTextInView()
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

    void showsLikeLineEdit_data()
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
        QTest::newRow("mixed long") << "abc " + hebrew + " 123"
                                    << QStringList{"<Home>",  "<Right>", "<Right>", "<Right>",
                                                   "<Right>", "<Right>", "<Right>"};
        QTest::newRow("digits in hebrew")
            << hebrew.left(20) + " 66051 " + hebrew.left(20) << QStringList{"<End>", "<Left>", "<Left>", "<Left>"};
    }

    // Which characters show at the box's edges and where the caret is, next to
    // a line edit of the same font and size; both are painted after every step,
    // as the line edit scrolls only when it paints.
    void showsLikeLineEdit()
    {
        QFETCH(QString, initial);
        QFETCH(QStringList, steps);

        const QFont font(QStringLiteral("DejaVu Sans"), 9);
        QLineEdit *edit = m_lineEdit;
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

    void labelStartsAtLeftEdge_data()
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
    void labelStartsAtLeftEdge()
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

    // Megabytes are edited, painted and undone like a short text.
    void hugeText()
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
        // A paste larger than what undo keeps is still one step that undo takes back.
        m_box->setText("12");
        QGuiApplication::clipboard()->setText(QString(qsizetype{33} * 1024 * 1024, '7'));
        QTest::keyClick(m_box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(m_box->text().size(), 2 + 33 * 1024 * 1024);
        QTest::keyClick(m_box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(m_box->text(), QString("12"));
        QGuiApplication::clipboard()->clear();
    }

    // The middle button pastes the X11 primary selection where it is pressed.
    void middleClickPastesSelection()
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

    // In a field too long to lay out whole, the text scrolls before the caret
    // moving right from its start leaves the box.
    void longFieldScrollsWithCaret()
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

    // At the end of a full field, on the same line.
    void compositionScrolledIntoView()
    {
        shared::compositionScrolledIntoView(*m_window, false, QString(40, 'm'), 8, false);
    }
};

QTEST_MAIN(TestField)
#include "tst_field.moc"
