// Editing works on the whole text; painting, hit-testing and scrolling work on
// a slice of it that starts at the first character in view and is just long
// enough to fill the box. Every edit is remembered for undo, within a bound
// on the number of edits and on the characters kept.

#include "textbox.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>

namespace quorran {

namespace {

constexpr int kHorizontalMargin = 2;
constexpr int kVerticalMargin = 1;
// Characters laid out beyond what the box shows; also the reach of a
// grapheme step, which never needs more.
constexpr int kSliceReserve = 32;
constexpr std::size_t kUndoSteps = 100;
constexpr qsizetype kUndoCharacters = qsizetype{32} * 1024 * 1024;

bool isWordCharacter(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c.isMark(); }

class TextBoxAccessible : public QAccessibleWidget {
public:
    explicit TextBoxAccessible(QWidget *widget) : QAccessibleWidget(widget, QAccessible::EditableText) {}
    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return static_cast<const TextBox *>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = true;
        state.focusable = true;
        return state;
    }
};

QAccessibleInterface *accessibleTextBox(const QString &className, QObject *object)
{
    if (className == QLatin1String("quorran::TextBox") && object != nullptr && object->isWidgetType())
        return new TextBoxAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

TextBox::TextBox(QWidget *parent) : QWidget(parent)
{
    static const bool accessibleInstalled = (QAccessible::installFactory(accessibleTextBox), true);
    Q_UNUSED(accessibleInstalled);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAttribute(Qt::WA_KeyCompression);
    setCursor(Qt::IBeamCursor);
    setBackgroundRole(QPalette::Base);
}

void TextBox::setText(const QString &text)
{
    m_text = text;
    m_cursor = m_anchor = static_cast<int>(m_text.size());
    m_scroll = 0;
    m_undo.clear();
    m_redo.clear();
    ensureCursorVisible();
    update();
}

void TextBox::setCursorPosition(int position) { moveCursor(position, false); }

QString TextBox::selectedText() const
{
    const int start = std::min(m_anchor, m_cursor);
    return m_text.mid(start, std::abs(m_cursor - m_anchor));
}

void TextBox::selectAll()
{
    m_anchor = 0;
    m_cursor = static_cast<int>(m_text.size());
    ensureCursorVisible();
    update();
}

void TextBox::undo() { restore(m_undo, m_redo); }

void TextBox::redo() { restore(m_redo, m_undo); }

// Goes back to the last state in `from`, keeping the current one in `to`.
void TextBox::restore(std::vector<Snapshot> &from, std::vector<Snapshot> &to)
{
    if (from.empty())
        return;
    to.push_back({m_text, m_cursor});
    m_text = from.back().text;
    m_cursor = m_anchor = from.back().cursor;
    from.pop_back();
    ensureCursorVisible();
    update();
}

void TextBox::cut()
{
    if (!hasSelectedText())
        return;
    copy();
    removeSelection();
}

void TextBox::copy() const
{
    if (hasSelectedText())
        QGuiApplication::clipboard()->setText(selectedText());
}

void TextBox::paste() { insert(QGuiApplication::clipboard()->text()); }

void TextBox::insert(const QString &text)
{
    if (text.isEmpty() && !hasSelectedText())
        return;
    replaceSelection(text);
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

void TextBox::initFrameOption(QStyleOptionFrame *option) const
{
    option->initFrom(this);
    option->rect = contentsRect();
    option->lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, option, this);
    option->midLineWidth = 0;
    option->state |= QStyle::State_Sunken;
    option->features = QStyleOptionFrame::None;
}

QRect TextBox::textRect() const
{
    QStyleOptionFrame option;
    initFrameOption(&option);
    return style()
        ->subElementRect(QStyle::SE_LineEditContents, &option, this)
        .adjusted(kHorizontalMargin, kVerticalMargin, -kHorizontalMargin, -kVerticalMargin);
}

// Enough characters from `from` to fill the box even if each is only two
// pixels wide, without splitting a surrogate pair.
int TextBox::sliceLength(int from) const
{
    const int size = static_cast<int>(m_text.size());
    int end = std::min(size, from + textRect().width() / 2 + kSliceReserve);
    if (end < size && end > from && m_text.at(end - 1).isHighSurrogate())
        ++end;
    return end - from;
}

void TextBox::layoutSlice(QTextLayout &layout, int from, int length) const
{
    layout.setText(m_text.mid(from, length));
    layout.setFont(font());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1e6);
    layout.endLayout();
}

int TextBox::positionAt(const QPoint &point) const
{
    const QRect rect = textRect();
    if (point.x() < rect.left())
        return m_scroll > 0 ? previousPosition(m_scroll) : 0;
    QTextLayout layout;
    const int length = sliceLength(m_scroll);
    layoutSlice(layout, m_scroll, length);
    const QTextLine line = layout.lineAt(0);
    if (point.x() > rect.right()) {
        const int last = line.xToCursor(rect.width());
        return std::min(m_scroll + last < static_cast<int>(m_text.size()) ? nextPosition(m_scroll + last)
                                                                          : m_scroll + last,
                        static_cast<int>(m_text.size()));
    }
    return m_scroll + line.xToCursor(point.x() - rect.left(), QTextLine::CursorBetweenCharacters);
}

QRect TextBox::cursorRectangle() const
{
    const QRect rect = textRect();
    QTextLayout layout;
    layoutSlice(layout, m_scroll, std::max(0, m_cursor - m_scroll));
    const QTextLine line = layout.lineAt(0);
    const int x = rect.left() + static_cast<int>(line.cursorToX(m_cursor - m_scroll));
    return {x, rect.top(), 1, rect.height()};
}

void TextBox::moveCursor(int position, bool select)
{
    m_cursor = std::clamp(position, 0, static_cast<int>(m_text.size()));
    if (!select)
        m_anchor = m_cursor;
    ensureCursorVisible();
    restartBlinking();
}

// Scrolls by whole characters so that the caret is in view; when it has to
// scroll forward it puts the caret near the right edge, as a line edit does.
void TextBox::ensureCursorVisible()
{
    const int size = static_cast<int>(m_text.size());
    m_scroll = std::clamp(m_scroll, 0, size);
    if (m_cursor < m_scroll) {
        m_scroll = m_cursor;
        return;
    }
    const int width = textRect().width() - 1;
    if (m_cursor - m_scroll <= sliceLength(m_scroll)) {
        QTextLayout layout;
        layoutSlice(layout, m_scroll, m_cursor - m_scroll);
        if (layout.lineAt(0).cursorToX(m_cursor - m_scroll) <= width)
            return;
    }
    const int back = std::min(m_cursor, textRect().width() / 2 + kSliceReserve);
    QTextLayout layout;
    layoutSlice(layout, m_cursor - back, back);
    const QTextLine line = layout.lineAt(0);
    const qreal end = line.cursorToX(back);
    int start = 0;
    while (start < back && end - line.cursorToX(start) > width)
        ++start;
    if (start < back && m_text.at(m_cursor - back + start).isLowSurrogate())
        ++start;
    m_scroll = m_cursor - back + start;
}

int TextBox::nextPosition(int position) const
{
    const int size = static_cast<int>(m_text.size());
    if (position >= size)
        return size;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, m_text.mid(position, kSliceReserve));
    const qsizetype step = finder.toNextBoundary();
    return position + (step > 0 ? static_cast<int>(step) : 1);
}

