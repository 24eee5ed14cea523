// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// What assistive tools see of the text boxes: the same answers as the stock
// QLineEdit and QPlainTextEdit give for the same text, caret and selection;
// an answer to every text query at any offset of any text; edits made through
// the interface as a user's edits; and the events every change sends, each
// carrying only the piece of text that changed.

#include "sidebyside.h"

#include <QAccessible>
#include <QtTest>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

using namespace quorran;

class TestAccessible : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void sideBySide_data();
    void sideBySide();
    void placesIgnoreCaret();
    void everyQueryAnswers_data();
    void everyQueryAnswers();
    void editsAsTyped_data();
    void editsAsTyped();
    void events_data();
    void events();

private:
    std::unique_ptr<SideBySide> m_window;
};

namespace {

// What the update handler saw, one line per event of the box watched.
QStringList seen;
QObject *watched = nullptr;

void record(QAccessibleEvent *event)
{
    if (event->object() != watched)
        return;
    switch (event->type()) {
    case QAccessible::TextInserted: {
        const auto *insert = static_cast<QAccessibleTextInsertEvent *>(event);
        seen << QStringLiteral("insert %1 %2").arg(insert->changePosition()).arg(insert->textInserted());
        break;
    }
    case QAccessible::TextRemoved: {
        const auto *remove = static_cast<QAccessibleTextRemoveEvent *>(event);
        seen << QStringLiteral("remove %1 %2").arg(remove->changePosition()).arg(remove->textRemoved());
        break;
    }
    case QAccessible::TextUpdated: {
        const auto *update = static_cast<QAccessibleTextUpdateEvent *>(event);
        seen << QStringLiteral("update %1 %2 %3")
                    .arg(update->changePosition())
                    .arg(update->textRemoved(), update->textInserted());
        break;
    }
    case QAccessible::TextCaretMoved:
        seen << QStringLiteral("cursor %1").arg(static_cast<QAccessibleTextCursorEvent *>(event)->cursorPosition());
        break;
    case QAccessible::TextSelectionChanged: {
        const auto *selection = static_cast<QAccessibleTextSelectionEvent *>(event);
        seen << QStringLiteral("selection %1 %2").arg(selection->selectionStart()).arg(selection->selectionEnd());
        break;
    }
    case QAccessible::ValueChanged:
        seen << QStringLiteral("value");
        break;
    case QAccessible::Focus:
        seen << QStringLiteral("focus");
        break;
    default:
        break;
    }
}

QString boundaryName(QAccessible::TextBoundaryType type)
{
    switch (type) {
    case QAccessible::CharBoundary:
        return QStringLiteral("char");
    case QAccessible::WordBoundary:
        return QStringLiteral("word");
    case QAccessible::SentenceBoundary:
        return QStringLiteral("sentence");
    case QAccessible::ParagraphBoundary:
        return QStringLiteral("paragraph");
    default:
        return QStringLiteral("line");
    }
}

using Lookup = QString (QAccessibleTextInterface::*)(int, QAccessible::TextBoundaryType, int *, int *) const;

QString lookUp(QAccessibleTextInterface *text, Lookup lookup, int offset, QAccessible::TextBoundaryType type)
{
    int start = 0;
    int end = 0;
    const QString found = (text->*lookup)(offset, type, &start, &end);
    return QStringLiteral("[%1,%2) \"%3\"").arg(start).arg(end).arg(found);
}

// Ends the test program when one query has gone unanswered for a second, so
// that a query that never returns fails the test instead of hanging it.
class Watchdog {
public:
    Watchdog() : m_thread([this] { watch(); }) {}
    ~Watchdog()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }
    Watchdog(const Watchdog &) = delete;
    Watchdog &operator=(const Watchdog &) = delete;

