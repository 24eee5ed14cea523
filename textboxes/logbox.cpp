// The box keeps where every shown line starts, as far as anything has looked:
// an edit wraps again from a few lines before it until a line starts where an
// old one did, and then takes the old starts after it, shifted; where none
// does, as in a run of digits that all have one width, the rest is wrapped
// when it is looked at. Wrapping adds up
// the advances of single characters, measured once per character and font,
// so a paste of megabytes wraps in milliseconds; only the lines in view are
// shaped and drawn, each as a layout of its own.

#include "logbox.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace quorran {

namespace {

// No shown line is longer, even of characters without width.
constexpr int kLongestLine = 1024;
constexpr int kMarkReach = 32;
// How far back of an edit a line's break may have looked: the character that
// did not fit and the one after it lie at most a mark reach and a surrogate
// pair into the line after next.
constexpr int kEditReach = 2 * kMarkReach;
constexpr int kEditLinesBack = 2;

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

bool isPlain(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

} // namespace

LogBox::LogBox(QWidget *parent) : EditBox(TextModel::Lines::Multi, parent), m_metrics(font())
{
    m_wrapWidth = textRect().width();
}

QString LogBox::withLineFeeds(const QString &text) { return TextModel::withLineFeeds(text); }

void LogBox::setText(const QString &text)
{
    // Room to type into, so that the first key does not copy a long text.
    QString own = withLineFeeds(text);
    own.reserve(own.size() + 1024);
    resetText(own, 0);
}

void LogBox::append(const QString &text)
{
    const QString tail = withLineFeeds(text);
    appendText(tail, static_cast<int>(content().size() + tail.size()));
}

qreal LogBox::advanceOf(char32_t code) const
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
template <typename Sink> void LogBox::wrapLines(int from, Sink &&sink) const
{
    const auto *chars = reinterpret_cast<const char16_t *>(content().constData());
    const int size = static_cast<int>(content().size());
    const auto step = [&](int i, qreal x, int &length) {
        const char16_t c = chars[i];
        length = 1;
        if (c == u'\t')
            return (std::floor(x / kTabStop) + 1) * kTabStop;
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
        if (i > lineStart && (next > m_wrapWidth || full)) {
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

// The last place after `lineStart` and up to `end` where the text may
// break by the Unicode line breaking rules, as a text layout breaks it, or
// -1. The rules look a little beyond `end`, within the paragraph.
int LogBox::lastBreak(int lineStart, int end) const
{
    const QString &text = content();
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

void LogBox::rewrap()
{
    m_lineStarts.assign(1, 0);
    m_lineStarts.shrink_to_fit();
    m_laterStarts.clear();
    m_laterStarts.shrink_to_fit();
    m_laterFrom = 0;
    m_wrappedAll = content().isEmpty();
}

void LogBox::wrapUntil(int line, int position) const
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

bool LogBox::hasLine(int line) const
{
    wrapUntil(line, -1);
    return std::cmp_less(line, m_lineStarts.size());
}

int LogBox::lineCount() const
{
    wrapUntil(std::numeric_limits<int>::max() - 1024, std::numeric_limits<int>::max());
    return static_cast<int>(m_lineStarts.size());
}

int LogBox::lineStart(int line) const
{
    hasLine(line);
    return m_lineStarts[static_cast<std::size_t>(line)];
}

// A hidden box gets its resize events only when it is shown; its lines
// follow its width all the same.
bool LogBox::widthChanged()
{
    if (textRect().width() == m_wrapWidth)
        return false;
    m_wrapWidth = textRect().width();
    rewrap();
    return true;
}

void LogBox::textChanged(int start, int removed, int added)
{
    // Up and Down after an edit start from where the caret is now.
    m_goalPosition = -1;
    if (widthChanged())
        return;
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

// The end of what a line shows: its line break, if it has one, is not shown.
int LogBox::lineEnd(int line) const
{
    if (!hasLine(line + 1))
        return static_cast<int>(content().size());
    const int next = lineStart(line + 1);
    return isWrapped(line) ? next : next - 1;
}

bool LogBox::isWrapped(int line) const { return hasLine(line + 1) && content().at(lineStart(line + 1) - 1) != u'\n'; }

int LogBox::lineAt(int position) const
{
    wrapUntil(0, position);
    const auto after = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), position);
    return std::max(0, static_cast<int>(after - m_lineStarts.begin()) - 1);
}

int LogBox::caretLine() const
{
    const int line = lineAt(cursorPosition());
    if (m_caretAtLineEnd && line > 0 && lineStart(line) == cursorPosition() && isWrapped(line - 1))
        return line - 1;
    return line;
}

void LogBox::layoutLine(QTextLayout &layout, int line) const
{
    layoutPiece(layout, lineStart(line), lineEnd(line) - lineStart(line));
}

// The caret's line with an input method's composition in it wraps at the
// box's width, a row under the other, and pushes the lines below down.
void LogBox::layoutCaretLine(QTextLayout &layout, int line) const
{
    if (!hasComposition()) {
        layoutLine(layout, line);
        return;
    }
    layoutPiece(layout, lineStart(line), lineEnd(line) - lineStart(line), Qt::LeftToRight, m_wrapWidth, lineHeight());
}

// The row of a line's layout that holds `offset`.
int LogBox::rowAt(const QTextLayout &layout, int offset)
{
    int row = 0;
    while (row + 1 < layout.lineCount() && offset >= layout.lineAt(row + 1).textStart())
        ++row;
    return row;
}

int LogBox::positionInLine(int line, qreal x) const
{
    QTextLayout layout;
    layoutLine(layout, line);
    const int position = lineStart(line) + layout.lineAt(0).xToCursor(x, QTextLine::CursorBetweenCharacters);
    if (position == lineEnd(line) && isWrapped(line))
        m_lineEndCandidate = position;
    return position;
}

int LogBox::lineHeight() const { return std::max(1, QFontMetrics(font()).height()); }

int LogBox::visibleLines() const { return std::max(1, textRect().height() / lineHeight()); }

int LogBox::positionAt(const QPoint &point) const
{
    const QRect rect = textRect();
    const int row = static_cast<int>(std::floor(static_cast<qreal>(point.y() - rect.top()) / lineHeight()));
    const int wanted = std::max(0, m_top + row);
    const int line = hasLine(wanted) ? wanted : static_cast<int>(m_lineStarts.size()) - 1;
    return positionInLine(line, point.x() - rect.left());
}

QRect LogBox::cursorRectangle() const
{
    const int line = caretLine();
    return rectangleIn(line, cursorPosition() - lineStart(line) + compositionCursor());
}

QRect LogBox::positionRectangle(int position) const
{
    const int line = lineAt(position);
    const bool afterComposition = hasComposition() && line == caretLine() && position > cursorPosition();
    return rectangleIn(line, position - lineStart(line) + (afterComposition ? compositionLength() : 0));
}

// Where a caret `offset` characters into `line` is drawn; the caret's line
// holds the composition, if there is one, and those characters count.
QRect LogBox::rectangleIn(int line, int offset) const
{
    const QRect rect = textRect();
    QTextLayout layout;
    if (line == caretLine())
        layoutCaretLine(layout, line);
    else
        layoutLine(layout, line);
    const int row = rowAt(layout, offset);
    const int x = rect.left() + static_cast<int>(layout.lineAt(row).cursorToX(offset));
    return {x, rect.top() + (line + row - m_top) * lineHeight(), 1, lineHeight()};
}

void LogBox::ensureCursorVisible()
{
    m_caretAtLineEnd = m_lineEndCandidate == cursorPosition();
    m_lineEndCandidate = -1;
    const int line = caretLine();
    if (!hasLine(m_top))
        m_top = static_cast<int>(m_lineStarts.size()) - 1;
    int row = 0;
    if (hasComposition()) {
        QTextLayout layout;
        layoutCaretLine(layout, line);
        row = rowAt(layout, cursorPosition() - lineStart(line) + compositionCursor());
    }
    if (line < m_top)
        m_top = line;
    else if (line + row >= m_top + visibleLines())
        m_top = std::min(line, line + row - visibleLines() + 1);
}

void LogBox::drawText(QPainter &painter) const
{
    const QRect rect = textRect();
    const int caret = caretLine();
    const int bottom = rect.top() + visibleLines() * lineHeight();
    for (int line = m_top, y = rect.top(); y < bottom && hasLine(line); ++line) {
        QTextLayout layout;
        if (line == caret)
            layoutCaretLine(layout, line);
        else
            layoutLine(layout, line);
        drawPiece(painter, layout, QPointF(rect.left(), y), lineStart(line), line == caret);
        y += layout.lineCount() * lineHeight();
    }
}

// Where there is no line to go to, the caret stays, as in a plain text
// edit; Shift with Up or Down then selects to the start or end of the text.
void LogBox::moveByLines(int lines, bool select, bool byPage)
{
    const int line = caretLine();
    const int wanted = std::max(0, line + lines);
    const int target = hasLine(wanted) ? wanted : static_cast<int>(m_lineStarts.size()) - 1;
    if (target == line) {
        if (select && !byPage)
            moveCursor(lines < 0 ? 0 : static_cast<int>(content().size()), true);
        return;
    }
    if (m_goalPosition != cursorPosition()) {
        QTextLayout layout;
        layoutLine(layout, line);
        m_goalX = layout.lineAt(0).cursorToX(cursorPosition() - lineStart(line));
    }
    const qreal goal = m_goalX;
    moveCursor(positionInLine(target, goal), select);
    m_goalX = goal;
    m_goalPosition = cursorPosition();
}

// A paragraph goes the way of its first letter with a direction of its own.
Qt::LayoutDirection LogBox::textDirection() const
{
    const QString &text = content();
    const int cursor = cursorPosition();
    const qsizetype size = text.size();
    for (qsizetype i = cursor > 0 ? text.lastIndexOf(u'\n', cursor - 1) + 1 : 0; i < size && text.at(i) != u'\n'; ++i) {
        char32_t code = text.at(i).unicode();
        if (QChar::isHighSurrogate(code) && i + 1 < size && text.at(i + 1).isLowSurrogate()) {
            code = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        switch (QChar::direction(code)) {
        case QChar::DirL:
            return Qt::LeftToRight;
        case QChar::DirR:
        case QChar::DirAL:
            return Qt::RightToLeft;
        default:
            break;
        }
    }
    return Qt::LeftToRight;
}

void LogBox::keyPressEvent(QKeyEvent *event)
{
    const QString &text = content();
    const int cursor = cursorPosition();
    const bool select = event->modifiers() & Qt::ShiftModifier;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !(event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))) {
        insert(QStringLiteral("\n"));
    } else if (event == QKeySequence::MoveToNextLine || event == QKeySequence::SelectNextLine) {
        moveByLines(1, select, false);
    } else if (event == QKeySequence::MoveToPreviousLine || event == QKeySequence::SelectPreviousLine) {
        moveByLines(-1, select, false);
    } else if (event == QKeySequence::MoveToNextPage || event == QKeySequence::SelectNextPage) {
        moveByLines(visibleLines(), select, true);
    } else if (event == QKeySequence::MoveToPreviousPage || event == QKeySequence::SelectPreviousPage) {
        moveByLines(-visibleLines(), select, true);
    } else if (event == QKeySequence::MoveToStartOfLine || event == QKeySequence::SelectStartOfLine) {
        m_goalPosition = -1;
        moveCursor(lineStart(caretLine()), select);
    } else if (event == QKeySequence::MoveToEndOfLine || event == QKeySequence::SelectEndOfLine) {
        m_goalPosition = -1;
        const int line = caretLine();
        if (isWrapped(line))
            m_lineEndCandidate = lineEnd(line);
        moveCursor(lineEnd(line), select);
    } else if (event == QKeySequence::MoveToStartOfBlock || event == QKeySequence::SelectStartOfBlock) {
        m_goalPosition = -1;
        moveCursor(cursor > 0 ? static_cast<int>(text.lastIndexOf(u'\n', cursor - 1)) + 1 : 0, select);
    } else if (event == QKeySequence::MoveToEndOfBlock || event == QKeySequence::SelectEndOfBlock) {
        m_goalPosition = -1;
        const qsizetype end = text.indexOf(u'\n', cursor);
        moveCursor(end < 0 ? static_cast<int>(text.size()) : static_cast<int>(end), select);
    } else {
        // Every other key that moves or extends the caret forgets the column
        // Up and Down keep to, even where the caret stays put; so do the word
        // and line deletes, which select what they delete first.
        if (!keepsColumn(event))
            m_goalPosition = -1;
        EditBox::keyPressEvent(event);
        return;
    }
    event->accept();
}

// Keys that leave the caret alone unless they change the text, which
// forgets the column anyway.
bool LogBox::keepsColumn(const QKeyEvent *event)
{
    const auto is = [event](QKeySequence::StandardKey key) { return event->matches(key); };
    return is(QKeySequence::Undo) || is(QKeySequence::Redo) || is(QKeySequence::Copy) || is(QKeySequence::Cut) ||
           is(QKeySequence::Paste) || is(QKeySequence::Delete) ||
           (event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier));
}

// As a scroll area without scroll bars does: so many lines a notch, a part
// of a line kept for the next event, never more than a page at once, and a
// page a notch with Ctrl or Shift. The caret stays where it is.
void LogBox::wheelEvent(QWheelEvent *event)
{
    const QPoint delta = event->angleDelta();
    event->ignore();
    if (std::abs(delta.x()) > std::abs(delta.y()) || delta.y() == 0)
        return;
    const qreal notches = delta.y() / 120.0;
    const int page = visibleLines();
    int lines = 0;
    if (event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) {
        lines = std::clamp(static_cast<int>(notches * page), -page, page);
        m_wheelLines = 0;
    } else {
        if (m_wheelLines != 0 && notches / m_wheelLines < 0)
            m_wheelLines = 0;
        m_wheelLines += QApplication::wheelScrollLines() * notches;
        lines = std::clamp(static_cast<int>(m_wheelLines), -page, page);
        m_wheelLines -= static_cast<int>(m_wheelLines);
    }
    const int lastTop =
        hasLine(m_top + 2 * page) ? m_top + page : std::max({0, static_cast<int>(m_lineStarts.size()) - page, m_top});
    const int top = std::clamp(m_top - lines, 0, lastTop);
    if (lines == 0) {
        // Part of a line: taken while there is somewhere to go.
        if ((m_wheelLines > 0 && m_top > 0) || (m_wheelLines < 0 && m_top < lastTop))
            event->accept();
        else
            m_wheelLines = 0;
        return;
    }
    if (top == m_top) {
        m_wheelLines = 0;
        return;
    }
    m_top = top;
    update();
    event->accept();
}

void LogBox::resizeEvent(QResizeEvent *event)
{
    widthChanged();
    EditBox::resizeEvent(event);
}

void LogBox::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        m_metrics = QFontMetricsF(font());
        m_advances.clear();
        m_wideAdvances.clear();
        rewrap();
        ensureCursorVisible();
        update();
    } else if (event->type() == QEvent::StyleChange && widthChanged()) {
        // Another style may draw a wider or narrower frame.
        ensureCursorVisible();
        update();
    }
    EditBox::changeEvent(event);
}

} // namespace quorran
