// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// Random key sequences, as a new user's fingers would type them, played on
// our boxes and on Qt's own side by side: the field next to a QLineEdit, the
// log next to a QPlainTextEdit, of the same font and size. After every step
// the text, caret, anchor, undo and redo availability and the clipboard must
// agree, and so must what assistive tools find through the accessible text
// interface and what they are told. A sequence that diverges is shrunk to a shortest one that still does
// and printed in a form --replay takes.
//
//   tst_randomkeys [--seeds FIRST-LAST] [--steps N] [Qt Test options]
//   tst_randomkeys --replay field|log 'STEPS'
//
// Steps: "text" is typed as one key, <Ctrl+Z> is a key, set"text" and
// append"text" are the calls the window makes, clip"text" is another
// program putting text on the clipboard; \n, \" and \uXXXX escape.
// The differences we keep on purpose are listed in kDeliberate: a step one of
// them covers is left out on both sides; kStockFaults lists the queries the
// stock interfaces answer wrongly or never.

#include "sidebyside.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QtTest>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <random>

using namespace quorran;

namespace {

enum class Pair { Field, Log };

struct Step {
    enum class Kind { Type, Key, Set, Append, Clip, Refocus };
    Kind kind = Kind::Type;
    QString text;
    QKeyCombination keys;
};

struct State {
    QString text;
    int cursor = 0;
    int anchor = 0;
    bool undo = false;
    bool redo = false;
    QString clipboard;
    bool operator==(const State &) const = default;
};

QString quoted(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\')
            out += u'\\' + QString(c);
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out + u'"';
}

QString describe(const Step &step)
{
    switch (step.kind) {
    case Step::Kind::Type:
        return quoted(step.text);
    case Step::Kind::Key:
        return u'<' + QKeySequence(step.keys).toString() + u'>';
    case Step::Kind::Set:
        return QStringLiteral("set") + quoted(step.text);
    case Step::Kind::Append:
        return QStringLiteral("append") + quoted(step.text);
    case Step::Kind::Clip:
        return QStringLiteral("clip") + quoted(step.text);
    case Step::Kind::Refocus:
        return QStringLiteral("refocus\"\"");
    }
    return {};
}

QString describe(const QList<Step> &steps)
{
    QStringList parts;
    for (const Step &step : steps)
        parts << describe(step);
    return parts.join(u' ');
}

QString describe(const State &state)
{
    return QStringLiteral("text %1 caret %2 anchor %3 undo %4 redo %5 clipboard %6")
        .arg(quoted(state.text))
        .arg(state.cursor)
        .arg(state.anchor)
        .arg(state.undo)
        .arg(state.redo)
        .arg(quoted(state.clipboard));
}

std::optional<QList<Step>> parse(const QString &line)
{
    QList<Step> steps;
    qsizetype i = 0;
    while (i < line.size()) {
        if (line.at(i).isSpace()) {
            ++i;
            continue;
        }
        Step step;
        if (line.at(i) == u'<') {
            const qsizetype end = line.indexOf(u'>', i + 2);
            if (end < 0)
                return std::nullopt;
            step.kind = Step::Kind::Key;
            step.keys = QKeySequence(line.mid(i + 1, end - i - 1))[0];
            i = end + 1;
            steps << step;
            continue;
        }
        const qsizetype quote = line.indexOf(u'"', i);
        if (quote < 0)
            return std::nullopt;
        const QString call = line.mid(i, quote - i);
        if (call == QLatin1String("set"))
            step.kind = Step::Kind::Set;
        else if (call == QLatin1String("append"))
            step.kind = Step::Kind::Append;
        else if (call == QLatin1String("clip"))
            step.kind = Step::Kind::Clip;
        else if (call == QLatin1String("refocus"))
            step.kind = Step::Kind::Refocus;
        else if (!call.isEmpty())
            return std::nullopt;
        for (i = quote + 1; i < line.size() && line.at(i) != u'"'; ++i) {
            if (line.at(i) != u'\\' || i + 1 >= line.size()) {
                step.text += line.at(i);
                continue;
            }
            const QChar escaped = line.at(++i);
            if (escaped == u'n') {
                step.text += u'\n';
            } else if (escaped == u'u') {
                step.text += QChar(static_cast<char16_t>(line.mid(i + 1, 4).toUShort(nullptr, 16)));
                i += 4;
            } else {
                step.text += escaped;
            }
        }
        ++i;
        steps << step;
    }
    return steps;
}

bool isKey(const Step &step, QKeySequence::StandardKey key)
{
    return step.kind == Step::Kind::Key && QKeySequence::keyBindings(key).contains(QKeySequence(step.keys));
}

bool hasModifier(const Step &step, Qt::KeyboardModifier modifier)
{
    return step.kind == Step::Kind::Key && (step.keys.keyboardModifiers() & modifier);
}

bool isVertical(const Step &step)
{
    return step.kind == Step::Kind::Key && (step.keys.key() == Qt::Key_Up || step.keys.key() == Qt::Key_Down ||
                                            step.keys.key() == Qt::Key_PageUp || step.keys.key() == Qt::Key_PageDown);
}

bool holdsRightToLeft(QStringView text)
{
    for (const char32_t code : text.toString().toUcs4()) {
        if (QChar::direction(code) == QChar::DirR || QChar::direction(code) == QChar::DirAL)
            return true;
    }
    return false;
}

// Whether a plain text edit in the log's font gives a line of `text` more
// height than the font's.
bool holdsTallerLine(const QString &text)
{
    QTextDocument document;
    auto *layout = new QPlainTextDocumentLayout(&document);
    document.setDocumentLayout(layout);
    document.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    document.setPlainText(text);
    const qreal height = std::ceil(QFontMetricsF(document.defaultFont()).lineSpacing());
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (layout->blockBoundingRect(block).height() > height)
            return true;
    }
    return false;
}

// The paragraph the caret is in.
QStringView paragraphOf(const State &state)
{
    const qsizetype start = state.cursor > 0 ? state.text.lastIndexOf(u'\n', state.cursor - 1) + 1 : 0;
    qsizetype end = state.text.indexOf(u'\n', state.cursor);
    if (end < 0)
        end = state.text.size();
    return QStringView(state.text).mid(start, end - start);
}

