// The input fields' text box on its own: editing keys, selection, clipboard,
// undo, mouse placement, and texts of many megabytes.

#include "testsupport.h"
#include "textbox.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
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
    void accessibleValue();
    void hugeText();

private:
    std::unique_ptr<QWidget> m_window;
    TextBox *m_box = nullptr;
};

void TestTextBox::init()
{
    m_window = std::make_unique<QWidget>();
    m_box = new TextBox(m_window.get());
    m_box->setGeometry(8, 8, 133, 21);
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
    for (const QString &step : steps) {
        if (step.startsWith('<') && step.endsWith('>')) {
            const QKeyCombination keys = QKeySequence(step.mid(1, step.size() - 2))[0];
            QTest::keyClick(m_box, keys.key(), keys.keyboardModifiers());
        } else {
            // One key event that carries the whole text, as a keyboard layout
            // or input method delivers characters beyond ASCII.
            QTest::sendKeyEvent(QTest::Click, m_box, Qt::Key_unknown, step, Qt::NoModifier);
        }
    }
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

void TestTextBox::accessibleValue()
{
    m_box->setText("0x010203");
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(m_box);
    QVERIFY(accessible != nullptr);
    QCOMPARE(accessible->role(), QAccessible::EditableText);
    QCOMPARE(accessible->text(QAccessible::Value), QString("0x010203"));
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

QTEST_MAIN(TestTextBox)
#include "tst_textbox.moc"
