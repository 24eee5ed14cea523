// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// The index keeps the starts it has found in order; questions about lines
// further on wrap on from the last one found. Starts of an earlier wrap that
// lie after an edit are kept aside, shifted by what the edit added, until the
// new wrap meets two in a row, the line between them laid out as before;
// where none is met, as in a run of digits that all have one width, the rest
// is wrapped when it is looked at.

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

bool isPlain(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

// The direction of the first letter that has one, outside isolates, of
// `pieces` read as one text up to its first line feed, as
// QString::isRightToLeft() reads it: by code points, a lone surrogate as a
// replacement character, which has none. Left to right where none has.
Qt::LayoutDirection firstDirection(std::initializer_list<QStringView> pieces)
{
    int isolates = 0;
    char32_t high = 0; // a high surrogate just before, perhaps in the piece before
    for (const QStringView piece : pieces) {
        for (const QChar c : piece) {
            if (c == u'\n')
                return Qt::LeftToRight;
            char32_t code = c.unicode();
            if (high != 0 && QChar::isLowSurrogate(code))
                code = QChar::surrogateToUcs4(static_cast<char16_t>(high), static_cast<char16_t>(code));
            high = QChar::isHighSurrogate(code) ? code : 0;
            if (QChar::isSurrogate(code))
                continue;
            switch (QChar::direction(code)) {
            case QChar::DirLRI:
            case QChar::DirRLI:
            case QChar::DirFSI:
                ++isolates;
                break;
            case QChar::DirPDI:
                isolates = std::max(0, isolates - 1);
                break;
            case QChar::DirL:
                if (isolates == 0)
                    return Qt::LeftToRight;
                break;
            case QChar::DirR:
            case QChar::DirAL:
                if (isolates == 0)
                    return Qt::RightToLeft;
                break;
            default:
                break;
            }
        }
    }
    return Qt::LeftToRight;
}

// Whether `piece` holds what may decide a paragraph's direction: a line
// feed, a letter that has one, an isolate's mark, or half a surrogate pair.
bool mayDecideDirection(QStringView piece)
{
    return std::any_of(piece.begin(), piece.end(), [](QChar c) {
        switch (c.direction()) {
        case QChar::DirL:
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirLRI:
        case QChar::DirRLI:
        case QChar::DirFSI:
        case QChar::DirPDI:
            return true;
        default:
            return c == u'\n' || c.isSurrogate();
        }
    });
}

// The direction of the paragraph that holds the end of `edit`, which comes
// after `before`, the start of its paragraph, and before `after`.
Qt::LayoutDirection directionAfter(QStringView before, QStringView edit, QStringView after)
{
    const qsizetype feed = edit.lastIndexOf(u'\n');
    return feed < 0 ? firstDirection({before, edit, after}) : firstDirection({edit.sliced(feed + 1), after});
}

} // namespace

WrapIndex::WrapIndex(std::function<const QString &()> text, const QFont &font, qreal tabStop)
    : m_text(std::move(text)), m_tabStop(tabStop), m_font(font), m_metrics(font), m_shapingSlack(m_metrics.height())
{
}