std::map<QString, int> g_leftOut;
std::map<QString, int> g_queriesLeftOut;

// The differences we keep on purpose, each with the steps it covers;
// docs/textboxes.md lists them with their reasons.
struct Deliberate {
    const char *name;
    bool (*covers)(Pair pair, const Step &step, const State &before);
};

const Deliberate kDeliberate[] = {
    {"Alt with a letter or digit types nothing",
     [](Pair, const Step &step, const State &) { return hasModifier(step, Qt::AltModifier); }},
    {"word-wise drag after a double click", [](Pair, const Step &, const State &) { return false; }}, // no mouse here
    {"Ctrl+Delete and Ctrl+Backspace with a selection in a field",
     [](Pair pair, const Step &step, const State &before) {
         return pair == Pair::Field && before.cursor != before.anchor &&
                (isKey(step, QKeySequence::DeleteEndOfWord) || isKey(step, QKeySequence::DeleteStartOfWord));
     }},
    {"Ctrl+U in the log",
     [](Pair pair, const Step &step, const State &) {
         return pair == Pair::Log && isKey(step, QKeySequence::DeleteCompleteLine);
     }},
    {"Ctrl+Home and Ctrl+End in a field",
     [](Pair pair, const Step &step, const State &) {
         return pair == Pair::Field && step.kind == Step::Kind::Key && hasModifier(step, Qt::ControlModifier) &&
                (step.keys.key() == Qt::Key_Home || step.keys.key() == Qt::Key_End);
     }},
    // Where a line of right-to-left text is right-aligned, the place Up and
    // Down aim at is not the one it is in our left-aligned lines.
    {"right alignment of right-to-left text: moves by lines in a log that holds such text",
     [](Pair pair, const Step &step, const State &before) {
         return pair == Pair::Log && isVertical(step) && holdsRightToLeft(before.text);
     }},
    // A plain text edit makes a line as tall as the fallback fonts that draw
    // it, a math font's much taller; the log's lines all have one height.
    {"lines of one height: moves by pages in a log that holds characters drawn taller",
     [](Pair pair, const Step &step, const State &before) {
         return pair == Pair::Log && isVertical(step) && step.keys.key() != Qt::Key_Up &&
                step.keys.key() != Qt::Key_Down && holdsTallerLine(before.text);
     }},
    // QPlainTextEdit of Qt 6.4 deletes the character before the caret there:
    // it steps right over the last character, which goes left in such a line.
    {"Ctrl+K before the last character of a right-to-left line in the log",
     [](Pair pair, const Step &step, const State &before) {
         const QStringView paragraph = paragraphOf(before);
         return pair == Pair::Log && isKey(step, QKeySequence::DeleteEndOfLine) && paragraph.isRightToLeft() &&
                paragraph.data() + paragraph.size() - 1 == before.text.constData() + before.cursor;
     }},
    // QTextDocument of Qt 6.4 keeps an undo step that changes nothing there.
    {"Return on an empty line of the log",
     [](Pair pair, const Step &step, const State &before) {
         return pair == Pair::Log && before.cursor == before.anchor && paragraphOf(before).isEmpty() &&
                step.kind == Step::Kind::Key && step.keys.key() == Qt::Key_Return;
     }},
    // Undone, such a paste puts the caret of QPlainTextEdit of Qt 6.4 after
    // the first line's break rather than where the paste was.
    {"a paste at the start of a log that holds text",
     [](Pair pair, const Step &step, const State &before) {
         return pair == Pair::Log && before.cursor == 0 && before.anchor == 0 && !before.text.isEmpty() &&
                isKey(step, QKeySequence::Paste);
     }},
    // QTextDocument of Qt 6.4 merges the removal of a letter and of a mark
    // typed after it with an edit between into one undo step that brings
    // back only the mark.
    {"Delete before a letter with a combining mark in the log",
     [](Pair pair, const Step &step, const State &before) {
         if (pair != Pair::Log || before.cursor != before.anchor || !isKey(step, QKeySequence::Delete))
             return false;
         qsizetype next = before.cursor + 1;
         if (next < before.text.size() && before.text.at(next).isLowSurrogate())
             ++next;
         return next < before.text.size() && before.text.at(next).isMark();
     }},
    // Not compared here: what is drawn (the partly visible bottom line of the
    // log, the right alignment of right-to-left text) and texts near the
    // limits for huge texts, which no short sequence reaches.
};

// What assistive tools find and are told of a box after a step: its text
// interface queried at a sample of offsets and the events it sent during the
// step. Each side is reduced to lines that must agree.

// The answers to every boundary query at `offset` of `text` as one line each.
constexpr QAccessible::TextBoundaryType kBoundaries[] = {QAccessible::CharBoundary,      QAccessible::WordBoundary,
                                                         QAccessible::SentenceBoundary,  QAccessible::LineBoundary,
                                                         QAccessible::ParagraphBoundary, QAccessible::NoBoundary};

enum class Side { Before, At, After };

// The stock interfaces' faults the boxes fix, each with the queries it
// covers: those are not put to the stock interface, which may not return.
struct Fault {
    const char *name;
    bool (*covers)(Pair pair, Side side, QAccessible::TextBoundaryType type, int offset, const QString &text);
};

