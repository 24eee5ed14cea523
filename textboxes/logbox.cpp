// The box keeps where every shown line starts. An edit wraps again only the
// paragraphs it touched and shifts the starts after them. Wrapping adds up
// the advances of single characters, measured once per character and font,
// so a paste of megabytes wraps in milliseconds; only the lines in view are
// shaped and drawn, each as a layout of its own.

#include "logbox.h"

#include <QEvent>
#include <QKeyEvent>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace quorran {

namespace {

// No shown line is longer, even of characters without width.
constexpr int kLongestLine = 1024;
constexpr int kMarkReach = 32;

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

} // namespace

LogBox::LogBox(QWidget *parent) : EditBox(parent), m_metrics(font()) { m_wrapWidth = textRect().width(); }

QString LogBox::withLineFeeds(const QString &text)
{
    if (!text.contains(u'\r') && !text.contains(QChar::ParagraphSeparator))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == QChar::ParagraphSeparator) {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            out += u'\n';
        } else {
            out += c;
        }
    }
    return out;
}

void LogBox::setText(const QString &text) { resetText(withLineFeeds(text), 0); }

void LogBox::append(const QString &text) { appendText(withLineFeeds(text), 0); }

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

// Appends the start of every line of the paragraph [from, to).
void LogBox::wrapParagraph(int from, int to, std::vector<int> &starts) const
{
    const auto *chars = reinterpret_cast<const char16_t *>(content().constData());
    const auto step = [&](int i, qreal x, int &length) {
        const char16_t c = chars[i];
        length = 1;
        if (c == u'\t')
            return (std::floor(x / kTabStop) + 1) * kTabStop;
        if (QChar::isHighSurrogate(c) && i + 1 < to && QChar::isLowSurrogate(chars[i + 1])) {
            length = 2;
            return x + advanceOf(QChar::surrogateToUcs4(c, chars[i + 1]));
        }
        return x + advanceOf(c);
    };

    starts.push_back(from);
    int lineStart = from;
    int breakAt = -1; // after the last blanks of the line, where it may break
    qreal x = 0;
    for (int i = from; i < to;) {
        int length = 1;
        const bool full = i - lineStart >= kLongestLine;
        if (isBlank(chars[i]) && !full) {
            // Blanks may hang past the edge.
            x = step(i, x, length);
            breakAt = ++i;
            continue;
        }
        const qreal next = step(i, x, length);
        if (i > lineStart && (next > m_wrapWidth || full)) {
            int start = breakAt > lineStart && !full ? breakAt : i;
            // A combining mark stays with its character, within a short reach
            // that keeps a flood of marks linear.
            if (start == i && !full) {
                while (start - 1 > lineStart && start > i - kMarkReach && QChar::isMark(chars[start]))
                    --start;
            }
            if (start < i && QChar::isLowSurrogate(chars[start]) && start - 1 > lineStart)
                --start;
            starts.push_back(start);
            lineStart = start;
            breakAt = -1;
            x = 0;
            for (int k = start; k < i; k += length)
                x = step(k, x, length);
            continue;
        }
        x = next;
        i += length;
    }
}

// Wraps the paragraphs from `from` up to the line break at `lastBreak`, or up
// to the end of the text if that is negative.
void LogBox::wrapRange(int from, qsizetype lastBreak, std::vector<int> &starts) const
{
    const QString &text = content();
    int position = from;
    for (;;) {
        const qsizetype end = text.indexOf(u'\n', position);
        if (end < 0) {
            wrapParagraph(position, static_cast<int>(text.size()), starts);
            return;
        }
        wrapParagraph(position, static_cast<int>(end), starts);
        if (lastBreak >= 0 && end >= lastBreak)
            return;
        position = static_cast<int>(end) + 1;
    }
}

void LogBox::rewrap()
{
    m_lineStarts.clear();
    wrapRange(0, -1, m_lineStarts);
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
    if (widthChanged())
        return;
    const QString &text = content();
    const int delta = added - removed;
    // The paragraphs from the one holding `start` to the one ending after the
    // new characters are wrapped again; those after keep their lines.
    const int from = start > 0 ? static_cast<int>(text.lastIndexOf(u'\n', start - 1)) + 1 : 0;
    const qsizetype lastBreak = text.indexOf(u'\n', start + added);
    const auto first = std::lower_bound(m_lineStarts.begin(), m_lineStarts.end(), from);
    const auto last = lastBreak < 0
                          ? m_lineStarts.end()
                          : std::lower_bound(first, m_lineStarts.end(), static_cast<int>(lastBreak) + 1 - delta);
    for (auto kept = last; kept != m_lineStarts.end(); ++kept)
        *kept += delta;
    std::vector<int> fresh;
    wrapRange(from, lastBreak, fresh);
    m_lineStarts.insert(m_lineStarts.erase(first, last), fresh.begin(), fresh.end());
}