int TextBox::previousPosition(int position) const
{
    if (position <= 0)
        return 0;
    const int start = std::max(0, position - kSliceReserve);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, m_text.mid(start, position - start));
    finder.toEnd();
    const qsizetype boundary = finder.toPreviousBoundary();
    return boundary >= 0 ? start + static_cast<int>(boundary) : position - 1;
}

int TextBox::wordEnd(int position) const
{
    const int size = static_cast<int>(m_text.size());
    while (position < size && isWordCharacter(m_text.at(position)))
        ++position;
    while (position < size && !isWordCharacter(m_text.at(position)))
        ++position;
    return position;
}

int TextBox::wordStart(int position) const
{
    while (position > 0 && !isWordCharacter(m_text.at(position - 1)))
        --position;
    while (position > 0 && isWordCharacter(m_text.at(position - 1)))
        --position;
    return position;
}

void TextBox::remember()
{
    m_undo.push_back({m_text, m_cursor});
    m_redo.clear();
    qsizetype kept = 0;
    for (const Snapshot &snapshot : m_undo)
        kept += snapshot.text.size();
    while (!m_undo.empty() && (m_undo.size() > kUndoSteps || kept > kUndoCharacters)) {
        kept -= m_undo.front().text.size();
        m_undo.erase(m_undo.begin());
    }
}

void TextBox::replaceSelection(const QString &text)
{
    remember();
    const int start = std::min(m_anchor, m_cursor);
    m_text.replace(start, std::abs(m_cursor - m_anchor), text);
    m_cursor = m_anchor = start + static_cast<int>(text.size());
    ensureCursorVisible();
    restartBlinking();
}

void TextBox::removeSelection()
{
    if (hasSelectedText())
        replaceSelection(QString());
}

void TextBox::restartBlinking()
{
    m_caretShown = true;
    const int flashTime = QApplication::cursorFlashTime();
    if (hasFocus() && flashTime > 0)
        m_blink.start(flashTime / 2, this);
    else
        m_blink.stop();
    update();
}