const Fault kStockFaults[] = {
    // The field's answers, compared with the line edit's, hold for the log.
    {"characters, words and sentences in the log: the plain text edit parts a letter from its marks and words "
     "from blanks",
     [](Pair pair, Side, QAccessible::TextBoundaryType type, int, const QString &) {
         return pair == Pair::Log && (type == QAccessible::CharBoundary || type == QAccessible::WordBoundary ||
                                      type == QAccessible::SentenceBoundary);
     }},
    {"paragraphs in the log: the plain text edit leaves out their line breaks and has no empty ones",
     [](Pair pair, Side, QAccessible::TextBoundaryType type, int, const QString &) {
         return pair == Pair::Log && type == QAccessible::ParagraphBoundary;
     }},
    // Lines are asked for beside the line at the offset, see stockLine.
    {"anything but a line before or after an offset in the log: the plain text edit gives the one at the offset",
     [](Pair pair, Side side, QAccessible::TextBoundaryType type, int, const QString &) {
         return pair == Pair::Log && side != Side::At && type != QAccessible::LineBoundary;
     }},
    // Nothing stands at the end of the text, as the line edit's characters say.
    {"a character, word or sentence at the end of the log: the plain text edit gives the one before",
     [](Pair pair, Side side, QAccessible::TextBoundaryType type, int offset, const QString &text) {
         return pair == Pair::Log && side == Side::At && (offset == text.size() || offset == -1) &&
                (type == QAccessible::CharBoundary || type == QAccessible::WordBoundary ||
                 type == QAccessible::SentenceBoundary);
     }},
    // The search steps past either end of the text, where QTextBoundaryFinder
    // finds no next boundary, and goes on asking.
    {"a word or sentence at a field's end, or at its start where none starts: the line edit's search never returns",
     [](Pair pair, Side side, QAccessible::TextBoundaryType type, int offset, const QString &text) {
         if (pair != Pair::Field || side != Side::At ||
             (type != QAccessible::WordBoundary && type != QAccessible::SentenceBoundary))
             return false;
         if (offset == text.size() || offset == -1)
             return true;
         const QTextBoundaryFinder finder(
             type == QAccessible::WordBoundary ? QTextBoundaryFinder::Word : QTextBoundaryFinder::Sentence, text);
         return offset == 0 &&
                !(finder.boundaryReasons() & (QTextBoundaryFinder::StartOfItem | QTextBoundaryFinder::EndOfItem));
     }},
};

QString describeQuery(Side side, QAccessible::TextBoundaryType type, int offset)
{
    static const char *const sides[] = {"before", "at", "after"};
    static const char *const types[] = {"char", "word", "sentence", "paragraph", "line", "none"};
    return QStringLiteral("%1 %2 %3")
        .arg(QLatin1String(sides[static_cast<int>(side)]), QLatin1String(types[static_cast<int>(type)]))
        .arg(offset);
}

QString query(QAccessibleTextInterface *text, Side side, QAccessible::TextBoundaryType type, int offset)
{
    int start = -2;
    int end = -2;
    QString found;
    if (side == Side::Before)
        found = text->textBeforeOffset(offset, type, &start, &end);
    else if (side == Side::At)
        found = text->textAtOffset(offset, type, &start, &end);
    else
        found = text->textAfterOffset(offset, type, &start, &end);
    return QStringLiteral("[%1,%2) %3").arg(start).arg(end).arg(quoted(found));
}

// The plain text edit answers the line before or after an offset with the
// line at it; the line beside that one is asked for instead.
// A line wrapped at a blank is read one character short there, without the
// blank; the blank is given back to it, unless it is a tab that did not fit
// and starts the next line.
QString stockLine(QAccessibleTextInterface *stock, Side side, int offset, const QString &text)
{
    int start = -1;
    int end = -1;
    stock->textAtOffset(offset, QAccessible::LineBoundary, &start, &end);
    if (start >= 0 && end < text.size() && text.at(end) != u'\n' && text.at(end).isSpace()) {
        int nextStart = -1;
        int nextEnd = -1;
        stock->textAtOffset(end, QAccessible::LineBoundary, &nextStart, &nextEnd);
        if (start == end || nextStart != end)
            ++end;
    }
    if (side != Side::At) {
        int beside = -1;
        if (side == Side::Before && start > 0)
            beside = start - 1;
        else if (side == Side::After && end < text.size())
            beside = text.at(end) == u'\n' ? end + 1 : end;
        return beside < 0 ? QStringLiteral("[-1,-1) \"\"") : stockLine(stock, Side::At, beside, text);
    }
    return QStringLiteral("[%1,%2) %3").arg(start).arg(end).arg(quoted(text.mid(start, end - start)));
}

// Every offset of a short text; of a long one its ends, the caret, the
// anchor, both sides of its first line breaks and a few others.
QList<int> offsetsToAsk(const State &state)
{
    const int count = static_cast<int>(state.text.size());
    QList<int> offsets;
    if (count <= 24) {
        for (int offset = -1; offset <= count; ++offset)
            offsets << offset;
        return offsets;
    }
    offsets = {-1, 0, 1, count - 1, count, state.cursor, state.anchor};
    for (qsizetype at = state.text.indexOf(u'\n'); at >= 0 && offsets.size() < 15;
         at = state.text.indexOf(u'\n', at + 1))
        offsets << static_cast<int>(at) << static_cast<int>(at) + 1;
    std::mt19937 random(static_cast<quint32>(count));
    for (int i = 0; i < 4; ++i)
        offsets << static_cast<int>(random() % count);
    return offsets;
}

// The first answer in which the two interfaces differ, or nothing.
QString askedDifference(Pair pair, const State &state, QAccessibleTextInterface *ours, QAccessibleTextInterface *stock)
{
    const auto differ = [](const QString &what, const QString &got, const QString &expected) {
        return got == expected ? QString() : QStringLiteral("%1: %2, stock %3").arg(what, got, expected);
    };
    QString difference = differ(QStringLiteral("characters"), QString::number(ours->characterCount()),
                                QString::number(stock->characterCount()));
    if (difference.isEmpty())
        difference = differ(QStringLiteral("caret"), QString::number(ours->cursorPosition()),
                            QString::number(stock->cursorPosition()));
    if (difference.isEmpty()) {
        int oursStart = -2, oursEnd = -2, stockStart = -2, stockEnd = -2;
        ours->selection(0, &oursStart, &oursEnd);
        stock->selection(0, &stockStart, &stockEnd);
        difference = differ(QStringLiteral("selection"),
                            QStringLiteral("%1 [%2,%3)").arg(ours->selectionCount()).arg(oursStart).arg(oursEnd),
                            QStringLiteral("%1 [%2,%3)").arg(stock->selectionCount()).arg(stockStart).arg(stockEnd));
    }
    if (!difference.isEmpty())
        return difference;
    for (const int offset : offsetsToAsk(state)) {
        for (const QAccessible::TextBoundaryType type : kBoundaries) {
            for (const Side side : {Side::Before, Side::At, Side::After}) {
                const Fault *fault = nullptr;
                for (const Fault &candidate : kStockFaults) {
                    if (candidate.covers(pair, side, type, offset, state.text))
                        fault = &candidate;
                }
                if (fault) {
                    ++g_queriesLeftOut[QLatin1String(fault->name)];
                    continue;
                }
                // -1 stands for the end of the text; the plain text edit
                // takes it for a position, with a warning.
                const int at = offset < 0 ? static_cast<int>(state.text.size()) : offset;
                QString expected;
                if (pair == Pair::Log && type == QAccessible::LineBoundary)
                    expected = stockLine(stock, side, at, state.text);
                else
                    expected = query(stock, side, type, at);
                // Where there is nothing, the line edit may give an end of 0,
                // the plain text edit an empty piece.
                if (expected.endsWith(QLatin1String(") \"\"")) &&
                    (expected.startsWith(QLatin1String("[-1,")) || type != QAccessible::LineBoundary))
                    expected = QStringLiteral("[-1,-1) \"\"");
                difference = differ(describeQuery(side, type, offset), query(ours, side, type, offset), expected);
                if (!difference.isEmpty())
                    return difference;
            }
        }
    }
    return {};
}

