// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// Characters, words and sentences come from QTextBoundaryFinder, run on a
// window of the text around the offset, so that a text of many megabytes is
// never copied whole. A piece runs from one boundary where an item starts or
// ends to the next: a word, the blanks between two words, a sentence, one
// character as the user sees it. The start and the end of the text always
// count as such boundaries, so a text that begins with a blank has a piece at
// offset 0 as well. Lines end after a line feed.

#include "textboundaries.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace quorran {

namespace {

// Characters on either side of an offset that boundaries are looked for in.
constexpr int kReach = 4096;

// The item boundaries in a window of the text around an offset. Every search
// stays within the window, so it ends after at most its size in steps.
class Items {
public:
    Items(const QString &text, QTextBoundaryFinder::BoundaryType type, int offset)
    {
        const int count = static_cast<int>(text.size());
        m_from = std::max(0, offset - kReach);
        if (m_from > 0 && text.at(m_from).isLowSurrogate())
            --m_from;
        m_to = std::min(count, offset + kReach);
        if (m_to < count && text.at(m_to).isLowSurrogate())
            ++m_to;
        m_piece = text.mid(m_from, m_to - m_from);
        m_finder = QTextBoundaryFinder(type, m_piece);
    }

    int from() const { return m_from; }
    int to() const { return m_to; }

    // The last boundary at or before `offset`, or the start of the window.
    int atOrBefore(int offset)
    {
        qsizetype position = offset - m_from;
        m_finder.setPosition(position);
        while (position > 0 && !atItem())
            position = m_finder.toPreviousBoundary();
        return m_from + static_cast<int>(std::max(qsizetype{0}, position));
    }

    // The first boundary after `offset`, or the end of the window.
    int after(int offset)
    {
        const qsizetype size = m_piece.size();
        m_finder.setPosition(offset - m_from);
        qsizetype position = 0;
        do
            position = m_finder.toNextBoundary();
        while (position >= 0 && position < size && !atItem());
        return m_from + static_cast<int>(position < 0 ? size : position);
    }

private:
    bool atItem() const
    {
        return (m_finder.boundaryReasons() & (QTextBoundaryFinder::StartOfItem | QTextBoundaryFinder::EndOfItem)) != 0;
    }

    int m_from = 0;
    int m_to = 0;
    QString m_piece;
    QTextBoundaryFinder m_finder;
};

QTextBoundaryFinder::BoundaryType finderType(QAccessible::TextBoundaryType type)
{
    switch (type) {
    case QAccessible::WordBoundary:
        return QTextBoundaryFinder::Word;
    case QAccessible::SentenceBoundary:
        return QTextBoundaryFinder::Sentence;
    default:
        return QTextBoundaryFinder::Grapheme;
    }
}

// A line ends after its line feed; the one before or after is the line
// beside the one at the offset.
std::pair<int, int> lineAround(const QString &text, TextSide side, int offset)
{
    const int count = static_cast<int>(text.size());
    if (side == TextSide::Before) {
        offset = static_cast<int>(text.lastIndexOf(u'\n', std::max(offset - 1, 0)));
        if (offset < 0)
            return {-1, -1};
    } else if (side == TextSide::After) {
        offset = static_cast<int>(text.indexOf(u'\n', std::min(offset, count - 1)));
        if (offset < 0)
            return {-1, -1};
        ++offset;
    }
    const int start = offset > 0 ? static_cast<int>(text.lastIndexOf(u'\n', offset - 1)) + 1 : 0;
    int end = static_cast<int>(text.indexOf(u'\n', std::min(offset, count - 1))) + 1;
    if (end <= 0)
        end = count;
    return {start, end};
}

} // namespace

QString textAround(const QString &text, TextSide side, int offset, QAccessible::TextBoundaryType type, int *start,
                   int *end)
{
    const int count = static_cast<int>(text.size());
    if (offset == -1)
        offset = count;
    *start = *end = -1;
    // Nothing at the end of the text but its last line or the whole text,
    // nothing before its start or after its end.
    if (count == 0 || offset < 0 || offset > count || (side == TextSide::Before && offset == 0) ||
        (side != TextSide::Before && offset == count && type != QAccessible::LineBoundary &&
         type != QAccessible::ParagraphBoundary && (type != QAccessible::NoBoundary || side == TextSide::After)))
        return {};

    std::pair<int, int> found{-1, -1};
    switch (type) {
    case QAccessible::LineBoundary:
    case QAccessible::ParagraphBoundary:
        found = lineAround(text, side, offset);
        break;
    case QAccessible::NoBoundary:
        if (side == TextSide::At)
            found = {0, count};
        break;
    default: {
        Items items(text, finderType(type), offset);
        if (side == TextSide::Before) {
            const int last = items.atOrBefore(offset);
            if (last > items.from())
                found = {items.atOrBefore(last - 1), last};
        } else if (side == TextSide::At) {
            const int first = items.atOrBefore(offset);
            found = {first, items.after(first)};
        } else {
            const int first = items.after(offset);
            if (first < items.to())
                found = {first, items.after(first)};
        }
        break;
    }
    }
    // The empty line after a final line break is a line.
    const bool emptyLine = type == QAccessible::LineBoundary && found.first == count &&
                           (side == TextSide::At || (side == TextSide::After && offset < count));
    if (found.first < 0 || (found.first >= found.second && !emptyLine))
        return {};
    *start = found.first;
    *end = found.second;
    return text.mid(found.first, found.second - found.first);
}

} // namespace quorran
