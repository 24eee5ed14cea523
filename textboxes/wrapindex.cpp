// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// The index keeps the starts it has found in order; questions about lines
// further on wrap on from the last one found. Starts of an earlier wrap that
// lie after an edit are kept aside, shifted by what the edit added, until the
// new wrap meets one of them; where none is met, as in a run of digits that
// all have one width, the rest is wrapped when it is looked at.

#include "wrapindex.h"

#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace quorran {

namespace {

// No line is longer, even of characters without width.
constexpr int kLongestLine = 1024;
constexpr int kMarkReach = 32;
// How far back of an edit a line's break may have looked: the character that
// did not fit and the one after it lie at most a mark reach and a surrogate
// pair into the line after next.
constexpr int kEditReach = 2 * kMarkReach;
constexpr int kEditLinesBack = 2;
// Latin letters with their accents come before; none of them join.
constexpr char16_t kFirstJoining = 0x0370;

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

bool isPlain(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

} // namespace

WrapIndex::WrapIndex(std::function<const QString &()> text, const QFont &font, qreal tabStop)
    : m_text(std::move(text)), m_tabStop(tabStop), m_font(font), m_metrics(font)
{
}

void WrapIndex::setFont(const QFont &font)
{
    m_font = font;
    m_metrics = QFontMetricsF(font);
    m_advances.clear();
    m_wideAdvances.clear();
    reset();
}

bool WrapIndex::setWidth(qreal width)
{
    if (width == m_width)
        return false;
    m_width = width;
    reset();
    return true;
}

void WrapIndex::reset()
{
    m_lineStarts.assign(1, 0);
    m_lineStarts.shrink_to_fit();
    m_laterStarts.clear();
    m_laterStarts.shrink_to_fit();
    m_laterFrom = 0;
    m_wrappedAll = m_text().isEmpty();
}

qreal WrapIndex::advanceOf(char32_t code) const
{
    if (code < 0x10000) {
        if (m_advances.empty()) // not before the first character is measured
            m_advances.assign(0x10000, -1.0F);
        float &advance = m_advances[code];
        if (advance < 0)
            advance = static_cast<float>(m_metrics.horizontalAdvance(QChar(static_cast<char16_t>(code))));
        return advance;
    }
    const auto found = m_wideAdvances.find(code);
    if (found != m_wideAdvances.end())
        return found->second;
    const qreal advance = m_metrics.horizontalAdvance(QString::fromUcs4(&code, 1));
    m_wideAdvances.emplace(code, advance);
    return advance;
}

// Hands `sink` the start of every line from the one at `from` on, that one
// included, until it returns false or the text ends. A line starts where the
// one before it ended, whatever came before: wrapping from any line start
// gives the lines a wrap from the text's start would.
template <typename Sink> void WrapIndex::wrapLines(int from, Sink &&sink) const
{
    const QString &text = m_text();
    const auto *chars = reinterpret_cast<const char16_t *>(text.constData());
    const int size = static_cast<int>(text.size());
    const auto step = [&](int i, qreal x, int &length) {
        const char16_t c = chars[i];
        length = 1;
        if (c == u'\t')
            return (std::floor(x / m_tabStop) + 1) * m_tabStop;
        if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(chars[i + 1])) {
            length = 2;
            return x + advanceOf(QChar::surrogateToUcs4(c, chars[i + 1]));
        }
        return x + advanceOf(c);
    };