void WrapIndex::setFont(const QFont &font)
{
    m_font = font;
    m_metrics = QFontMetricsF(font);
    m_shapingSlack = m_metrics.height();
    m_glyphs.clear();
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

const WrapIndex::Glyph &WrapIndex::glyphOf(char16_t code) const
{
    if (m_glyphs.empty()) // not before the first character is measured
        m_glyphs.assign(0x10000, Glyph{});
    Glyph &glyph = m_glyphs[code];
    if (glyph.advance < 0) {
        const QChar c(code);
        glyph.advance = static_cast<float>(m_metrics.horizontalAdvance(c));
        glyph.overhang = static_cast<float>(std::max(0.0, -m_metrics.rightBearing(c)));
    }
    return glyph;
}

qreal WrapIndex::advanceOf(char32_t code) const
{
    const auto found = m_wideAdvances.find(code);
    if (found != m_wideAdvances.end())
        return found->second;
    const qreal advance = m_metrics.horizontalAdvance(QString::fromUcs4(&code, 1));
    m_wideAdvances.emplace(code, advance);
    return advance;
}

// A text layout divides a tab's start by the tab stop distance, both in 64ths
// of a pixel, rounding to the nearest 64th: a tab that starts less than a
// 128th of the distance short of a stop goes on to the next one.
qreal WrapIndex::tabStopAfter(qreal x) const
{
    const auto start = static_cast<qint64>(std::lround(x * 64));
    const auto distance = static_cast<qint64>(m_tabStop * 64);
    const qint64 stops = ((start * 64 + distance / 2) / distance) / 64;
    return static_cast<qreal>((stops + 1) * distance) / 64;
}

// Hands `sink` the start of every line from the one at `from` on, that one
// included, until it returns false or the text ends. Where a line ends
// depends on no more than the line, the one before it, which starts at
// `before`, and the direction of its paragraph: wrapping from any line start,
// given the one before, gives the lines a wrap from the text's start would.
template <typename Sink> void WrapIndex::wrapLines(int before, int from, Sink &&sink) const
{
    const QString &text = m_text();
    const auto *chars = reinterpret_cast<const char16_t *>(text.constData());
    const int size = static_cast<int>(text.size());
    // The position after the character at `i`; `reach` gets the right
    // edge of its glyph, which a text layout keeps within the line too.
    const auto step = [&](int i, qreal x, int &length, qreal &reach) {
        const char16_t c = chars[i];
        length = 1;
        if (c == u'\t')
            return reach = tabStopAfter(x);
        if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(chars[i + 1])) {
            length = 2;
            return reach = x + advanceOf(QChar::surrogateToUcs4(c, chars[i + 1]));
        }
        const Glyph &glyph = glyphOf(c);
        reach = x + glyph.advance + glyph.overhang;
        return x + glyph.advance;
    };

    const auto endsWord = [&](int i) { return i == size || chars[i] == u' ' || chars[i] == u'\n'; };

    if (!sink(from))
        return;
    int lineStart = from;
    int lineBefore = before;
    int breakAt = -1; // after the last blanks of the line, where it may break
    // Where a line holds more than ASCII letters, digits and blanks, it may
    // break at other places than after blanks, and the sum of single
    // advances may fall short of the room it takes, by a mark or letters
    // shaped together: such a line is laid out as a text layout does once it
    // comes near the edge; one with tabs and right-to-left letters at once,
    // where joined letters that take more room than alone put a tab after
    // them at a later stop, a whole stop further than the sum says.
    qreal limit = m_width;
    bool tabbed = false;
    bool rightToLeft = false;
    qreal x = 0;
    Paragraph paragraph;
    for (int i = from; i < size;) {
        if (chars[i] == u'\n') {
            paragraph = {i + 1};
            lineBefore = -1;
            lineStart = ++i;
            breakAt = -1;
            limit = m_width;
            tabbed = rightToLeft = false;
            x = 0;
            if (!sink(lineStart))
                return;
            continue;
        }
        int length = 1;
        qreal reach = 0;
        const bool full = i - lineStart >= kLongestLine;
        if (chars[i] == u' ' && !full) {
            // Blanks may hang past the edge; tabs do not.
            x = step(i, x, length, reach);
            breakAt = ++i;
            continue;
        }
        if (!isPlain(chars[i])) {
            tabbed = tabbed || chars[i] == u'\t';
            rightToLeft =
                rightToLeft || QChar::direction(chars[i]) == QChar::DirR || QChar::direction(chars[i]) == QChar::DirAL;
            limit = tabbed && rightToLeft ? 0 : m_width - m_shapingSlack;
        }
        const qreal next = step(i, x, length, reach);
        // A glyph drawn past its advance must fit where a word ends and
        // where a word longer than the line breaks anywhere.
        if (i > lineStart &&
            (next > limit || full || (reach > limit && (breakAt <= lineStart || endsWord(i + length))))) {
            // Pairs of letters may be drawn closer than their advances
            // add up to: a word that only just crosses the edge may fit.
            if ((limit < m_width || (breakAt > lineStart && wordFitsNearly(i, next))) && !full) {
                int end = 0;
                const int start = layoutBreak(text, paragraph, lineBefore, lineStart, i + length, end);
                if (start < 0) {
                    // The paragraph ends there, or the longest line does.
                    i = end;
                    continue;
                }
                // A tail of its own: sharing the one below made the loop over
                // plain digits 5% slower.
                if (!sink(start))
                    return;
                lineBefore = lineStart;
                lineStart = i = start;
                breakAt = -1;
                limit = m_width;
                tabbed = rightToLeft = false;
                x = 0;
                continue;
            }
            // Only blanks break a line of ASCII letters and digits.
            const int start = breakAt > lineStart && !full ? breakAt : i;
            if (!sink(start))
                return;
            // The new line is wrapped from its start like any other: the
            // characters carried over hold no blank and fit again.
            lineBefore = lineStart;
            lineStart = i = start;
            breakAt = -1;
            limit = m_width;
            tabbed = rightToLeft = false;
            x = 0;
            continue;
        }
        x = next;
        i += length;
    }
}

