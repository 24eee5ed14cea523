// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// A text up to kWholeLineLimit characters is laid out whole once per change
// and scrolled by pixels as a line edit scrolls: the caret is kept in view,
// and a text that fits, or whose end has come inside the box, is shown
// aligned. A longer text is left to right only and scrolled by whole
// characters: painting, hit-testing and the caret lay out a slice that starts
// at the first character in view, so that tabs fall on the same stops in all
// three.

#include "textbox.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextLayout>

#include <algorithm>

namespace quorran {

namespace {

// Up to this length a key costs about 20 ms at worst (mixed Arabic, digits
// and Latin letters), no more than in a line edit; beyond it only the slice
// in view is laid out.
constexpr int kWholeLineLimit = 32 * 1024;
// Characters laid out beyond what the box shows.
constexpr int kSliceReserve = 32;

} // namespace

TextBox::TextBox(QWidget *parent) : EditBox(TextModel::Lines::Single, parent) {}

TextBox::~TextBox() = default;

void TextBox::setText(const QString &text)
{
    m_scroll = 0;
    m_offset = 0;
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

bool TextBox::laidOutWhole() const { return content().size() <= kWholeLineLimit; }

Qt::LayoutDirection TextBox::textDirection() const
{
    return laidOutWhole() && content().isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
}

const QTextLayout &TextBox::wholeLayout() const
{
    if (!m_layout) {
        m_layout = std::make_unique<QTextLayout>();
        layoutPiece(*m_layout, 0, static_cast<int>(content().size()), textDirection());
    }
    return *m_layout;
}

void TextBox::textChanged(int /*start*/, QStringView /*removed*/, int /*added*/) { m_layout.reset(); }

// The whole line's layout holds the composition.
void TextBox::compositionChanged() { m_layout.reset(); }

void TextBox::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_layout.reset();
        ensureCursorVisible();
    }
    EditBox::changeEvent(event);
}

// Enough characters from `from` to fill the box even if each is only two
// pixels wide, without splitting a surrogate pair.
int TextBox::sliceLength(int from) const
{
    const qsizetype size = content().size();
    qsizetype end = std::min(size, qsizetype{from} + textRect().width() / 2 + kSliceReserve);
    if (end < size && end > from && content().at(end - 1).isHighSurrogate())
        ++end;
    return static_cast<int>(end - from);
}

// The first character from which the text up to `end` takes at most `width`
// pixels, looked for among as many characters as a slice holds.
int TextBox::fittingStart(int end, int width) const
{
    const auto fits = [this, end, width](int start) {
        QTextLayout layout;
        layoutPiece(layout, start, end - start);
        return layout.lineAt(0).cursorToX(end - start) <= width;
    };
    int low = std::max(0, end - (textRect().width() / 2 + kSliceReserve));
    int high = end;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (fits(middle))
            high = middle;
        else
            low = middle + 1;
    }
    if (low < end && content().at(low).isLowSurrogate())
        ++low;
    return low;
}

int TextBox::positionAt(const QPoint &point) const
{
    const QRect rect = textRect();
    if (laidOutWhole())
        return wholeLayout().lineAt(0).xToCursor(point.x() - rect.left() + m_offset,
                                                 QTextLine::CursorBetweenCharacters);
    if (point.x() < rect.left())
        return m_scroll > 0 ? previousPosition(m_scroll) : 0;
    QTextLayout layout;
    layoutPiece(layout, m_scroll, sliceLength(m_scroll));
    const QTextLine line = layout.lineAt(0);
    const int size = static_cast<int>(content().size());
    if (point.x() > rect.right()) {
        const int last = m_scroll + line.xToCursor(rect.width());
        return last < size ? nextPosition(last) : size;
    }
    return m_scroll + line.xToCursor(point.x() - rect.left(), QTextLine::CursorBetweenCharacters);
}

QRect TextBox::cursorRectangle() const { return rectangleAt(cursorPosition(), compositionCursor()); }

QRect TextBox::positionRectangle(int position) const
{
    return rectangleAt(position, position > cursorPosition() ? compositionLength() : 0);
}

// Where a caret at `position` is drawn, `composed` characters of a
// composition shown before it.
QRect TextBox::rectangleAt(int position, int composed) const
{
    const QRect rect = textRect();
    int x = 0;
    if (laidOutWhole()) {
        x = qRound(wholeLayout().lineAt(0).cursorToX(position + composed)) - m_offset;
    } else {
        QTextLayout layout;
        const int length = std::max(0, position - m_scroll);
        layoutPiece(layout, m_scroll, length);
        x = qRound(layout.lineAt(0).cursorToX(length + composed));
    }
    return {rect.left() + x, rect.top(), 1, rect.height()};
}

void TextBox::ensureCursorVisible()
{
    if (laidOutWhole())
        scrollWhole();
    else
        scrollSlice();
}

void TextBox::scrollWhole()
{
    const QTextLine line = wholeLayout().lineAt(0);
    const int width = textRect().width();
    const int used = qRound(line.naturalTextWidth()) + 1;
    // With the input method's composition, whose own caret must show too.
    const int caret = qRound(line.cursorToX(cursorPosition() + compositionCursor()));
    if (used <= width)
        m_offset = textDirection() == Qt::RightToLeft ? used - width + 1 : 0;
    else if (caret - m_offset >= width)
        m_offset = caret - width + 1;
    else if (caret - m_offset < 0)
        m_offset = caret;
    else if (used - m_offset < width)
        m_offset = used - width + 1;
    else
        m_offset = std::max(0, m_offset);
}

void TextBox::scrollSlice()
{
    const int size = static_cast<int>(content().size());
    const int cursor = cursorPosition();
    const int width = textRect().width() - 1;
    const auto advance = [this](int from, int to) {
        QTextLayout layout;
        layoutPiece(layout, from, to - from);
        return layout.lineAt(0).cursorToX(to - from);
    };
    m_scroll = std::clamp(m_scroll, 0, size);
    if (cursor < m_scroll)
        m_scroll = cursor;
    else if (cursor - m_scroll > sliceLength(m_scroll) || advance(m_scroll, cursor) > width)
        m_scroll = fittingStart(cursor, width);
    // Once the end of the text is in the box, as much text as fits is shown.
    if (m_scroll > 0 && size - m_scroll <= sliceLength(m_scroll) && advance(m_scroll, size) < width)
        m_scroll = std::min(m_scroll, fittingStart(size, width));
}

void TextBox::drawText(QPainter &painter) const
{
    const QRect rect = textRect();
    if (laidOutWhole()) {
        const QTextLayout &layout = wholeLayout();
        const QPointF origin(rect.left() - m_offset, rect.top() + (rect.height() - layout.lineAt(0).height()) / 2);
        drawPiece(painter, layout, origin, 0, true);
        return;
    }
    const int length = sliceLength(m_scroll);
    QTextLayout layout;
    layoutPiece(layout, m_scroll, length);
    const QPointF origin(rect.left(), rect.top() + (rect.height() - layout.lineAt(0).height()) / 2);
    const int caret = cursorPosition() - m_scroll;
    drawPiece(painter, layout, origin, m_scroll, caret >= 0 && caret <= length);
}

} // namespace quorran