constexpr char kTabOffStop[] = "points in the log where the plain text edit puts a tab off its tab stop";

// Where the stock box puts the caret for a point `at` on the character at
// `offset`. The plain text edit's lines grow with the glyphs of a fallback
// font, as of a letter beyond the BMP, while the log's are all of one height:
// its point goes on the character's own line, and a line it has scrolled out
// of view, which it cannot hit, is not asked.
std::optional<int> stockOffsetAt(QWidget *stockBox, QPoint at, int offset)
{
    if (auto *lineEdit = qobject_cast<QLineEdit *>(stockBox))
        return lineEdit->cursorPositionAt(at);
    auto *plain = static_cast<QPlainTextEdit *>(stockBox);
    QTextCursor cursor(plain->document());
    cursor.setPosition(offset);
    at.setY(plain->cursorRect(cursor).center().y());
    if (!plain->viewport()->rect().contains(0, at.y()))
        return std::nullopt;
    return plain->cursorForPosition(at).position();
}

// Whether the plain text edit ends a tab off its tab stop, other than at
// the edge of the box. Qt 6.4 does on a line wrapped after a character a
// fallback font draws, as an emoji, by the width of the line's first
// character; the log's tabs end at their stops.
bool putsTabOffStop(const QPlainTextEdit *plain)
{
    const qreal stop = plain->tabStopDistance();
    for (QTextBlock block = plain->document()->begin(); block.isValid(); block = block.next()) {
        const QTextLayout *layout = block.layout();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            const int end = line.textStart() + line.textLength();
            const QString text = block.text();
            for (qsizetype tab = text.indexOf(u'\t', line.textStart()); tab >= 0 && tab < end;
                 tab = text.indexOf(u'\t', tab + 1)) {
                const qreal x = line.cursorToX(static_cast<int>(tab) + 1) - line.x();
                if (std::abs(x - std::round(x / stop) * stop) > 0.1 && x < line.width() - 0.1)
                    return true;
            }
        }
    }
    return false;
}

// Whether `offset` ends a line of the log wrapped without a blank. A point
// past such a line's end, as on a mark of no width that ends it, is at the
// line's end, where a click puts the caret; the plain text edit puts it
// before the line's last character, as it does the caret (kWrapEnd below).
bool endsUnblankedWrap(const QWidget *oursBox, const QString &text, int offset)
{
    const auto *log = qobject_cast<const LogBox *>(oursBox);
    if (!log || offset == 0 || text.at(offset - 1) == u'\n' || text.at(offset - 1).isSpace())
        return false;
    for (int line = 1; line < log->lineCount(); ++line) {
        if (log->lineStart(line) == offset)
            return true;
    }
    return false;
}

// A point on a character is at the same offset in both boxes, the stock
// box asked through the widget (its interface's rectangles and points are
// off); the two are lined up at their carets, which stand at one offset. A
// point beside ours is at none, where the line edit gives its nearest one.
QString pointedDifference(QWidget *oursBox, QWidget *stockBox, const QList<int> &offsets)
{
    QAccessibleTextInterface *ours = QAccessible::queryAccessibleInterface(oursBox)->textInterface();
    const QRect box(oursBox->mapToGlobal(QPoint(0, 0)), oursBox->size());
    for (const QPoint beside : {box.topLeft() - QPoint(1, 1), QPoint(box.right() + 1, box.center().y()),
                                QPoint(box.center().x(), box.bottom() + 1), QPoint(box.left() - 1, box.center().y())}) {
        if (const int offset = ours->offsetAtPoint(beside); offset != -1)
            return QStringLiteral("offset %1 at a point beside the box").arg(offset);
    }
    // The boxes line up where their carets are drawn: at the left of the
    // caret's rectangle, five pixels into the line edit's.
    const auto caretAt = [](const QWidget *box, int padding) {
        const QRect rect = box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        return QPoint(rect.left() + padding, rect.center().y());
    };
    const QPoint shift = caretAt(stockBox, qobject_cast<QLineEdit *>(stockBox) ? 5 : 0) - caretAt(oursBox, 0);
    const QString text = ours->text(0, ours->characterCount());
    // Where left-to-right and right-to-left runs meet, two offsets share a
    // place: either is right.
    if (holdsRightToLeft(text))
        return {};
    if (const auto *plain = qobject_cast<const QPlainTextEdit *>(stockBox); plain && putsTabOffStop(plain)) {
        ++g_queriesLeftOut[QLatin1String(kTabOffStop)];
        return {};
    }
    const auto pointed = [&](QPoint point, int offset) {
        const std::optional<int> expected = stockOffsetAt(stockBox, oursBox->mapFromGlobal(point) + shift, offset);
        const int found = ours->offsetAtPoint(point);
        if (!expected || found == *expected || (*expected < found && endsUnblankedWrap(oursBox, text, found)))
            return QString();
        return QStringLiteral("%1, stock %2").arg(found).arg(*expected);
    };
    // An offset inside a cluster, as of a letter and its marks, is no place
    // of its own to point at.
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, text);
    for (const int offset : offsets) {
        const QRect rect = offset < 0 ? QRect() : ours->characterRect(offset);
        clusters.setPosition(std::max(offset, 0));
        // A quarter into the character, off the middle that two offsets
        // share, where the box shows it.
        const QPoint point(rect.left() + rect.width() / 4, rect.center().y());
        if (rect.isEmpty() || !clusters.isAtBoundary() || !box.contains(point))
            continue;
        if (const QString difference = pointed(point, offset); !difference.isEmpty())
            return QStringLiteral("offset at the middle of character %1: %2").arg(offset).arg(difference);
    }
    // Right of the caret's line, where a click past its end lands.
    const QPoint pastEnd(box.right() - 2, oursBox->mapToGlobal(caretAt(oursBox, 0)).y());
    if (const QString difference = box.contains(pastEnd) ? pointed(pastEnd, ours->cursorPosition()) : QString();
        !difference.isEmpty())
        return QStringLiteral("offset past the end of the caret's line: %1").arg(difference);
    return {};
}