// Whether the word the character at `i`, which ends at `x`, is part of
// ends within a kerning's reach of the edge.
Q_DECL_COLD_FUNCTION bool WrapIndex::wordFitsNearly(int i, qreal x) const
{
    const QString &text = m_text();
    const qsizetype size = text.size();
    const qreal reach = m_width + m_shapingSlack / 4;
    qreal overhang = glyphOf(text.at(i).unicode()).overhang;
    for (qsizetype j = i + 1; j < size && x + overhang <= reach; ++j) {
        const char16_t c = text.at(j).unicode();
        if (c == u' ' || c == u'\n')
            break;
        const Glyph &glyph = glyphOf(c);
        x += glyph.advance;
        overhang = glyph.overhang;
    }
    return x + overhang <= reach;
}

// Kept out of the loop over every character, which it would slow down.
Q_DECL_COLD_FUNCTION int WrapIndex::layoutBreak(const QString &text, Paragraph &paragraph, int lineBefore,
                                                int lineStart, int reached, int &end) const
{
    // Laid out from the line's start to well past where single letters come
    // near the edge, and further while all of it fits. The line before, of
    // the same paragraph, comes first, as wide as the box: where a line
    // breaks, the order of letters and digits of both directions and the
    // shapes of joining letters depend on what comes before it.
    const int size = static_cast<int>(text.size());
    const auto *chars = reinterpret_cast<const char16_t *>(text.constData());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(m_tabStop);
    option.setTextDirection(paragraph.direction(text, lineStart));
    int context = lineBefore >= paragraph.start ? lineBefore : lineStart;
    for (end = reached;;) {
        end = std::min({size, lineStart + kLongestLine, 2 * end - lineStart + kMarkReach});
        end = static_cast<int>(std::find(chars + reached - 1, chars + end, u'\n') - chars);
        if (end < size && QChar::isLowSurrogate(chars[end]))
            ++end;
        QTextLayout layout(QString::fromRawData(text.constData() + context, end - context), m_font);
        layout.setTextOption(option);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        if (context < lineStart) {
            line.setLineWidth(m_width);
            line = layout.createLine();
        }
        const bool atStart = line.isValid() && line.textStart() == lineStart - context;
        if (atStart)
            line.setLineWidth(m_width);
        const int length = atStart ? line.textLength() : 0;
        layout.endLayout();
        if (!atStart) {
            // Alone, the line before breaks elsewhere: this one is laid out
            // alone too.
            context = lineStart;
            end = reached;
            continue;
        }
        const bool last = end == size || chars[end] == u'\n' || end - lineStart >= kLongestLine;
        // A break close to where the text laid out is cut off may be there
        // only because the word after it, or its letters' shapes, are cut.
        if (length < end - lineStart && (last || lineStart + length + kMarkReach <= end))
            return lineStart + length;
        if (last)
            return -1;
    }
}

// The direction of the paragraph's first letter that has one.
Qt::LayoutDirection WrapIndex::Paragraph::direction(const QString &text, int lineStart)
{
    if (found != Qt::LayoutDirectionAuto)
        return found;
    if (start < 0)
        start = lineStart > 0 ? static_cast<int>(text.lastIndexOf(u'\n', lineStart - 1)) + 1 : 0;
    return found = firstDirection({QStringView(text).sliced(start)});
}