    if (!sink(from))
        return;
    int lineStart = from;
    int breakAt = -1; // after the last blanks of the line, where it may break
    // Whether the line holds more than ASCII letters, digits and blanks,
    // which only blanks break.
    bool mixed = false;
    qreal x = 0;
    for (int i = from; i < size;) {
        if (chars[i] == u'\n') {
            lineStart = ++i;
            breakAt = -1;
            mixed = false;
            x = 0;
            if (!sink(lineStart))
                return;
            continue;
        }
        int length = 1;
        const bool full = i - lineStart >= kLongestLine;
        if (isBlank(chars[i]) && !full) {
            // Blanks may hang past the edge.
            x = step(i, x, length);
            breakAt = ++i;
            continue;
        }
        mixed = mixed || !isPlain(chars[i]);
        const qreal next = step(i, x, length);
        if (i > lineStart && (next > m_width || full)) {
            // Letters beyond the Latin ones may join and take another room
            // together than one by one, as Arabic ones do; looked for only
            // where a line breaks, out of the loop over every character.
            const bool joining = mixed && std::any_of(chars + lineStart, chars + i + length,
                                                      [](char16_t c) { return c >= kFirstJoining; });
            if (joining && !full) {
                // Not `x` itself: its address taken, it would be kept in
                // memory for every character of every line.
                int end = 0;
                qreal width = 0;
                const int start = layoutBreak(text, lineStart, i + length, end, width);
                if (start < 0) {
                    x = width;
                    i = end;
                    continue;
                }
                // A tail of its own: sharing the one below made the loop over
                // plain digits 5% slower.
                if (!sink(start))
                    return;
                lineStart = i = start;
                breakAt = -1;
                mixed = false;
                x = 0;
                continue;
            }
            if (mixed && !full)
                breakAt = std::max(breakAt, lastBreak(lineStart, i));
            int start = breakAt > lineStart && !full ? breakAt : i;
            // A combining mark stays with its character, within a short reach
            // that keeps a flood of marks linear; one on a blank is let go.
            if (start == i && !full) {
                while (start - 1 > lineStart && start > i - kMarkReach && QChar::isMark(chars[start]) &&
                       !isBlank(chars[start - 1]))
                    --start;
            }
            if (start < i && start - 1 > lineStart && QChar::isLowSurrogate(chars[start]) &&
                QChar::isHighSurrogate(chars[start - 1]))
                --start;
            if (!sink(start))
                return;
            // The new line is wrapped from its start like any other: the
            // characters carried over hold no blank and fit again.
            lineStart = i = start;
            breakAt = -1;
            mixed = false;
            x = 0;
            continue;
        }
        x = next;
        i += length;
    }
}

// Kept out of the loop over every character, which it would slow down.
Q_DECL_COLD_FUNCTION int WrapIndex::layoutBreak(const QString &text, int lineStart, int reached, int &end,
                                                qreal &width) const
{
    // Laid out from the line's start to well past where single letters stop.
    const int size = static_cast<int>(text.size());
    const auto *chars = reinterpret_cast<const char16_t *>(text.constData());
    end = std::min({size, lineStart + kLongestLine, 2 * reached - lineStart + kMarkReach});
    end = static_cast<int>(std::find(chars + reached - 1, chars + end, u'\n') - chars);
    if (end < size && QChar::isLowSurrogate(chars[end]))
        ++end;
    QTextLayout layout(QString::fromRawData(text.constData() + lineStart, end - lineStart), m_font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(m_tabStop);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(m_width);
    const int length = line.textLength();
    width = line.naturalTextWidth();
    layout.endLayout();
    return length < end - lineStart ? lineStart + length : -1;
}

// The last place after `lineStart` and up to `end` where the text may
// break by the Unicode line breaking rules, as a text layout breaks it, or
// -1. The rules look a little beyond `end`, within the paragraph.
int WrapIndex::lastBreak(int lineStart, int end) const
{
    const QString &text = m_text();
    qsizetype stop = std::min(text.size(), qsizetype{end} + kMarkReach);
    const qsizetype lineBreak = text.indexOf(u'\n', end);
    if (lineBreak >= 0 && lineBreak < stop)
        stop = lineBreak;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Line, text.constData() + lineStart,
                               static_cast<qsizetype>(stop - lineStart));
    finder.setPosition(end - lineStart + 1);
    for (qsizetype at = finder.toPreviousBoundary(); at > 0; at = finder.toPreviousBoundary()) {
        if (finder.boundaryReasons() & QTextBoundaryFinder::BreakOpportunity)
            return lineStart + static_cast<int>(at);
    }
    return -1;
}