// The events each box sent during a step.
struct Told {
    QAccessible::Event type;
    int position = -1;
    QString removed;
    QString inserted;
    int end = -1;
};
std::map<const QObject *, QList<Told>> g_told;

void record(QAccessibleEvent *event)
{
    Told told{event->type(), -1, {}, {}, -1};
    if (const auto *change = dynamic_cast<QAccessibleTextInsertEvent *>(event))
        told = {told.type, change->changePosition(), {}, change->textInserted(), -1};
    else if (const auto *change = dynamic_cast<QAccessibleTextRemoveEvent *>(event))
        told = {told.type, change->changePosition(), change->textRemoved(), {}, -1};
    else if (const auto *change = dynamic_cast<QAccessibleTextUpdateEvent *>(event))
        told = {told.type, change->changePosition(), change->textRemoved(), change->textInserted(), -1};
    else if (const auto *selection = dynamic_cast<QAccessibleTextSelectionEvent *>(event))
        told = {told.type, selection->selectionStart(), {}, {}, selection->selectionEnd()};
    else if (const auto *caret = dynamic_cast<QAccessibleTextCursorEvent *>(event))
        told.position = caret->cursorPosition();
    else
        return;
    g_told[event->object()] << told;
}

// What a box told in a step, from the text before it: each edit, for the
// stock box without the ends its removed and inserted texts share, the text
// these edits leave, the last caret and the last selection told.
struct Heard {
    QStringList edits;
    QString text;
    QString caret;
    QString selection;
};

Heard hear(const QList<Told> &told, const State &before, bool trimmed)
{
    QString text = before.text;
    Heard heard;
    for (const Told &event : told) {
        if (event.type == QAccessible::TextCaretMoved) {
            // The line edit tells its first caret where it has not moved.
            heard.caret = event.position == before.cursor ? QString() : QString::number(event.position);
        } else if (event.type == QAccessible::TextSelectionChanged) {
            // The line edit tells of no selection where there was none.
            const bool none = event.position == event.end;
            // The plain text edit tells it from the anchor to the caret.
            heard.selection = none && before.cursor == before.anchor
                                  ? QString()
                                  : QStringLiteral("%1 %2")
                                        .arg(none ? -1 : std::min(event.position, event.end))
                                        .arg(none ? -1 : std::max(event.position, event.end));
        } else {
            // The plain text edit tells how much it removed, in blanks.
            const QString removed = text.mid(event.position, event.removed.size());
            text.replace(event.position, event.removed.size(), event.inserted);
            qsizetype head = 0;
            const qsizetype shorter = trimmed ? std::min(removed.size(), event.inserted.size()) : 0;
            while (head < shorter && removed.at(head) == event.inserted.at(head))
                ++head;
            qsizetype tail = 0;
            while (tail < shorter - head &&
                   removed.at(removed.size() - 1 - tail) == event.inserted.at(event.inserted.size() - 1 - tail))
                ++tail;
            if (event.removed != removed && event.removed != QString(removed.size(), u' '))
                heard.edits << QStringLiteral("removed %1 told as %2").arg(quoted(removed), quoted(event.removed));
            if (trimmed && removed.size() == event.inserted.size() && head == removed.size())
                continue;
            heard.edits << QStringLiteral("%1 %2 %3")
                               .arg(event.position + head)
                               .arg(quoted(removed.mid(head, removed.size() - head - tail)),
                                    quoted(event.inserted.mid(head, event.inserted.size() - head - tail)));
        }
    }
    heard.text = text;
    return heard;
}

// The first difference in what the two boxes told in a step, or nothing.
// Ours tells every edit, each without what it leaves as it was, and the
// caret and selection wherever they moved, once. The line edit tells no edit
// on undo and redo, a surrogate pair's removal in halves and no caret where
// there is a selection or where it passed through one; the plain text edit
// tells the edits of a step as one, over more than they changed. So the two
// are compared on what both tell: the edits a field's program write or
// typing makes, the caret and selection where the stock box tells them
// settled.
QString toldDifference(Pair pair, const Step &step, const State &before, const State &after, const QObject *ours,
                       const QObject *stock)
{
    const Heard oursHeard = hear(g_told[ours], before, false);
    Heard stockHeard = hear(g_told[stock], before, true);
    // The plain text edit tells the caret and selection of undo and redo
    // before they settle.
    if (pair == Pair::Log && (isKey(step, QKeySequence::Undo) || isKey(step, QKeySequence::Redo)))
        stockHeard.caret = stockHeard.selection = QString();
    if (oursHeard.text != after.text)
        return QStringLiteral("edits told %1 leave %2").arg(oursHeard.edits.join(u';'), quoted(oursHeard.text));
    if (pair == Pair::Field && (step.kind == Step::Kind::Set || step.kind == Step::Kind::Type) &&
        oursHeard.edits != stockHeard.edits)
        return QStringLiteral("edits told %1, stock %2").arg(oursHeard.edits.join(u';'), stockHeard.edits.join(u';'));
    const QString caret = after.cursor != before.cursor ? QString::number(after.cursor) : QString();
    if (oursHeard.caret != caret || (!stockHeard.caret.isEmpty() && stockHeard.caret != caret))
        return QStringLiteral("caret told %1, stock %2").arg(oursHeard.caret, stockHeard.caret);
    const auto range = [](const State &state) {
        return state.cursor == state.anchor ? QStringLiteral("-1 -1")
                                            : QStringLiteral("%1 %2")
                                                  .arg(std::min(state.cursor, state.anchor))
                                                  .arg(std::max(state.cursor, state.anchor));
    };
    QString selection = range(after) != range(before) ? range(after) : QString();
    // A box taking the focus tells the selection it holds, even an old one.
    if (step.kind == Step::Kind::Refocus && after.cursor != after.anchor)
        selection = range(after);
    // The line edit tells a selection again where it stays as it was.
    const QString stockSelection = stockHeard.selection == range(before) ? QString() : stockHeard.selection;
    if (oursHeard.selection != selection || (!stockSelection.isEmpty() && stockSelection != selection))
        return QStringLiteral("selection told %1, stock %2").arg(oursHeard.selection, stockHeard.selection);
    return {};
}