std::vector<int> WrapIndex::wrapFrom(int before, int from, int lines) const
{
    std::vector<int> starts;
    wrapLines(before, from, [&](int start) {
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
    const std::size_t known = m_lineStarts.size();
    const int from = m_lineStarts.back();
    bool stopped = false;
    wrapLines(known > 1 ? m_lineStarts[known - 2] : -1, from, [&](int start) {
        if (start == from)
            return true;
        while (m_laterFrom < m_laterStarts.size() && m_laterStarts[m_laterFrom] < start)
            ++m_laterFrom;
        // Where the line before starts where an old one did too, the old
        // line after it was laid out after the same line.
        if (m_laterFrom > 0 && m_laterFrom < m_laterStarts.size() && m_laterStarts[m_laterFrom] == start &&
            m_laterStarts[m_laterFrom - 1] == m_lineStarts.back()) {
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

// The text before and after the edit is the same as before it: the old
// paragraphs are told apart from the new ones by the removed text alone.
std::pair<int, int> WrapIndex::turnedParagraphs(int start, QStringView removed, int added) const
{
    const QStringView text(m_text());
    // An edit of whole paragraphs leaves no old line of them to turn.
    const bool fromParagraphStart = start == 0 || text.at(start - 1) == u'\n';
    if (fromParagraphStart && (start + added == text.size() || text.at(start + added) == u'\n'))
        return {-1, -1};
    const QStringView inserted = text.sliced(start, added);
    // Halves of a surrogate pair at its edges may have been joined or parted.
    const bool edgeHalves = (start > 0 && text.at(start - 1).isHighSurrogate()) ||
                            (start + added < text.size() && text.at(start + added).isLowSurrogate());
    if (!edgeHalves && !mayDecideDirection(removed) && !mayDecideDirection(inserted))
        return {-1, -1};
    const auto from = static_cast<int>(text.first(start).lastIndexOf(u'\n')) + 1;
    const QStringView before = text.sliced(from, start - from);
    const QStringView after = text.sliced(start + added);
    if (firstDirection({before, removed, after}) == firstDirection({before, inserted, after}) &&
        directionAfter(before, removed, after) == directionAfter(before, inserted, after))
        return {-1, -1};
    const qsizetype feed = after.indexOf(u'\n');
    return {from, feed < 0 ? static_cast<int>(text.size()) : start + added + static_cast<int>(feed)};
}

void WrapIndex::textChanged(int start, QStringView removed, int added)
{
    const int delta = added - static_cast<int>(removed.size());
    const int oldEditEnd = start + static_cast<int>(removed.size());
    const auto known = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), std::max(0, start - kEditReach));
    auto keep = static_cast<std::size_t>(std::max<std::ptrdiff_t>(known - m_lineStarts.begin() - kEditLinesBack, 1));
    // A paragraph whose direction turned is wrapped anew throughout: all its
    // lines depend on its direction.
    const auto [turnedFrom, turnedTo] = turnedParagraphs(start, removed, added);
    if (turnedFrom >= 0)
        keep = std::min(
            keep, static_cast<std::size_t>(std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), turnedFrom) -
                                           m_lineStarts.begin()));
    // Old starts after the edit: those wrapped so far when they reach the end,
    // else those of the earlier wrap, which have no gap before them.
    if (m_wrappedAll) {
        const auto after =
            std::lower_bound(m_lineStarts.begin() + static_cast<std::ptrdiff_t>(keep), m_lineStarts.end(), oldEditEnd);
        m_laterStarts.assign(after, m_lineStarts.end());
    } else {
        m_laterStarts.erase(m_laterStarts.begin(),
                            std::lower_bound(m_laterStarts.begin() + static_cast<std::ptrdiff_t>(m_laterFrom),
                                             m_laterStarts.end(), oldEditEnd));
    }
    m_laterFrom = 0;
    for (int &later : m_laterStarts)
        later += delta;
    m_laterStarts.erase(m_laterStarts.begin(), std::upper_bound(m_laterStarts.begin(), m_laterStarts.end(), turnedTo));
    m_lineStarts.resize(keep);
    m_wrappedAll = false;
    wrapUntil(0, start + added);
    // A long text replaced by a short one gives its memory back.
    if (m_lineStarts.capacity() > 4 * m_lineStarts.size() + 1024)
        m_lineStarts.shrink_to_fit();
}

} // namespace quorran
