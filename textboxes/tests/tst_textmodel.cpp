// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// The editing model without any window: undo steps and their merge rules,
// the length limit and the undo bound made small, and the notices observers
// get, replayed on a copy of the text that must end up the same.

#include "textmodel.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using quorran::TextChange;
using quorran::TextModel;

namespace {

// Runs steps written as "type:ab", "paste:ab", "set:ab", "append:ab",
// "insert:ab", "bs", "del", "remove", "move:N", "select:A,C", "kill:A,C",
// "undo", "redo", "all", "dragmove:A,C>P" (a selection moved within the
// text, in one undo step).
void run(TextModel &model, const QString &step)
{
    const QString name = step.section(u':', 0, 0);
    const QString argument = step.section(u':', 1);
    const auto number = [&argument](int index) {
        return argument.section(QRegularExpression("[,>]"), index, index).toInt();
    };
    if (name == u"type")
        model.type(argument);
    else if (name == u"paste")
        model.paste(argument);
    else if (name == u"insert")
        model.insert(argument);
    else if (name == u"set")
        model.setText(argument, static_cast<int>(argument.size()));
    else if (name == u"append")
        model.append(argument, model.size() + static_cast<int>(argument.size()));
    else if (name == u"bs")
        model.backspace();
    else if (name == u"del")
        model.deleteForward();
    else if (name == u"remove")
        model.removeSelection();
    else if (name == u"move")
        model.moveCursor(number(0), false);
    else if (name == u"select")
        model.select(number(0), number(1));
    else if (name == u"kill")
        model.deleteRange(number(0), number(1));
    else if (name == u"undo")
        model.undo();
    else if (name == u"redo")
        model.redo();
    else if (name == u"all")
        model.selectAll();
    else if (name == u"dragmove") {
        const TextModel::Batch batch(model);
        const int start = number(0);
        const int end = number(1);
        const QString moved = model.text().mid(start, end - start);
        model.edit(start, end, QString(), TextModel::EditKind::Other);
        const int to = number(2) > end ? number(2) - (end - start) : number(2);
        model.edit(to, to, moved, TextModel::EditKind::Other, true);
    } else
        QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
}

} // namespace

class TestTextModel : public QObject {
    Q_OBJECT
private slots:
    void editing_data();
    void editing();
    void limits_data();
    void limits();
    void notices_data();
    void notices();
};

void TestTextModel::editing_data()
{
    QTest::addColumn<bool>("multiLine");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<bool>("undoLeft");
    QTest::addColumn<bool>("redoLeft");

    QTest::newRow("field: a typed run is undone at once")
        << false << QStringList{"type:a", "type:b", "type:c", "undo"} << "" << 0 << 0 << false << true;
    QTest::newRow("field: a caret move ends the run")
        << false << QStringList{"type:a", "type:b", "move:1", "type:c", "undo"} << "ab" << 1 << 1 << true << true;
    QTest::newRow("field: a selection dropped where the caret stays is no caret move")
        << false << QStringList{"type:au", "kill:2,0", "undo", "move:0", "redo", "type:y", "undo"} << "au" << 2 << 0
        << true << true;
    QTest::newRow("field: undo of a word delete selects it again")
        << false << QStringList{"type:ab cd", "kill:5,3", "undo"} << "ab cd" << 5 << 3 << true << true;
    QTest::newRow("field: a removed selection and the typing after it are one step")
        << false << QStringList{"type:ab", "select:0,2", "remove", "type:x", "undo"} << "ab" << 0 << 2 << true << true;
    QTest::newRow("field: Backspace then Delete are two steps")
        << false << QStringList{"type:ab", "move:1", "bs", "del", "undo"} << "b" << 0 << 0 << true << true;
    QTest::newRow("field: an empty paste replaces the selection")
        << false << QStringList{"type:ab", "all", "paste:"} << "" << 0 << 0 << true << false;
    QTest::newRow("log: an empty paste keeps the selection")
        << true << QStringList{"type:ab", "all", "paste:"} << "ab" << 0 << 2 << true << false;
    QTest::newRow("log: a paste and the typing after it are one step")
        << true << QStringList{"paste:ab", "type:c", "undo"} << "" << 0 << 0 << false << true;
    QTest::newRow("log: Backspace then Delete that meet are one step")
        << true << QStringList{"type:a", "type:b", "move:1", "bs", "del", "undo"} << "ab" << 2 << 2 << true << true;
    QTest::newRow("log: Backspace then Delete of characters typed apart are two steps")
        << true << QStringList{"set:b", "move:0", "type:e", "del", "bs", "undo"} << "e" << 1 << 1 << true << true;
    QTest::newRow("log: undo puts the caret after the text it brought back")
        << true << QStringList{"type:ab cd", "kill:5,3", "undo"} << "ab cd" << 5 << 5 << true << true;
    QTest::newRow("log: CR LF and lone CR are held as LF")
        << true << QStringList{"type:a\r\nb\rc"} << "a\nb\nc" << 5 << 5 << true << false;
    QTest::newRow("undo after the program's write is gone")
        << false << QStringList{"type:ab", "set:12"} << "12" << 2 << 2 << false << false;
    QTest::newRow("redo of a drag-move brings back the removal and the insertion")
        << false << QStringList{"type:abcd", "dragmove:0,2>4", "undo", "redo"} << "cdab" << 4 << 4 << true << false;
    QTest::newRow("the caret never stands beyond the text")
        << false << QStringList{"type:ab", "move:99", "type:c"} << "abc" << 3 << 3 << true << false;
}