// Left out of the comparison rather than of the steps.
constexpr char kRedoSelection[] = "the selection after redo in a field";
constexpr char kWrapEnd[] = "the caret at the end of a line wrapped without a blank in the log";

// The two boxes of a pair, made afresh for every sequence.
class Boxes : public SideBySide {
public:
    Boxes(QWidget *host, Pair pair) : SideBySide(host), m_isLog(pair == Pair::Log) { show(); }

    // Whether the log's caret stands where a line wraps without a blank and
    // is shown at the end of the line above, near the right edge.
    bool caretAtUnblankedWrap() const
    {
        return m_isLog && endsUnblankedWrap(log(), log()->text(), log()->cursorPosition()) &&
               log()->inputMethodQuery(Qt::ImCursorRectangle).toRect().left() > log()->width() / 2;
    }

    State ours() const
    {
        const EditBox *box = SideBySide::ours(m_isLog);
        return {
            box->text(), box->cursorPosition(), box->model().anchor(), box->isUndoAvailable(), box->isRedoAvailable(),
            clipboard()};
    }

    State stock() const
    {
        if (!m_isLog) {
            const int cursor = lineEdit()->cursorPosition();
            int anchor = cursor;
            if (lineEdit()->hasSelectedText())
                anchor =
                    cursor == lineEdit()->selectionStart() ? lineEdit()->selectionEnd() : lineEdit()->selectionStart();
            return {lineEdit()->text(), cursor, anchor, lineEdit()->isUndoAvailable(), lineEdit()->isRedoAvailable(),
                    clipboard()};
        }
        const QTextCursor cursor = plain()->textCursor();
        QString text = plain()->document()->toRawText();
        text.replace(QChar::ParagraphSeparator, u'\n');
        return {text,
                cursor.position(),
                cursor.anchor(),
                plain()->document()->isUndoAvailable(),
                plain()->document()->isRedoAvailable(),
                clipboard()};
    }

    QWidget *oursWidget() const { return SideBySide::ours(m_isLog); }
    QWidget *stockWidget() const { return SideBySide::stock(m_isLog); }
    static QAccessibleTextInterface *textOf(QWidget *box)
    {
        return QAccessible::queryAccessibleInterface(box)->textInterface();
    }

    void playOurs(const Step &step)
    {
        // Ours tells the caret and the selection only where it has the
        // focus; the window stays inactive, so that no box loses it.
        SideBySide::ours(m_isLog)->setFocus(Qt::OtherFocusReason);
        if (step.kind == Step::Kind::Set)
            m_isLog ? log()->setText(step.text) : field()->setText(step.text);
        else if (step.kind == Step::Kind::Append)
            log()->append(step.text);
        else
            press(SideBySide::ours(m_isLog), step);
    }

    void playStock(const Step &step)
    {
        if (step.kind == Step::Kind::Set) {
            m_isLog ? plain()->setPlainText(step.text) : lineEdit()->setText(step.text);
        } else if (step.kind == Step::Kind::Append) {
            // The log's append keeps no undo history and puts the caret at the end.
            QString text = plain()->document()->toRawText();
            text.replace(QChar::ParagraphSeparator, u'\n');
            plain()->setPlainText(text + step.text);
            plain()->moveCursor(QTextCursor::End);
        } else {
            press(SideBySide::stock(m_isLog), step);
        }
    }

private:
    static QString clipboard() { return QGuiApplication::clipboard()->text(); }

    static void press(QWidget *box, const Step &step)
    {
        if (step.kind == Step::Kind::Refocus) {
            // Tab to the next control and Shift+Tab back, told to the box
            // itself: the window stays inactive.
            QFocusEvent away(QEvent::FocusOut, Qt::TabFocusReason);
            QCoreApplication::sendEvent(box, &away);
            QFocusEvent back(QEvent::FocusIn, Qt::BacktabFocusReason);
            QCoreApplication::sendEvent(box, &back);
            // Ours tells its selection once the focus itself has been told.
            QCoreApplication::processEvents();
        } else if (step.kind == Step::Kind::Key)
            QTest::keyClick(box, step.keys.key(), step.keys.keyboardModifiers());
        else
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, step.text, Qt::NoModifier);
    }

    bool m_isLog;
};

struct Divergence {
    qsizetype step = -1; // the first step after which the two differ, -1 if none
    State ours;
    State stock;
    QString accessible; // how what assistive tools find or are told differs
};

void setClipboard(const QString &text)
{
    // An empty text rather than none: QPlainTextEdit of Qt 6.4 crashes
    // pasting from an X clipboard that nobody owns.
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard->text() != text || clipboard->ownsClipboard() == false)
        clipboard->setText(text);
}