std::vector<int> WrapIndex::wrapFrom(int from, int lines) const
{
    std::vector<int> starts;
    wrapLines(from, [&](int start) {
        starts.push_back(start);
        return std::cmp_less(starts.size(), lines);
    });
    return starts;
}

void WrapIndex::wrapUntil(int line, int position) const
{
    // A little more than asked, so that painting line by line wraps on rarely.
    constexpr int kMoreLines = 64;
    const auto enough = [&] {
        return std::cmp_greater(m_lineStarts.size(), static_cast<std::size_t>(line) + kMoreLines) &&
               m_lineStarts.back() > position;
    };
    if (m_wrappedAll || enough())
        return;
    const int from = m_lineStarts.back();
    bool stopped = false;
    wrapLines(from, [&](int start) {
        if (start == from)
            return true;
        while (m_laterFrom < m_laterStarts.size() && m_laterStarts[m_laterFrom] < start)
            ++m_laterFrom;
        if (m_laterFrom < m_laterStarts.size() && m_laterStarts[m_laterFrom] == start) {
            m_lineStarts.insert(m_lineStarts.end(), m_laterStarts.begin() + static_cast<std::ptrdiff_t>(m_laterFrom),
                                m_laterStarts.end());
            return false;
        }
        m_lineStarts.push_back(start);
        stopped = enough();
        return !stopped;
    });
    if (!stopped) {
        m_wrappedAll = true;
        m_laterStarts.clear();
        m_laterFrom = 0;
    }
}

bool WrapIndex::hasLine(int line) const
{
    wrapUntil(line, -1);
    return std::cmp_less(line, m_lineStarts.size());
}

int WrapIndex::lineCount() const
{
    wrapUntil(std::numeric_limits<int>::max() - 1024, std::numeric_limits<int>::max());
    return static_cast<int>(m_lineStarts.size());
}

int WrapIndex::lineStart(int line) const
{
    hasLine(line);
    return m_lineStarts[static_cast<std::size_t>(line)];
}

int WrapIndex::lineAt(int position) const
{
    wrapUntil(0, position);
    const auto after = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), position);
    return std::max(0, static_cast<int>(after - m_lineStarts.begin()) - 1);
}

void WrapIndex::textChanged(int start, int removed, int added)
{
    const int delta = added - removed;
    const int oldEditEnd = start + removed;
    const auto known = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), std::max(0, start - kEditReach));
    const auto keep =
        static_cast<std::size_t>(std::max<std::ptrdiff_t>(known - m_lineStarts.begin() - kEditLinesBack, 1));
    // Old starts after the edit: those wrapped so far when they reach the end,
    // else those of the earlier wrap, which have no gap before them.
    if (m_wrappedAll) {
        const auto after =
            std::lower_bound(m_lineStarts.begin() + static_cast<std::ptrdiff_t>(keep), m_lineStarts.end(), oldEditEnd);
        m_laterStarts.assign(after, m_lineStarts.end());
        m_laterFrom = 0;
    } else {
        m_laterFrom =
            static_cast<std::size_t>(std::lower_bound(m_laterStarts.begin() + static_cast<std::ptrdiff_t>(m_laterFrom),
                                                      m_laterStarts.end(), oldEditEnd) -
                                     m_laterStarts.begin());
    }
    for (auto later = m_laterStarts.begin() + static_cast<std::ptrdiff_t>(m_laterFrom); later != m_laterStarts.end();
         ++later)
        *later += delta;
    m_lineStarts.resize(keep);
    m_wrappedAll = false;
    wrapUntil(0, start + added);
    // A long text replaced by a short one gives its memory back.
    if (m_lineStarts.capacity() > 4 * m_lineStarts.size() + 1024)
        m_lineStarts.shrink_to_fit();
}

} // namespace quorran
