// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// The log's wrap index without a box: an edit wrapped in place gives the
// lines a wrap of the new text from its start gives, and so does wrapping on
// from any line start, for texts that break in every way the index knows;
// and its lines are those of a text layout of each paragraph.

#include "wrapindex.h"

#include <QGuiApplication>
#include <QTextLayout>
#include <QtTest>

#include <limits>
#include <random>

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

// Paragraphs of letters, blanks, tabs, surrogate pairs, marks and
// right-to-left letters, the characters that take another room in a line
// than alone.
QString randomParagraphs(unsigned seed)
{
    constexpr char32_t kCodes[] = {U'a',    U'e',    U'M',   U'7',   U' ',   U' ',   U'\t',  U'-',   0x1F600, 0x1D49C,
                                   0x1F3FB, 0x20BB7, 0x0301, 0x20DD, 0x0327, 0x05D0, 0x05E9, 0x0644, 0x0627};
    std::mt19937 random(seed);
    QString text;
    for (int paragraph = 0; paragraph < 60; ++paragraph) {
        const auto length = random() % 150;
        for (unsigned i = 0; i < length; ++i) {
            const char32_t code = random() % 2 == 0 ? U'a' + random() % 26 : kCodes[random() % std::size(kCodes)];
            text += QString::fromUcs4(&code, 1);
        }
        text += u'\n';
    }
    return text;
}

std::vector<int> layoutStarts(const QString &text, qreal width)
{
    std::vector<int> starts;
    int from = 0;
    for (const QString &paragraph : text.split(u'\n')) {
        QTextLayout layout(paragraph, QGuiApplication::font());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        option.setTabStopDistance(kTabStop);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            starts.push_back(from + line.textStart());
        }
        layout.endLayout();
        from += static_cast<int>(paragraph.size()) + 1;
    }
    return starts;
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
    void breaksAsTextLayout_data();
    void breaksAsTextLayout();
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
        {"random", randomParagraphs(1)},
    };
    for (const auto &[name, text] : texts) {
        for (const qreal width : {20.0, 90.0, 400.0})
            QTest::addRow("%s, %g px", name, width) << text << width;
    }
    // The paste before its first letter turns the paragraph left to right:
    // lines after it break elsewhere.
    QTest::newRow("paste turns the direction")
        << QStringLiteral(" \t\u05d0p xun\u0628-v\u0644\u20ddvh\u20dd.M=z\t\u0644\U0001F3FB") << 90.0;
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
            const QString removed = edited.mid(start, edit.removed);
            const auto added = QString::fromUtf16(edit.added);
            edited.replace(start, removed.size(), added);
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
        QCOMPARE(index.wrapFrom(line > 0 ? fresh[line - 1] : -1, fresh[line], kLines), expected);
    }
}

void TestWrapIndex::breaksAsTextLayout_data()
{
    editWrapsAsFresh_data();
    for (const qreal width : {133.0, 251.0, 333.0}) {
        for (unsigned seed = 2; seed < 5; ++seed)
            QTest::addRow("random %u, %g px", seed, width) << randomParagraphs(seed) << width;
    }
    QTest::newRow("tabs past the edge") << QStringLiteral("mc\tijrm gkeoe\\\t\t\t\tg 0qm \u0301Ixpl8gxt") << 250.0;
    // A line that starts with a right-to-left letter in a left-to-right paragraph.
    QTest::newRow("line of another direction")
        << QStringLiteral("\th \u05d5foog khxUm8j^jrm1\u05e2sog\u0308l\u05d3p x0\u05d0w \u0628 \u20dd\u0644 "
                          "\u03277xsa \tzy2\u05dbwq\u0644yw q\teoov\u05e6c yg\u05d5\u05d5\tb\U0001F3FB")
        << 333.0;
    QTest::newRow("emoji among words") << QStringLiteral("aaaa bbbbbb cccccc \U0001F600 dddddd eeeeeee fffffff")
                                       << 85.0;
    QTest::newRow("glyph past its advance") << QStringLiteral("w=p fN25wv@5hu \\  p9 ") << 120.0;
    // Laid out from its first tab on, the line's last word, cut short where
    // the text laid out ends, takes another shape and seems not to fit.
    QTest::newRow("tabs among right-to-left words")
        << QStringLiteral("\u05e2\u05d5\u05dc\u05dd\t\u0645\u0631\u062d\u0628\u0627-(7)\t\u0644\U0001D49C "
                          "\u05d0\u05d1\u05d2\u05d3 42\t\u05e9\u05dc\u05d5\u05dd \u0645\u0631\u062d\u0628\u0627-"
                          "\u0645\u0631\u062d\u0628\u0627")
        << 333.0;
}

void TestWrapIndex::breaksAsTextLayout()
{
    QFETCH(QString, text);
    QFETCH(qreal, width);
    if (width > 1e6)
        QSKIP("a text layout has no longest line");
    // Where a word breaks anywhere, single advances decide, which a pair of
    // letters drawn closer may belie: lines of a letter or two are left out.
    if (width < 50)
        QSKIP("lines of a letter or two");
    WrapIndex index([&]() -> const QString & { return text; }, QGuiApplication::font(), kTabStop);
    index.setWidth(width);
    QCOMPARE(allStarts(index), layoutStarts(text, width));
}

QTEST_MAIN(TestWrapIndex)
#include "tst_wrapindex.moc"