    void arm(const QString &what)
    {
        const std::lock_guard lock(m_mutex);
        m_what = what.toUtf8();
        m_since = std::chrono::steady_clock::now();
        m_armed = true;
    }
    void disarm()
    {
        const std::lock_guard lock(m_mutex);
        m_armed = false;
    }

private:
    void watch()
    {
        std::unique_lock lock(m_mutex);
        while (!m_done) {
            if (m_armed && std::chrono::steady_clock::now() - m_since > std::chrono::seconds(1)) {
                std::fprintf(stderr, "FAIL! no answer within a second: %s\n", m_what.constData());
                std::fflush(stderr);
                std::abort();
            }
            m_wake.wait_for(lock, std::chrono::milliseconds(20));
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_done = false;
    bool m_armed = false;
    QByteArray m_what;
    std::chrono::steady_clock::time_point m_since;
    std::thread m_thread;
};

} // namespace

void TestAccessible::init()
{
    m_window = std::make_unique<SideBySide>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    seen.clear();
    watched = nullptr;
}

void TestAccessible::cleanup()
{
    QAccessible::installUpdateHandler(nullptr);
    watched = nullptr;
    seen.clear();
    m_window.reset();
}

void TestAccessible::sideBySide_data()
{
    QTest::addColumn<bool>("log");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("cursor");

    QTest::newRow("field, caret inside") << false << "ab cd. Ef gh" << 4 << 4;
    QTest::newRow("field, selection backwards") << false << "0x010203 &H10" << 8 << 2;
    QTest::newRow("field, marks and surrogates") << false << QString::fromUtf8("e\u0301 \U0001F600x. 12") << 0 << 3;
    QTest::newRow("field, empty") << false << "" << 0 << 0;
    QTest::newRow("log, lines") << true << "ab cd. Ef\ngh ij\n\nkl" << 3 << 12;
    QTest::newRow("log, result line") << true << " 1. 2. 3 --->  66051\n" << 21 << 21;
    QTest::newRow("log, letters a fraction of a pixel wide") << true << "abcdefghij" << 2 << 2;
}

void TestAccessible::sideBySide()
{
    QFETCH(bool, log);
    QFETCH(QString, text);
    QFETCH(int, anchor);
    QFETCH(int, cursor);

    QWidget *ours = m_window->ours(log);
    QWidget *stock = m_window->stock(log);
    m_window->setTexts(log, text);
    if (log) {
        QTextCursor caret = m_window->plain()->textCursor();
        caret.setPosition(anchor);
        caret.setPosition(cursor, QTextCursor::KeepAnchor);
        m_window->plain()->setTextCursor(caret);
    } else {
        m_window->lineEdit()->setCursorPosition(cursor);
        if (anchor != cursor)
            m_window->lineEdit()->setSelection(anchor, cursor - anchor);
    }
    QAccessibleInterface *oursAccessible = QAccessible::queryAccessibleInterface(ours);
    QAccessibleInterface *stockAccessible = QAccessible::queryAccessibleInterface(stock);
    QAccessibleTextInterface *oursText = oursAccessible->textInterface();
    QAccessibleTextInterface *stockText = stockAccessible->textInterface();
    QVERIFY(oursText != nullptr);
    QVERIFY(oursAccessible->editableTextInterface() != nullptr);
    oursText->setSelection(0, anchor, cursor);
    if (anchor == cursor)
        oursText->setCursorPosition(cursor);

    QCOMPARE(oursAccessible->role(), stockAccessible->role());
    const QAccessible::State oursState = oursAccessible->state();
    const QAccessible::State stockState = stockAccessible->state();
    QCOMPARE(oursState.editable, stockState.editable);
    QCOMPARE(oursState.readOnly, stockState.readOnly);
    QCOMPARE(oursState.focusable, stockState.focusable);
    QCOMPARE(oursState.selectableText, stockState.selectableText);
    QCOMPARE(oursState.multiLine, stockState.multiLine);
    QCOMPARE(oursState.multiLine, log);

    const int count = stockText->characterCount();
    QCOMPARE(oursText->characterCount(), count);
    QCOMPARE(oursText->text(0, count), stockText->text(0, count));
    QCOMPARE(oursText->text(1, 3), stockText->text(1, 3));
    QCOMPARE(oursText->cursorPosition(), stockText->cursorPosition());
    QCOMPARE(oursText->selectionCount(), stockText->selectionCount());
    int oursStart = -1;
    int oursEnd = -1;
    int stockStart = -1;
    int stockEnd = -1;
    oursText->selection(0, &oursStart, &oursEnd);
    stockText->selection(0, &stockStart, &stockEnd);
    QCOMPARE(oursStart, stockStart);
    QCOMPARE(oursEnd, stockEnd);

    // The plain text edit answers the line before or after with the line at
    // the offset itself, so only the line edit is asked for those; the end
    // of the text is left out, where the line edit's search never returns.
    QList<QAccessible::TextBoundaryType> types{QAccessible::CharBoundary, QAccessible::LineBoundary};
    if (!log)
        types << QAccessible::WordBoundary << QAccessible::SentenceBoundary;
    QList<Lookup> lookups{&QAccessibleTextInterface::textAtOffset};
    if (!log)
        lookups << &QAccessibleTextInterface::textBeforeOffset << &QAccessibleTextInterface::textAfterOffset;
    for (const QAccessible::TextBoundaryType type : types) {
        for (int offset = 0; offset < count; ++offset) {
            for (const Lookup lookup : lookups) {
                const QString got = lookUp(oursText, lookup, offset, type);
                QString expected = lookUp(stockText, lookup, offset, type);
                // Where nothing comes before the offset, the line edit still
                // gives an end of 0; the box gives no bounds at all.
                if (expected == QLatin1String("[-1,0) \"\""))
                    expected = QStringLiteral("[-1,-1) \"\"");
                QVERIFY2(got == expected, qPrintable(QStringLiteral("%1 at %2: got %3, expected %4")
                                                         .arg(boundaryName(type))
                                                         .arg(offset)
                                                         .arg(got, expected)));
            }
        }
    }
    // Returns at all.
    QCOMPARE(lookUp(oursText, &QAccessibleTextInterface::textAtOffset, count, QAccessible::SentenceBoundary),
             QStringLiteral("[-1,-1) \"\""));

    // A point on a character finds that character again. The character
    // stands where the stock box draws a caret before it, counted from the
    // text's start: the line edit draws it five pixels into its rectangle.
    const auto stockCaret = [this, log](int offset) {
        if (!log) {
            m_window->lineEdit()->setCursorPosition(offset);
            return m_window->lineEdit()->inputMethodQuery(Qt::ImCursorRectangle).toRect().left() + 5;
        }
        QTextCursor cursor(m_window->plain()->document());
        cursor.setPosition(offset);
        return m_window->plain()->cursorRect(cursor).left();
    };
    for (int offset = 0; offset < count; ++offset) {
        const QRect rect = oursText->characterRect(offset);
        if (rect.isEmpty() || text.at(offset) == u'\n' || text.at(offset).isLowSurrogate() || text.at(offset).isMark())
            continue;
        QCOMPARE(oursText->offsetAtPoint(QPoint(rect.left() + rect.width() / 4, rect.center().y())), offset);
        QCOMPARE(rect.left() - oursText->characterRect(0).left(), stockCaret(offset) - stockCaret(0));
    }
}

// Where a character is shown does not depend on where the caret stands, not
// even with the caret at the end of a line wrapped without a blank, at the
// position of the next line's first character; nor does asking which
// character is at a point move the caret there.
void TestAccessible::placesIgnoreCaret()
{
    LogBox *log = m_window->log();
    log->setText(QString(120, QLatin1Char('7')));
    QVERIFY(log->lineCount() > 1);
    QAccessibleTextInterface *text = QAccessible::queryAccessibleInterface(log)->textInterface();
    const int count = text->characterCount();
    QList<QRect> shown;
    for (int offset = 0; offset < count; ++offset)
        shown << text->characterRect(offset);
    for (int line = 0; line < log->lineCount(); ++line) {
        log->setCursorPosition(log->lineStart(line));
        QTest::keyClick(log, Qt::Key_End);
        for (int offset = 0; offset < count; ++offset)
            QCOMPARE(text->characterRect(offset), shown.at(offset));
    }
    log->setCursorPosition(log->lineStart(1));
    const QRect caret = log->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const QPoint lineEnd = log->mapFromGlobal(shown.at(log->lineStart(1) - 1).center());
    QCOMPARE(text->offsetAtPoint(log->mapToGlobal(QPoint(log->width() - 4, lineEnd.y()))), log->lineStart(1));
    log->setCursorPosition(log->cursorPosition());
    QCOMPARE(log->inputMethodQuery(Qt::ImCursorRectangle).toRect(), caret);
}

void TestAccessible::everyQueryAnswers_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << "";
    QTest::newRow("blanks only") << "    ";
    QTest::newRow("written number") << " 66051";
    QTest::newRow("trailing blanks") << "66051  ";
    QTest::newRow("CR LF") << "ERROR: Area ID must be within [0,255]\r\nERROR: Port ID must be within [0,255]\r\n";
    QTest::newRow("tabs") << "\t1\t\t2 \t";
    QTest::newRow("surrogate pairs") << QString::fromUtf8("\U0001F600\U0001F600 \U00010437x");
    QTest::newRow("combining marks") << QString::fromUtf8("\u0301e\u0301\u0308 a\u0308. B\u0301");
    QTest::newRow("10 MB of digits") << QString(10 << 20, QLatin1Char('7'));
    QTest::newRow("10 MB of blanks and words") << QStringLiteral(" ab. \r\n").repeated(2 << 20);
}

