// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// The log's wrap index without a box: an edit wrapped in place gives the
// lines a wrap of the new text from its start gives, and so does wrapping on
// from any line start, for texts that break in every way the index knows.

#include "wrapindex.h"

#include <QGuiApplication>
#include <QtTest>

#include <limits>

using namespace quorran;

namespace {

constexpr qreal kTabStop = 80;

std::vector<int> allStarts(const WrapIndex &index)
{
    std::vector<int> starts;
    const int count = index.lineCount();
    starts.reserve(static_cast<std::size_t>(count));
    for (int line = 0; line < count; ++line)
        starts.push_back(index.lineStart(line));
    return starts;
}

std::vector<int> freshStarts(const QString &text, qreal width)
{
    WrapIndex fresh([&]() -> const QString & { return text; }, QGuiApplication::font(), kTabStop);
    fresh.setWidth(width);
    return allStarts(fresh);
}

struct Edit {
    double at; // where, as a share of the text's length
    int removed;
    const char16_t *added;
};

// Typing, deleting, a line feed, a blank that opens a break, a paste at the
// start and a replace at the end.
constexpr Edit kEdits[] = {
    {0.5, 0, u"x"},       {0.33, 3, u""},   {0.66, 0, u" "}, {0.25, 0, u"\n"}, {0.0, 1, u""}, {0.1, 0, u"pasted-words"},
    {1.0, 0, u"\u05d0z"}, {0.9, 40, u"42"},
};

} // namespace

class TestWrapIndex : public QObject {
    Q_OBJECT
private slots:
    void editWrapsAsFresh_data();
    void editWrapsAsFresh();
    void wrapsFromAnyLineStart_data() { editWrapsAsFresh_data(); }
    void wrapsFromAnyLineStart();
};

void TestWrapIndex::editWrapsAsFresh_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qreal>("width");
    const std::pair<const char *, QString> texts[] = {
        {"words", QStringLiteral("the quick brown fox jumps over the lazy dog ").repeated(12)},
        {"digits", QStringLiteral("0123456789").repeated(50)},
        {"hyphens", QStringLiteral("well-known long-standing state-of-the-art ").repeated(12)},
        {"ideographs", QStringLiteral("日本語の文章は空白なしで続きます。").repeated(20)},
        {"mixed right-to-left", QStringLiteral("abc שלום עולם مرحبا بالعالم 123 ").repeated(12)},
        {"line feeds", QStringLiteral("one two\n\n\nthree four five six seven\n").repeated(10)},
        {"tabs", QStringLiteral("a\tbb\tccc\tdddd\t").repeated(20)},
        {"surrogate pairs", QStringLiteral("😀😁𝒜𝒝😂 x").repeated(30)},
        {"combining marks", QStringLiteral("e\u0301\u0302a\u0327o\u0308").repeated(60)},
    };
    for (const auto &[name, text] : texts) {
        for (const qreal width : {20.0, 90.0, 400.0})
            QTest::addRow("%s, %g px", name, width) << text << width;
    }
    // Lines end at a bound however wide the box.
    QTest::newRow("digits past the longest line") << QStringLiteral("0123456789").repeated(300) << 1e9;
}

void TestWrapIndex::editWrapsAsFresh()
{
    QFETCH(QString, text);
    QFETCH(qreal, width);
    // Checked after every edit, the index is wrapped to the end before the
    // next; checked only at the end, each edit meets one wrapped in part.
    for (const bool checkEach : {true, false}) {
        QString edited = text;
        WrapIndex index([&]() -> const QString & { return edited; }, QGuiApplication::font(), kTabStop);
        index.setWidth(width);
        index.hasLine(3);
        for (const Edit &edit : kEdits) {
            const int start = static_cast<int>(edit.at * static_cast<double>(edited.size()));
            const int removed = std::min(edit.removed, static_cast<int>(edited.size()) - start);
            const auto added = QString::fromUtf16(edit.added);
            edited.replace(start, removed, added);
            index.textChanged(start, removed, static_cast<int>(added.size()));
            if (checkEach)
                QCOMPARE(allStarts(index), freshStarts(edited, width));
            else
                index.lineAt(start + static_cast<int>(added.size()));
        }
        QCOMPARE(allStarts(index), freshStarts(edited, width));
    }
}

void TestWrapIndex::wrapsFromAnyLineStart()
{
    QFETCH(QString, text);
    QFETCH(qreal, width);
    const std::vector<int> fresh = freshStarts(text, width);
    QVERIFY(fresh.size() > 1);
    WrapIndex index([&]() -> const QString & { return text; }, QGuiApplication::font(), kTabStop);
    index.setWidth(width);
    constexpr int kLines = 3;
    for (std::size_t line = 0; line < fresh.size(); ++line) {
        const std::vector<int> expected(fresh.begin() + static_cast<std::ptrdiff_t>(line),
                                        fresh.begin() +
                                            static_cast<std::ptrdiff_t>(std::min(fresh.size(), line + kLines)));
        QCOMPARE(index.wrapFrom(fresh[line], kLines), expected);
    }
}

QTEST_MAIN(TestWrapIndex)
#include "tst_wrapindex.moc"
