// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// Only the lines in view are shaped and drawn, each as a layout of its own;
// where the lines start is the wrap index's to know.

#include "logbox.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QTextLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace quorran {

namespace {

// A text of this many characters or more, replaced, leaves enough freed
// memory behind to be worth handing back at once.
constexpr qsizetype kLargeRelease = 1 << 20;

// The C library of GNU keeps freed memory for the next allocations, most of
// it in the middle of its heap where it never gives it back by itself: the
// pieces of a long text that grew paste by paste, its line starts and its
// undo steps. Other libraries give back what they can on their own.
void releaseFreedMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

} // namespace

LogBox::LogBox(QWidget *parent)
    : EditBox(TextModel::Lines::Multi, parent),
      m_wrap([this]() -> const QString & { return content(); }, font(), kTabStop)
{
    m_wrap.setWidth(textRect().width());
}

void LogBox::setText(const QString &text)
{
    // Room to type into, so that the first key does not copy a long text.
    QString own = TextModel::withLineFeeds(text);
    own.reserve(own.size() + 1024);
    const qsizetype released = content().size();
    resetText(own, 0);
    if (released >= kLargeRelease)
        releaseFreedMemory();
}

void LogBox::append(const QString &text)
{
    const QString tail = TextModel::withLineFeeds(text);
    appendText(tail, static_cast<int>(content().size() + tail.size()));
}

int LogBox::lineCount() const { return m_wrap.lineCount(); }

int LogBox::lineStart(int line) const { return m_wrap.lineStart(line); }

// A hidden box gets its resize events only when it is shown; its lines
// follow its width all the same.
bool LogBox::widthChanged() { return m_wrap.setWidth(textRect().width()); }

void LogBox::textChanged(int start, QStringView removed, int added)
{
    // Up and Down after an edit start from where the caret is now.
    m_goalPosition = -1;
    if (widthChanged())
        return;
    m_wrap.textChanged(start, removed, added);
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
    layoutPiece(layout, lineStart(line), lineEnd(line) - lineStart(line), Qt::LeftToRight, m_wrap.width(),
                lineHeight());
}

// The row of a line's layout that holds `offset`.
int LogBox::rowAt(const QTextLayout &layout, int offset)
{
    int row = 0;
    while (row + 1 < layout.lineCount() && offset >= layout.lineAt(row + 1).textStart())
        ++row;
    return row;
}

// Where a caret `offset` characters into a row of a line's layout stands.
// Blanks and tabs at the end of a line may reach past the box's edge; the
// caret after them stays at the edge, where it can be seen.
qreal LogBox::caretX(const QTextLayout &layout, int row, int offset) const
{
    return std::min(layout.lineAt(row).cursorToX(offset), m_wrap.width());
}

// The position at `x` in `line`, and whether it is the end of a line
// wrapped without a blank, where a caret stands after the line's last
// character rather than before the next line's first. The line is laid out
// with the next one of its paragraph, wrapping as in a plain text edit, so
// that blanks where it wraps stand out of its width: a point on or past
// them is before the last one.
std::pair<int, bool> LogBox::positionInLine(int line, qreal x) const
{
    const int start = lineStart(line);
    const int end = lineEnd(line);
    QTextLayout layout;
    layoutPiece(layout, start, (isWrapped(line) ? lineEnd(line + 1) : end) - start, Qt::LeftToRight, m_wrap.width(),
                lineHeight());
    const QTextLine row = layout.lineAt(0);
    const bool unblankedWrap = isWrapped(line) && !content().at(end - 1).isSpace();
    if (unblankedWrap && x >= row.naturalTextWidth())
        return {end, true};
    const int position = std::min(start + row.xToCursor(x, QTextLine::CursorBetweenCharacters), end);
    return {position, unblankedWrap && position == end};
}

// The line a point is on, or the last line below them all.
std::pair<int, bool> LogBox::hit(const QPoint &point) const
{
    const QRect rect = textRect();
    const int row = static_cast<int>(std::floor(static_cast<qreal>(point.y() - rect.top()) / lineHeight()));
    const int wanted = std::max(0, m_top + row);
    const int line = hasLine(wanted) ? wanted : lineCount() - 1;
    return positionInLine(line, point.x() - rect.left());
}

int LogBox::lineHeight() const { return std::max(1, QFontMetrics(font()).height()); }

int LogBox::visibleLines() const { return std::max(1, textRect().height() / lineHeight()); }

int LogBox::positionAt(const QPoint &point) const { return hit(point).first; }

// Only a click puts the caret at the end of a wrapped line; asking where a
// point is leaves the caret alone.
int LogBox::caretPositionAt(const QPoint &point)
{
    const auto [position, atLineEnd] = hit(point);
    if (atLineEnd)
        m_lineEndCandidate = position;
    return position;
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
    const int x = rect.left() + qRound(caretX(layout, row, offset));
    return {x, rect.top() + (line + row - m_top) * lineHeight(), 1, lineHeight()};
}

// Only End, Up, Down or a click may leave the caret at the end of a wrapped
// line; whatever else places it shows it at the start of the next one.
void LogBox::caretPlaced()
{
    m_caretAtLineEnd = m_lineEndCandidate == cursorPosition();
    m_lineEndCandidate = -1;
}

void LogBox::ensureCursorVisible()
{
    const int line = caretLine();
    if (!hasLine(m_top))
        m_top = lineCount() - 1;
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
    const int target = hasLine(wanted) ? wanted : lineCount() - 1;
    if (target == line) {
        if (select && !byPage)
            moveCursor(lines < 0 ? 0 : static_cast<int>(content().size()), true);
        return;
    }
    if (m_goalPosition != cursorPosition()) {
        QTextLayout layout;
        layoutLine(layout, line);
        m_goalX = caretX(layout, 0, cursorPosition() - lineStart(line));
    }
    const qreal goal = m_goalX;
    const auto [position, atLineEnd] = positionInLine(target, goal);
    if (atLineEnd)
        m_lineEndCandidate = position;
    moveCursor(position, select);
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
        int end = lineEnd(line);
        // A line broken after a blank ends before the blank, as in a plain
        // text edit; one broken elsewhere ends after its last character.
        if (isWrapped(line) && end > lineStart(line) && text.at(end - 1).isSpace())
            --end;
        else if (isWrapped(line))
            m_lineEndCandidate = end;
        moveCursor(end, select);
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
        // and line deletes, which select what they delete first. A key the
        // box leaves alone, as Ctrl+Page Down, keeps it.
        const int goal = m_goalPosition;
        if (!keepsColumn(event))
            m_goalPosition = -1;
        EditBox::keyPressEvent(event);
        if (!event->isAccepted())
            m_goalPosition = goal;
        return;
    }
    event->accept();
}

// Keys that leave the caret alone unless they change the text, which
// forgets the column anyway; Backspace forgets it even at the text's start. A modifier comes as a key of its own before
// the key it modifies: Shift on its way to Shift+Up keeps the column too.
bool LogBox::keepsColumn(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return true;
    default:
        break;
    }
    const auto is = [event](QKeySequence::StandardKey key) { return event->matches(key); };
    return is(QKeySequence::Undo) || is(QKeySequence::Redo) || is(QKeySequence::Copy) || is(QKeySequence::Cut) ||
           is(QKeySequence::Paste) || is(QKeySequence::Delete);
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
    const int lastTop = hasLine(m_top + 2 * page) ? m_top + page : std::max({0, lineCount() - page, m_top});
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
        m_wrap.setFont(font());
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