// The end of what a line shows: its line break, if it has one, is not shown.
int LogBox::lineEnd(int line) const
{
    if (line + 1 >= lineCount())
        return static_cast<int>(content().size());
    const int next = lineStart(line + 1);
    return isWrapped(line) ? next : next - 1;
}

bool LogBox::isWrapped(int line) const
{
    return line + 1 < lineCount() && content().at(lineStart(line + 1) - 1) != u'\n';
}

int LogBox::lineAt(int position) const
{
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
    const int line = std::clamp(m_top + row, 0, lineCount() - 1);
    return positionInLine(line, point.x() - rect.left());
}

QRect LogBox::cursorRectangle() const
{
    const QRect rect = textRect();
    const int line = caretLine();
    QTextLayout layout;
    layoutLine(layout, line);
    const int x = rect.left() + static_cast<int>(layout.lineAt(0).cursorToX(cursorPosition() - lineStart(line)));
    return {x, rect.top() + (line - m_top) * lineHeight(), 1, lineHeight()};
}

void LogBox::ensureCursorVisible()
{
    m_caretAtLineEnd = m_lineEndCandidate == cursorPosition();
    m_lineEndCandidate = -1;
    const int line = caretLine();
    m_top = std::clamp(m_top, 0, lineCount() - 1);
    if (line < m_top)
        m_top = line;
    else if (line >= m_top + visibleLines())
        m_top = line - visibleLines() + 1;
}

void LogBox::drawText(QPainter &painter) const
{
    const QRect rect = textRect();
    const int caret = caretLine();
    for (int line = m_top, y = rect.top(); line < lineCount() && y <= rect.bottom(); ++line, y += lineHeight()) {
        QTextLayout layout;
        layoutLine(layout, line);
        drawPiece(painter, layout, QPointF(rect.left(), y), lineStart(line), line == caret);
    }
}

void LogBox::moveByLines(int lines, bool select)
{
    const int line = caretLine();
    if (m_goalPosition != cursorPosition()) {
        QTextLayout layout;
        layoutLine(layout, line);
        m_goalX = layout.lineAt(0).cursorToX(cursorPosition() - lineStart(line));
    }
    const int target = std::clamp(line + lines, 0, lineCount() - 1);
    const qreal goal = m_goalX;
    moveCursor(positionInLine(target, goal), select);
    m_goalX = goal;
    m_goalPosition = cursorPosition();
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
        moveByLines(1, select);
    } else if (event == QKeySequence::MoveToPreviousLine || event == QKeySequence::SelectPreviousLine) {
        moveByLines(-1, select);
    } else if (event == QKeySequence::MoveToNextPage || event == QKeySequence::SelectNextPage) {
        moveByLines(visibleLines(), select);
    } else if (event == QKeySequence::MoveToPreviousPage || event == QKeySequence::SelectPreviousPage) {
        moveByLines(-visibleLines(), select);
    } else if (event == QKeySequence::MoveToStartOfLine || event == QKeySequence::SelectStartOfLine) {
        moveCursor(lineStart(caretLine()), select);
    } else if (event == QKeySequence::MoveToEndOfLine || event == QKeySequence::SelectEndOfLine) {
        const int line = caretLine();
        if (isWrapped(line))
            m_lineEndCandidate = lineEnd(line);
        moveCursor(lineEnd(line), select);
    } else if (event == QKeySequence::MoveToStartOfBlock || event == QKeySequence::SelectStartOfBlock) {
        moveCursor(cursor > 0 ? static_cast<int>(text.lastIndexOf(u'\n', cursor - 1)) + 1 : 0, select);
    } else if (event == QKeySequence::MoveToEndOfBlock || event == QKeySequence::SelectEndOfBlock) {
        const qsizetype end = text.indexOf(u'\n', cursor);
        moveCursor(end < 0 ? static_cast<int>(text.size()) : static_cast<int>(end), select);
    } else {
        EditBox::keyPressEvent(event);
        return;
    }
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