void TextBox::paintEvent(QPaintEvent * /*event*/)
{
    QPainter painter(this);
    QStyleOptionFrame option;
    initFrameOption(&option);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);

    const QRect rect = textRect();
    painter.setClipRect(rect);
    const int length = sliceLength(m_scroll);
    QTextLayout layout;
    layoutSlice(layout, m_scroll, length);
    const QTextLine line = layout.lineAt(0);
    const QPointF origin(rect.left(), rect.top() + (rect.height() - line.height()) / 2);

    const QPalette::ColorGroup group = !isEnabled() ? QPalette::Disabled
                                       : hasFocus() ? QPalette::Active
                                                    : QPalette::Inactive;
    QList<QTextLayout::FormatRange> selections;
    const int selectionStart = std::max(std::min(m_anchor, m_cursor) - m_scroll, 0);
    const int selectionEnd = std::min(std::max(m_anchor, m_cursor) - m_scroll, length);
    if (selectionEnd > selectionStart) {
        QTextLayout::FormatRange range;
        range.start = selectionStart;
        range.length = selectionEnd - selectionStart;
        range.format.setBackground(palette().brush(group, QPalette::Highlight));
        range.format.setForeground(palette().brush(group, QPalette::HighlightedText));
        selections.append(range);
    }
    painter.setPen(palette().color(group, QPalette::Text));
    layout.draw(&painter, origin, selections);
    if (hasFocus() && m_caretShown && m_cursor >= m_scroll && m_cursor - m_scroll <= length)
        layout.drawCursor(&painter, origin, m_cursor - m_scroll, 1);
}

void TextBox::keyPressEvent(QKeyEvent *event)
{
    const int size = static_cast<int>(m_text.size());
    const int selectionStart = std::min(m_anchor, m_cursor);
    const int selectionEnd = std::max(m_anchor, m_cursor);
    if (event == QKeySequence::Undo) {
        undo();
    } else if (event == QKeySequence::Redo) {
        redo();
    } else if (event == QKeySequence::SelectAll) {
        selectAll();
    } else if (event == QKeySequence::Copy) {
        copy();
    } else if (event == QKeySequence::Cut) {
        cut();
    } else if (event == QKeySequence::Paste) {
        paste();
    } else if (event == QKeySequence::MoveToNextChar) {
        moveCursor(hasSelectedText() ? selectionEnd : nextPosition(m_cursor), false);
    } else if (event == QKeySequence::MoveToPreviousChar) {
        moveCursor(hasSelectedText() ? selectionStart : previousPosition(m_cursor), false);
    } else if (event == QKeySequence::SelectNextChar) {
        moveCursor(nextPosition(m_cursor), true);
    } else if (event == QKeySequence::SelectPreviousChar) {
        moveCursor(previousPosition(m_cursor), true);
    } else if (event == QKeySequence::MoveToNextWord) {
        moveCursor(wordEnd(m_cursor), false);
    } else if (event == QKeySequence::MoveToPreviousWord) {
        moveCursor(wordStart(m_cursor), false);
    } else if (event == QKeySequence::SelectNextWord) {
        moveCursor(wordEnd(m_cursor), true);
    } else if (event == QKeySequence::SelectPreviousWord) {
        moveCursor(wordStart(m_cursor), true);
    } else if (event == QKeySequence::MoveToStartOfLine || event == QKeySequence::MoveToStartOfBlock ||
               event == QKeySequence::MoveToStartOfDocument) {
        moveCursor(0, false);
    } else if (event == QKeySequence::MoveToEndOfLine || event == QKeySequence::MoveToEndOfBlock ||
               event == QKeySequence::MoveToEndOfDocument) {
        moveCursor(size, false);
    } else if (event == QKeySequence::SelectStartOfLine || event == QKeySequence::SelectStartOfBlock ||
               event == QKeySequence::SelectStartOfDocument) {
        moveCursor(0, true);
    } else if (event == QKeySequence::SelectEndOfLine || event == QKeySequence::SelectEndOfBlock ||
               event == QKeySequence::SelectEndOfDocument) {
        moveCursor(size, true);
    } else if (event == QKeySequence::DeleteEndOfWord) {
        if (!hasSelectedText())
            moveCursor(wordEnd(m_cursor), true);
        removeSelection();
    } else if (event == QKeySequence::DeleteStartOfWord) {
        if (!hasSelectedText())
            moveCursor(wordStart(m_cursor), true);
        removeSelection();
    } else if (event == QKeySequence::Delete) {
        if (!hasSelectedText())
            moveCursor(nextPosition(m_cursor), true);
        removeSelection();
    } else if (event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier)) {
        if (!hasSelectedText()) {
            // Back over one character; a surrogate pair is one character.
            int previous = m_cursor - 1;
            if (previous > 0 && m_text.at(previous).isLowSurrogate() && m_text.at(previous - 1).isHighSurrogate())
                --previous;
            moveCursor(std::max(previous, 0), true);
        }
        removeSelection();
    } else {
        const QString typed = event->text();
        const bool printable = !typed.isEmpty() && typed.at(0).category() != QChar::Other_Control;
        if (!printable || (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))) {
            // Enter, Esc and the like belong to someone else.
            event->ignore();
            return;
        }
        insert(typed);
    }
    event->accept();
}