void TestTextModel::editing()
{
    QFETCH(bool, multiLine);
    QFETCH(QStringList, steps);
    TextModel model(multiLine ? TextModel::Lines::Multi : TextModel::Lines::Single);
    for (const QString &step : steps)
        run(model, step);
    QTEST(model.text(), "text");
    QTEST(model.anchor(), "anchor");
    QTEST(model.cursor(), "cursor");
    QTEST(model.isUndoAvailable(), "undoLeft");
    QTEST(model.isRedoAvailable(), "redoLeft");
}

void TestTextModel::limits_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("refusals");
    QTest::addColumn<int>("undoSteps");

    // At most 4 characters, and undo keeps 2 characters of edits.
    QTest::newRow("a replace at the limit counts what it removes")
        << QStringList{"set:abcd", "select:1,3", "type:xy"} << "axyd" << 0 << 1;
    QTest::newRow("a replace beyond the limit is refused whole")
        << QStringList{"set:abcd", "select:1,3", "type:xyz"} << "abcd" << 1 << 0;
    QTest::newRow("typing at the limit is refused") << QStringList{"set:abcd", "type:e"} << "abcd" << 1 << 0;
    QTest::newRow("the program's write beyond the limit is refused")
        << QStringList{"set:ab", "set:abcde", "append:xyz"} << "ab" << 2 << 0;
    QTest::newRow("an edit larger than the undo bound can still be undone")
        << QStringList{"set:abcd", "all", "paste:wxyz", "undo"} << "abcd" << 0 << 0;
    QTest::newRow("the oldest steps go once the bound is passed")
        << QStringList{"type:a", "move:0", "type:b", "move:0", "type:c", "undo", "undo"} << "a" << 0 << 0;
}

void TestTextModel::limits()
{
    QFETCH(QStringList, steps);
    TextModel model(TextModel::Lines::Single);
    model.setLimits(4, 2);
    const QSignalSpy refused(&model, &TextModel::refused);
    for (const QString &step : steps)
        run(model, step);
    QTEST(model.text(), "text");
    QTEST(static_cast<int>(refused.count()), "refusals");
    QFETCH(int, undoSteps);
    for (int step = 0; step < undoSteps; ++step)
        model.undo();
    QCOMPARE(model.isUndoAvailable(), false);
}

void TestTextModel::notices_data()
{
    QTest::addColumn<bool>("multiLine");
    QTest::addColumn<QStringList>("steps");

    const QStringList edits{"type:one two",
                            "move:3",
                            "type:X",
                            "bs",
                            "bs",
                            "del",
                            "kill:0,4",
                            "undo",
                            "undo",
                            "redo",
                            "all",
                            "paste:a\r\nb",
                            "append:\ntail",
                            "select:1,3",
                            "insert:\u00e9\u0301",
                            "undo",
                            "dragmove:0,2>5",
                            "undo",
                            "redo",
                            "set:fresh",
                            "move:2",
                            "del",
                            "undo"};
    QTest::newRow("field") << false << edits;
    QTest::newRow("log") << true << edits;
}

// An observer that keeps its own copy of the text from the notices alone ends
// up with the model's text after every step, and each step ends in exactly
// one settled notice, edited where the user's edit changed the text.
void TestTextModel::notices()
{
    QFETCH(bool, multiLine);
    QFETCH(QStringList, steps);
    TextModel model(multiLine ? TextModel::Lines::Multi : TextModel::Lines::Single);
    QString copy;
    int settled = 0;
    bool edited = false;
    connect(&model, &TextModel::changed, this, [&](const TextChange &change) {
        if (change.changesText()) {
            QCOMPARE(copy.mid(change.start, change.removed.size()), change.removed);
            copy.replace(change.start, change.removed.size(), model.text().mid(change.start, change.added));
        }
        if (change.settled) {
            ++settled;
            edited = change.edited;
        }
    });
    for (const QString &step : steps) {
        const QString before = model.text();
        settled = 0;
        run(model, step);
        QVERIFY2(copy == model.text(), qPrintable(step));
        QVERIFY2(settled <= 1, qPrintable(step));
        const bool byUser = !step.startsWith(u"set") && !step.startsWith(u"append");
        if (model.text() != before) {
            QVERIFY2(settled == 1, qPrintable(step));
            QVERIFY2(edited == byUser, qPrintable(step));
        }
    }
}

QTEST_APPLESS_MAIN(TestTextModel)
#include "tst_textmodel.moc"