Divergence run(QWidget *host, Pair pair, const QList<Step> &steps, bool trace = false)
{
    setClipboard(QString());
    Boxes boxes(host, pair);
    Divergence result;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const Step &step = steps.at(i);
        const State before = boxes.ours();
        const Deliberate *covered = nullptr;
        for (const Deliberate &deliberate : kDeliberate) {
            if (deliberate.covers(pair, step, before))
                covered = &deliberate;
        }
        if (covered) {
            ++g_leftOut[QLatin1String(covered->name)];
            continue;
        }
        if (step.kind == Step::Kind::Clip) {
            setClipboard(step.text);
            continue;
        }
        g_told.clear();
        boxes.playOurs(step);
        result.ours = boxes.ours();
        setClipboard(before.clipboard);
        boxes.playStock(step);
        result.stock = boxes.stock();
        // QLineEdit of Qt 6.4 may leave a stale selection after redo, one
        // whose end it reports as -1, at once or, where redo left the text
        // empty, once something is typed; the rest is left out.
        if (pair == Pair::Field && ((isKey(step, QKeySequence::Redo) && result.ours.anchor != result.stock.anchor) ||
                                    result.stock.anchor < 0 || result.stock.anchor > result.stock.text.size())) {
            ++g_leftOut[QLatin1String(kRedoSelection)];
            return result;
        }
        // There the caret stays on the line End, Up or Down took it to; a
        // QPlainTextEdit of Qt 6.4 shows it at the start of the next line and
        // moves on from there.
        const bool byLines =
            isKey(step, QKeySequence::MoveToEndOfLine) || isKey(step, QKeySequence::SelectEndOfLine) ||
            isKey(step, QKeySequence::MoveToNextLine) || isKey(step, QKeySequence::SelectNextLine) ||
            isKey(step, QKeySequence::MoveToPreviousLine) || isKey(step, QKeySequence::SelectPreviousLine) ||
            isKey(step, QKeySequence::MoveToNextPage) || isKey(step, QKeySequence::SelectNextPage) ||
            isKey(step, QKeySequence::MoveToPreviousPage) || isKey(step, QKeySequence::SelectPreviousPage);
        if (pair == Pair::Log && byLines && boxes.caretAtUnblankedWrap()) {
            ++g_leftOut[QLatin1String(kWrapEnd)];
            return result;
        }
        if (trace)
            std::printf("%s\n  ours:  %s\n  stock: %s\n", qPrintable(describe(step)), qPrintable(describe(result.ours)),
                        qPrintable(describe(result.stock)));
        if (result.ours != result.stock) {
            result.step = i;
            return result;
        }
        result.accessible = toldDifference(pair, step, before, result.ours, boxes.oursWidget(), boxes.stockWidget());
        if (result.accessible.isEmpty())
            result.accessible = askedDifference(pair, result.ours, Boxes::textOf(boxes.oursWidget()),
                                                Boxes::textOf(boxes.stockWidget()));
        if (result.accessible.isEmpty())
            result.accessible = pointedDifference(boxes.oursWidget(), boxes.stockWidget(), offsetsToAsk(result.ours));
        if (trace && !result.accessible.isEmpty())
            std::printf("  accessible: %s\n", qPrintable(result.accessible));
        if (!result.accessible.isEmpty()) {
            result.step = i;
            return result;
        }
    }
    return result;
}

// Shortens a diverging sequence while it still diverges: whole runs of
// steps left out first, then single steps, then characters of their texts.
QList<Step> shrink(QWidget *host, Pair pair, QList<Step> steps)
{
    const auto diverges = [&](const QList<Step> &candidate) {
        const Divergence divergence = run(host, pair, candidate);
        if (divergence.step < 0)
            return false;
        steps = candidate.first(divergence.step + 1);
        return true;
    };
    diverges(steps);
    for (qsizetype chunk = std::max<qsizetype>(1, steps.size() / 2); chunk >= 1; chunk /= 2) {
        for (qsizetype at = 0; at + chunk <= steps.size();) {
            QList<Step> candidate = steps;
            candidate.remove(at, chunk);
            if (!diverges(candidate))
                at += chunk;
        }
    }
    for (qsizetype at = 0; at < steps.size(); ++at) {
        for (qsizetype c = 0; c < steps.at(at).text.size() && steps.at(at).kind != Step::Kind::Type;) {
            QList<Step> candidate = steps;
            candidate[at].text.remove(c, 1);
            if (!diverges(candidate))
                ++c;
        }
    }
    return steps;
}

// What a user types: ASCII, digits, blanks, tabs, letters beyond the BMP,
// combining marks, Hebrew and Arabic letters.
QString randomText(std::mt19937 &random, bool lineBreaks)
{
    const auto pick = [&random](std::initializer_list<char32_t> list) {
        return *(list.begin() + random() % list.size());
    };
    char32_t code = 0;
    switch (random() % 19) {
    case 0:
    case 1:
    case 2:
    case 3:
        code = U'a' + random() % 26;
        break;
    case 4:
    case 5:
        code = U'0' + random() % 10;
        break;
    case 6:
    case 7:
        code = U' ';
        break;
    case 8:
        code = 0x21 + random() % 0x5e;
        break;
    case 9:
        code = pick({U'.', U',', U'-', U'('});
        break;
    case 10:
        code = pick({0x1F600, 0x1D400, 0x20BB7});
        break;
    case 11:
        code = pick({0x0301, 0x0308, 0x05B4});
        break;
    case 12:
        code = 0x05D0 + random() % 27;
        break;
    case 13:
        code = pick({0x0627, 0x0628, 0x062A, 0x0639, 0x0644, 0x0645, 0x0646});
        break;
    case 14:
        code = lineBreaks ? U'\n' : U'x';
        break;
    case 15:
        code = U'\t';
        break;
    case 16:
        code = pick({0x1F44D, 0x1D49C, 0x1F1E9, 0x2070E});
        break;
    case 17:
        code = pick({0x20DD, 0x0327, 0x0300, 0x1F3FB});
        break;
    default:
        code = U'M';
        break;
    }
    return QString::fromUcs4(&code, 1);
}

