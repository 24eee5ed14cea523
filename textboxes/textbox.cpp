// Painting, hit-testing and scrolling work on a slice of the text that starts
// at the first character in view and is just long enough to fill the box.

#include "textbox.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextLayout>

#include <algorithm>

namespace quorran {

namespace {

// Characters laid out beyond what the box shows.
constexpr int kSliceReserve = 32;

} // namespace

TextBox::TextBox(QWidget *parent) : EditBox(parent) {}

void TextBox::setText(const QString &text)
{
    m_scroll = 0;
    resetText(text, static_cast<int>(text.size()));
}

QSize TextBox::sizeHint() const
{
    const QFontMetrics metrics(font());
    QStyleOptionFrame option;
    initFrameOption(&option);
    const QSize text(metrics.horizontalAdvance(QLatin1Char('x')) * 17 + 2 * kHorizontalMargin,
                     metrics.height() + 2 * kVerticalMargin);
    return style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, this);
}

// Enough characters from `from` to fill the box even if each is only two
// pixels wide, without splitting a surrogate pair.
int TextBox::sliceLength(int from) const
{
    const int size = static_cast<int>(content().size());
    int end = std::min(size, from + textRect().width() / 2 + kSliceReserve);
    if (end < size && end > from && content().at(end - 1).isHighSurrogate())
        ++end;
    return end - from;
}

int TextBox::positionAt(const QPoint &point) const
{
    const QRect rect = textRect();
    if (point.x() < rect.left())
        return m_scroll > 0 ? previousPosition(m_scroll) : 0;
    QTextLayout layout;
    const int length = sliceLength(m_scroll);
    layoutPiece(layout, m_scroll, length);
    const QTextLine line = layout.lineAt(0);
    if (point.x() > rect.right()) {
        const int last = line.xToCursor(rect.width());
        return std::min(m_scroll + last < static_cast<int>(content().size()) ? nextPosition(m_scroll + last)
                                                                             : m_scroll + last,
                        static_cast<int>(content().size()));
    }
    return m_scroll + line.xToCursor(point.x() - rect.left(), QTextLine::CursorBetweenCharacters);
}

QRect TextBox::cursorRectangle() const
{
    const QRect rect = textRect();
    QTextLayout layout;
    layoutPiece(layout, m_scroll, std::max(0, cursorPosition() - m_scroll));
    const QTextLine line = layout.lineAt(0);
    const int x = rect.left() + static_cast<int>(line.cursorToX(cursorPosition() - m_scroll));
    return {x, rect.top(), 1, rect.height()};
}

// Scrolls by whole characters so that the caret is in view; when it has to
// scroll forward it puts the caret near the right edge, as a line edit does.
void TextBox::ensureCursorVisible()
{
    const int size = static_cast<int>(content().size());
    m_scroll = std::clamp(m_scroll, 0, size);
    if (cursorPosition() < m_scroll) {
        m_scroll = cursorPosition();
        return;
    }
    const int width = textRect().width() - 1;
    if (cursorPosition() - m_scroll <= sliceLength(m_scroll)) {
        QTextLayout layout;
        layoutPiece(layout, m_scroll, cursorPosition() - m_scroll);
        if (layout.lineAt(0).cursorToX(cursorPosition() - m_scroll) <= width)
            return;
    }
    const int back = std::min(cursorPosition(), textRect().width() / 2 + kSliceReserve);
    QTextLayout layout;
    layoutPiece(layout, cursorPosition() - back, back);
    const QTextLine line = layout.lineAt(0);
    const qreal end = line.cursorToX(back);
    int start = 0;
    while (start < back && end - line.cursorToX(start) > width)
        ++start;
    if (start < back && content().at(cursorPosition() - back + start).isLowSurrogate())
        ++start;
    m_scroll = cursorPosition() - back + start;
}

void TextBox::drawText(QPainter &painter) const
{
    const QRect rect = textRect();
    const int length = sliceLength(m_scroll);
    QTextLayout layout;
    layoutPiece(layout, m_scroll, length);
    const QPointF origin(rect.left(), rect.top() + (rect.height() - layout.lineAt(0).height()) / 2);
    const int caret = cursorPosition() - m_scroll;
    drawPiece(painter, layout, origin, m_scroll, caret >= 0 && caret <= length);
}

} // namespace quorran