void TextBox::mousePressEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        m_selecting = true;
        moveCursor(positionAt(point), event->modifiers() & Qt::ShiftModifier);
    } else if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        moveCursor(positionAt(point), false);
        insert(QGuiApplication::clipboard()->text(QClipboard::Selection));
    }
    event->accept();
}

void TextBox::mouseMoveEvent(QMouseEvent *event)
{
    if (m_selecting && (event->buttons() & Qt::LeftButton))
        moveCursor(positionAt(event->position().toPoint()), true);
}

void TextBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_selecting = false;
    if (hasSelectedText() && QGuiApplication::clipboard()->supportsSelection())
        QGuiApplication::clipboard()->setText(selectedText(), QClipboard::Selection);
    if (rect().contains(event->position().toPoint()))
        emit clicked();
}

void TextBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int position = positionAt(event->position().toPoint());
    int start = position;
    int end = position;
    while (start > 0 && isWordCharacter(m_text.at(start - 1)))
        --start;
    while (end < static_cast<int>(m_text.size()) && isWordCharacter(m_text.at(end)))
        ++end;
    m_anchor = start;
    moveCursor(end, true);
}

void TextBox::focusInEvent(QFocusEvent *event)
{
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason ||
        event->reason() == Qt::ShortcutFocusReason)
        selectAll();
    restartBlinking();
    QWidget::focusInEvent(event);
}

void TextBox::focusOutEvent(QFocusEvent *event)
{
    m_blink.stop();
    m_caretShown = false;
    update();
    QWidget::focusOutEvent(event);
}

void TextBox::inputMethodEvent(QInputMethodEvent *event)
{
    if (event->replacementLength() > 0) {
        const int start = std::clamp(m_cursor + event->replacementStart(), 0, static_cast<int>(m_text.size()));
        m_anchor = start;
        m_cursor = std::min(start + event->replacementLength(), static_cast<int>(m_text.size()));
    }
    if (!event->commitString().isEmpty() || event->replacementLength() > 0)
        replaceSelection(event->commitString());
    event->accept();
}

QVariant TextBox::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const int start = std::max(0, m_cursor - 256);
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImCursorRectangle:
        return cursorRectangle();
    case Qt::ImFont:
        return font();
    case Qt::ImCursorPosition:
        return m_cursor - start;
    case Qt::ImAnchorPosition:
        return std::clamp(m_anchor - start, 0, 512);
    case Qt::ImSurroundingText:
        return m_text.mid(start, 512);
    case Qt::ImCurrentSelection:
        return selectedText();
    case Qt::ImHints:
        return static_cast<int>(Qt::ImhNone);
    default:
        return QWidget::inputMethodQuery(query);
    }
}

QMenu *TextBox::createContextMenu()
{
    auto *menu = new QMenu(this);
    const auto add = [menu](const QString &text, const QKeySequence &keys, bool enabled, auto slot) {
        QAction *action = menu->addAction(text, keys);
        action->setEnabled(enabled);
        QObject::connect(action, &QAction::triggered, menu, slot);
    };
    const bool selected = hasSelectedText();
    add(tr("&Undo"), QKeySequence::Undo, !m_undo.empty(), [this] { undo(); });
    add(tr("&Redo"), QKeySequence::Redo, !m_redo.empty(), [this] { redo(); });
    menu->addSeparator();
    add(tr("Cu&t"), QKeySequence::Cut, selected, [this] { cut(); });
    add(tr("&Copy"), QKeySequence::Copy, selected, [this] { copy(); });
    add(tr("&Paste"), QKeySequence::Paste, !QGuiApplication::clipboard()->text().isEmpty(), [this] { paste(); });
    add(tr("Delete"), QKeySequence(), selected, [this] { removeSelection(); });
    menu->addSeparator();
    add(tr("Select All"), QKeySequence::SelectAll, !m_text.isEmpty(), [this] { selectAll(); });
    return menu;
}

void TextBox::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TextBox::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_blink.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    m_caretShown = !m_caretShown;
    update(cursorRectangle().adjusted(-1, 0, 1, 0));
}

void TextBox::resizeEvent(QResizeEvent *event)
{
    ensureCursorVisible();
    QWidget::resizeEvent(event);
}

} // namespace quorran