// Every query at every kind of offset returns, within a second, a piece of
// the text with its bounds in the whole text, or nothing with bounds -1; the
// piece at an offset holds that offset. Attributes come as one run.
void TestAccessible::everyQueryAnswers()
{
    QFETCH(QString, text);

    m_window->field()->setText(text);
    m_window->log()->setText(text);
    Watchdog watchdog;
    const QList<QAccessible::TextBoundaryType> types{QAccessible::CharBoundary, QAccessible::WordBoundary,
                                                     QAccessible::SentenceBoundary, QAccessible::LineBoundary,
                                                     QAccessible::ParagraphBoundary};
    const QList<std::pair<const char *, Lookup>> lookups{{"before", &QAccessibleTextInterface::textBeforeOffset},
                                                         {"at", &QAccessibleTextInterface::textAtOffset},
                                                         {"after", &QAccessibleTextInterface::textAfterOffset}};
    for (EditBox *box : {m_window->ours(false), m_window->ours(true)}) {
        const QString all = box->text();
        const int count = static_cast<int>(all.size());
        QAccessibleTextInterface *accessible = QAccessible::queryAccessibleInterface(box)->textInterface();
        const QList<int> offsets{-5, -1, 0, 1, 2, count / 2, count - 2, count - 1, count, count + 1};
        for (const QAccessible::TextBoundaryType type : types) {
            for (const auto &[side, lookup] : lookups) {
                for (const int offset : offsets) {
                    const QString what = QStringLiteral("%1 %2 %3 of %4 in the %5")
                                             .arg(boundaryName(type), QLatin1String(side))
                                             .arg(offset)
                                             .arg(count)
                                             .arg(box == m_window->log() ? "log" : "field");
                    int start = -2;
                    int end = -2;
                    watchdog.arm(what);
                    const QString found = (accessible->*lookup)(offset, type, &start, &end);
                    watchdog.disarm();
                    const bool none = start == -1 && end == -1 && found.isEmpty();
                    // The empty line after the log's last line break is a line.
                    const bool piece =
                        start >= 0 && start <= end && end <= count && found == all.mid(start, end - start);
                    QVERIFY2(none || piece, qPrintable(QStringLiteral("%1: [%2,%3)").arg(what).arg(start).arg(end)));
                    if (std::strcmp(side, "at") == 0 && offset >= 0 && offset < count &&
                        type != QAccessible::LineBoundary)
                        QVERIFY2(start <= offset && offset < end,
                                 qPrintable(QStringLiteral("%1: [%2,%3)").arg(what).arg(start).arg(end)));
                    if (type == QAccessible::CharBoundary && std::strcmp(side, "at") == 0) {
                        watchdog.arm(QStringLiteral("attributes at %1").arg(offset));
                        accessible->attributes(offset, &start, &end);
                        watchdog.disarm();
                        // One run over the whole text, which a screen reader reads whole.
                        QCOMPARE(start, 0);
                        QCOMPARE(end, count);
                    }
                }
            }
        }
    }
}

