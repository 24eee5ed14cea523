// The text boxes on their own: the input fields' single-line box and the
// message log's multi-line box. Editing keys, selection, clipboard, undo,
// mouse placement, how the log wraps and where it shows its caret, and texts
// of many megabytes.

#include "logbox.h"
#include "testsupport.h"
#include "textbox.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QtTest>

using namespace quorran;

class TestTextBox : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void editing_data();
    void editing();
    void clipboardRoundTrip();
    void mousePlacesAndSelects();
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
    void logWrapping_data();
    void logWrapping();
    void logEditsWrapLikeAFreshBox();
    void logCaretStaysInView();
    void logLineEnds();
    void tabIntoBoxes();
    void logHugeText();

private:
    std::unique_ptr<QWidget> m_window;
    TextBox *m_box = nullptr;
    LogBox *m_log = nullptr;
};

namespace {

// Each step is a text to type, or a key sequence in "<...>".
void play(QWidget *box, const QStringList &steps)
{
    for (const QString &step : steps) {
        if (step.startsWith('<') && step.endsWith('>')) {
            const QKeyCombination keys = QKeySequence(step.mid(1, step.size() - 2))[0];
            QTest::keyClick(box, keys.key(), keys.keyboardModifiers());
        } else {
            // One key event that carries the whole text, as a keyboard layout
            // or input method delivers characters beyond ASCII.
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, step, Qt::NoModifier);
        }
    }
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
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_box->setFocus(Qt::OtherFocusReason);
}

void TestTextBox::cleanup() { m_window.reset(); }

void TestTextBox::editing_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QStringList>("steps"); // "text" to type, or a key sequence in "<...>"
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("cursor");

    QTest::newRow("type into empty") << "" << QStringList{"12"} << "12" << 2;
    QTest::newRow("home then type") << "345" << QStringList{"<Home>", "12"} << "12345" << 2;
    QTest::newRow("backspace") << "abc" << QStringList{"<Backspace>"} << "ab" << 2;
    QTest::newRow("delete at home") << "abc" << QStringList{"<Home>", "<Del>"} << "bc" << 0;
    QTest::newRow("shift-select and type") << "abcd" << QStringList{"<Shift+Left>", "<Shift+Left>", "X"} << "abX" << 3;
    QTest::newRow("select all and type") << "abc" << QStringList{"<Ctrl+A>", "z"} << "z" << 1;
    QTest::newRow("undo") << "abc" << QStringList{"d", "<Ctrl+Z>"} << "abc" << 3;
    QTest::newRow("undo then redo") << "abc" << QStringList{"d", "<Ctrl+Z>", "<Ctrl+Shift+Z>"} << "abcd" << 4;
    QTest::newRow("backspace over surrogate pair")
        << QString::fromUtf8("a\U0001F600") << QStringList{"<Backspace>"} << "a" << 1;
    QTest::newRow("left over surrogate pair")
        << QString::fromUtf8("a\U0001F600") << QStringList{"<Left>", "x"} << QString::fromUtf8("ax\U0001F600") << 2;
    QTest::newRow("left over combining mark")
        << QString::fromUtf8("e\u0301x") << QStringList{"<Left>", "<Left>", "y"} << QString::fromUtf8("ye\u0301x") << 1;
    QTest::newRow("word left") << "12 345" << QStringList{"<Ctrl+Left>", "_"} << "12 _345" << 4;
    QTest::newRow("word right") << "12 345" << QStringList{"<Home>", "<Ctrl+Right>", "_"} << "12 _345" << 4;
    QTest::newRow("enter types nothing") << "1" << QStringList{"<Return>", "<Esc>"} << "1" << 1;
    QTest::newRow("ctrl letters type nothing") << "1" << QStringList{"<Ctrl+B>"} << "1" << 1;
    QTest::newRow("any script") << "" << QStringList{QString::fromUtf8("\u0661\u4E2D")}
                                << QString::fromUtf8("\u0661\u4E2D") << 2;
}

void TestTextBox::editing()
{
    QFETCH(QString, initial);
    QFETCH(QStringList, steps);
    QFETCH(QString, expected);
    QFETCH(int, cursor);

    m_box->setText(initial);
    play(m_box, steps);
    QCOMPARE(m_box->text(), expected);
    QCOMPARE(m_box->cursorPosition(), cursor);
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

// Edits wrap only the paragraphs they touch; the lines must come out as a
// box that wraps the whole text afresh would have them.
void TestTextBox::logEditsWrapLikeAFreshBox()
{
    LogBox fresh(m_window.get());
    fresh.setGeometry(m_log->geometry());
    fresh.setFont(m_log->font());
    const QStringList pieces = {"ERROR: Port ID ", "must ", "\n", "77777777777777777777777777777777", " ", "\n\n", "x"};
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
        fresh.setText(m_log->text());
        QVERIFY2(lineStarts(*m_log) == lineStarts(fresh), qPrintable(QString("edit %1").arg(edit)));
    }
    m_log->undo();
    fresh.setText(m_log->text());
    QVERIFY(lineStarts(*m_log) == lineStarts(fresh));
}

// The box scrolls by whole lines to keep the caret in view and by nothing
// else; a text set or extended by the program shows its start.
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
    QVERIFY(m_log->firstVisibleLine() > 0);

    QWheelEvent wheel(QPointF(20, 20), m_log->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    const int top = m_log->firstVisibleLine();
    QApplication::sendEvent(m_log, &wheel);
    QCOMPARE(m_log->firstVisibleLine(), top);

    // A click lands on the line under the mouse.
    const int lineHeight = m_log->inputMethodQuery(Qt::ImCursorRectangle).toRect().height();
    QTest::mouseClick(m_log, Qt::LeftButton, Qt::NoModifier,
                      QPoint(m_log->width() - 4, 4 + lineHeight + lineHeight / 2));
    QCOMPARE(m_log->cursorPosition(), text.indexOf(QString("\n"), text.indexOf(QString("line %1").arg(top + 1))));

    QTest::keyClick(m_log, Qt::Key_End, Qt::ControlModifier);
    QVERIFY(box.contains(m_log->inputMethodQuery(Qt::ImCursorRectangle).toRect()));
    m_log->append("more\n");
    QCOMPARE(m_log->firstVisibleLine(), 0);
    QCOMPARE(m_log->cursorPosition(), 0);
    QCOMPARE(m_log->text(), text + "more\n");
}

// End on a wrapped line puts the caret after its last character, on that
// line, not at the start of the next one; typing goes in there.
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
}

// Tab into an input field selects its text for typing over; Tab into the
// log leaves its text and caret alone, so that a note does not replace it.
void TestTextBox::tabIntoBoxes()
{
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

QTEST_MAIN(TestTextBox)
#include "tst_textbox.moc"