QList<Step> generate(Pair pair, quint32 seed, int length)
{
    std::mt19937 random(seed);
    const auto someText = [&](bool lineBreaks) {
        // Now and then a text long enough to scroll in a field; in the log
        // often, with few line feeds, so that its lines wrap.
        QString text;
        const bool wraps = random() % (pair == Pair::Log ? 3 : 8) == 0;
        const int count = static_cast<int>(wraps ? 30 + random() % 120 : random() % 10);
        for (int i = 0; i < count; ++i) {
            const QString next = randomText(random, lineBreaks);
            text += wraps && next == QLatin1String("\n") && random() % 4 != 0 ? QStringLiteral("a") : next;
        }
        return text;
    };
    static const Qt::Key moves[] = {Qt::Key_Home, Qt::Key_End,  Qt::Key_Left,   Qt::Key_Right,
                                    Qt::Key_Up,   Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown};
    static const Qt::KeyboardModifiers moveModifiers[] = {Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier,
                                                          Qt::ControlModifier | Qt::ShiftModifier};
    static const QKeyCombination others[] = {
        Qt::Key_Backspace,
        Qt::Key_Delete,
        Qt::ControlModifier | Qt::Key_Backspace,
        Qt::ControlModifier | Qt::Key_Delete,
        Qt::ControlModifier | Qt::Key_A,
        Qt::ControlModifier | Qt::Key_Z,
        Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z,
        Qt::ControlModifier | Qt::Key_X,
        Qt::ControlModifier | Qt::Key_C,
        Qt::ControlModifier | Qt::Key_V,
        Qt::ControlModifier | Qt::Key_K,
        Qt::ControlModifier | Qt::Key_U,
        Qt::Key_Return,
    };
    QList<Step> steps;
    for (int i = 0; i < length; ++i) {
        Step step;
        const auto roll = random() % 100;
        if (roll < 50) {
            step.text = randomText(random, false);
            if (step.text == QLatin1String("x") || step.text == QLatin1String("M") || step.text == QLatin1String("\t"))
                step.text = QString(QChar(static_cast<char16_t>(u'a' + random() % 3)));
        } else if (roll < 70) {
            step.kind = Step::Kind::Key;
            step.keys = QKeyCombination(moveModifiers[random() % 4], moves[random() % std::size(moves)]);
        } else if (roll < 93) {
            step.kind = Step::Kind::Key;
            step.keys = others[random() % std::size(others)];
            if (pair == Pair::Field && step.keys.key() == Qt::Key_Return)
                step.keys = Qt::Key_Left;
        } else if (roll == 99) {
            step.kind = Step::Kind::Refocus;
        } else if (roll < 97 || pair == Pair::Field) {
            step.kind = roll < 96 ? Step::Kind::Set : Step::Kind::Clip;
            step.text = someText(pair == Pair::Log || step.kind == Step::Kind::Clip);
        } else {
            step.kind = Step::Kind::Append;
            step.text = someText(true);
        }
        steps << step;
    }
    return steps;
}

quint32 g_firstSeed = 1;
quint32 g_lastSeed = 200;
int g_steps = 40;

} // namespace

class TestRandomKeys : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void sameAsStock_data();
    void sameAsStock();

private:
    std::unique_ptr<QWidget> m_host;
};

void TestRandomKeys::initTestCase()
{
    m_host = std::make_unique<QWidget>();
    m_host->resize(300, 250);
    m_host->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
}

void TestRandomKeys::sameAsStock_data()
{
    QTest::addColumn<Pair>("pair");
    QTest::newRow("field and QLineEdit") << Pair::Field;
    QTest::newRow("log and QPlainTextEdit") << Pair::Log;
}

void TestRandomKeys::sameAsStock()
{
    QFETCH(Pair, pair);
    const char *name = pair == Pair::Field ? "field" : "log";
    g_leftOut.clear();
    g_queriesLeftOut.clear();
    int diverging = 0;
    for (quint32 seed = g_firstSeed; seed <= g_lastSeed; ++seed) {
        const QList<Step> steps = generate(pair, seed, g_steps);
        if (run(m_host.get(), pair, steps).step < 0)
            continue;
        ++diverging;
        const QList<Step> shortest = shrink(m_host.get(), pair, steps);
        const Divergence divergence = run(m_host.get(), pair, shortest);
        std::printf("DIVERGES %s seed %u: %s\n  ours:  %s\n  stock: %s\n", name, seed, qPrintable(describe(shortest)),
                    qPrintable(describe(divergence.ours)), qPrintable(describe(divergence.stock)));
        if (!divergence.accessible.isEmpty())
            std::printf("  accessible: %s\n", qPrintable(divergence.accessible));
    }
    std::printf("%s: %d of %u sequences diverge\n", name, diverging, g_lastSeed - g_firstSeed + 1);
    for (const auto &[deliberate, count] : g_leftOut)
        std::printf("  left out %d steps: %s\n", count, qPrintable(deliberate));
    for (const auto &[fault, count] : g_queriesLeftOut)
        std::printf("  left out %d queries: %s\n", count, qPrintable(fault));
    std::fflush(stdout);
    QCOMPARE(diverging, 0);
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // Qt tells the update handler of every accessibility event once
    // accessibility is active, with or without a screen reader.
    QPlatformAccessibility *accessibility = QGuiApplicationPrivate::platformIntegration()->accessibility();
    if (accessibility == nullptr) {
        std::fprintf(stderr, "no accessibility on this platform\n");
        return 2;
    }
    QAccessible::installUpdateHandler(record);
    accessibility->setActive(true);
    QStringList arguments = QCoreApplication::arguments();
    QStringList rest{arguments.takeFirst()};
    while (!arguments.isEmpty()) {
        const QString argument = arguments.takeFirst();
        if (argument == QLatin1String("--seeds") && !arguments.isEmpty()) {
            const QStringList range = arguments.takeFirst().split(u'-');
            g_firstSeed = range.first().toUInt();
            g_lastSeed = range.last().toUInt();
        } else if (argument == QLatin1String("--steps") && !arguments.isEmpty()) {
            g_steps = arguments.takeFirst().toInt();
        } else if (argument == QLatin1String("--replay") && arguments.size() >= 2) {
            const Pair pair = arguments.takeFirst() == QLatin1String("log") ? Pair::Log : Pair::Field;
            const std::optional<QList<Step>> steps = parse(arguments.takeFirst());
            if (!steps) {
                std::fprintf(stderr, "cannot read the steps\n");
                return 2;
            }
            QWidget host;
            host.resize(300, 250);
            host.show();
            if (!QTest::qWaitForWindowExposed(&host))
                return 2;
            return run(&host, pair, *steps, true).step < 0 ? 0 : 1;
        } else {
            rest << argument;
        }
    }
    TestRandomKeys test;
    return QTest::qExec(&test, rest);
}

#include "tst_randomkeys.moc"