void TestAccessible::editsAsTyped_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("insert") << "insert" << 2 << 2 << "x"
                            << "12x345";
    QTest::newRow("delete") << "delete" << 1 << 4 << ""
                            << "15";
    QTest::newRow("replace") << "replace" << 0 << 2 << "0x"
                             << "0x345";
    QTest::newRow("offsets beyond the text") << "replace" << 3 << 99 << "9"
                                             << "1239";
}

// Edits through the interface are undone as a user's, and reported as his.
void TestAccessible::editsAsTyped()
{
    QFETCH(QString, edit);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QString, text);
    QFETCH(QString, expected);

    TextBox *box = m_window->field();
    box->setText("12345");
    QSignalSpy edited(box, &EditBox::textEdited);
    QAccessibleEditableTextInterface *editable = QAccessible::queryAccessibleInterface(box)->editableTextInterface();
    if (edit == "insert")
        editable->insertText(start, text);
    else if (edit == "delete")
        editable->deleteText(start, end);
    else
        editable->replaceText(start, end, text);
    QCOMPARE(box->text(), expected);
    QCOMPARE(edited.count(), 1);
    box->undo();
    QCOMPARE(box->text(), QString("12345"));
}

void TestAccessible::events_data()
{
    QTest::addColumn<bool>("log");
    QTest::addColumn<QString>("initial");
    // "text" to type, "<key>", "=text" to set, "+text" to append, "!" to move
    // the focus away, "^" to bring it back with Tab
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("typing") << false << "ab" << QStringList{"x"} << QStringList{"insert 2 x", "value", "cursor 3"};
    QTest::newRow("backspace") << false << "abc" << QStringList{"<Backspace>"}
                               << QStringList{"remove 2 c", "value", "cursor 2"};
    QTest::newRow("typing over a selection")
        << false << "abc" << QStringList{"<Shift+Left>", "<Shift+Left>", "x"}
        << QStringList{"cursor 2",   "selection 2 3", "cursor 1", "selection 1 3",  "remove 1 bc",
                       "insert 1 x", "value",         "cursor 2", "selection -1 -1"};
    QTest::newRow("caret keys") << false << "abc" << QStringList{"<Home>", "<End>"}
                                << QStringList{"cursor 0", "cursor 3"};
    QTest::newRow("undo") << false << "abc" << QStringList{"x", "<Ctrl+Z>"}
                          << QStringList{"insert 3 x", "value", "cursor 4", "remove 3 x", "value", "cursor 3"};
    QTest::newRow("program sets a new text") << false << "Address ID" << QStringList{"= 66051"}
                                             << QStringList{"update 0 Address ID  66051", "value", "cursor 6"};
    QTest::newRow("program changes a digit")
        << false << "12345" << QStringList{"=12845"} << QStringList{"update 2 3 8", "value"};
    QTest::newRow("program writes into a box without the focus")
        << false << "Address ID" << QStringList{"<Shift+Home>", "!", "= 66051"}
        << QStringList{"cursor 0", "selection 0 10", "update 0 Address ID  66051", "value"};
    QTest::newRow("focus comes back with Tab")
        << false << "Address ID" << QStringList{"!", "^"} << QStringList{"focus", "selection 0 10"};
    QTest::newRow("log appended") << true << "a\n"
                                  << QStringList{"+b\r\n"} << QStringList{"insert 2 b\n", "value", "cursor 4"};
    QTest::newRow("megabyte field") << false << QString(1 << 20, QLatin1Char('7')) << QStringList{"8"}
                                    << QStringList{"insert 1048576 8", "value", "cursor 1048577"};
}

void TestAccessible::events()
{
    QFETCH(bool, log);
    QFETCH(QString, initial);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, expected);

    EditBox *box = m_window->ours(log);
    m_window->setTexts(log, initial);
    box->setFocus(Qt::OtherFocusReason);
    QAccessible::installUpdateHandler(record);
    QTRY_VERIFY_WITH_TIMEOUT(QAccessible::isActive(), 20000);
    watched = box;
    for (const QString &step : steps) {
        if (step.startsWith('<') && step.endsWith('>')) {
            const QKeyCombination keys = QKeySequence(step.mid(1, step.size() - 2))[0];
            QTest::keyClick(box, keys.key(), keys.keyboardModifiers());
        } else if (step == QLatin1String("!")) {
            m_window->lineEdit()->setFocus(Qt::TabFocusReason);
        } else if (step == QLatin1String("^")) {
            m_window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
            box->setFocus(Qt::TabFocusReason);
            QCoreApplication::processEvents();
        } else if (step.startsWith('=')) {
            m_window->field()->setText(step.mid(1));
        } else if (step.startsWith('+')) {
            m_window->log()->append(step.mid(1));
        } else {
            QTest::keyClicks(box, step);
        }
    }
    QCOMPARE(seen.join(QLatin1Char(';')), expected.join(QLatin1Char(';')));
}

QTEST_MAIN(TestAccessible)
#include "tst_accessible.moc"
