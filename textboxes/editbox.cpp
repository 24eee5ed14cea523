// Every change of the text goes through replaceSelection (the user's edits,
// remembered for undo within a bound on the number of edits and on the
// characters kept), resetText or appendText, and each tells the box's layout
// which characters changed. Keys that move by lines move over the whole text
// here; the multi-line box takes those keys before they get here.

#include "editbox.h"

#include "editboxaccessible.h"

#include <QAccessible>
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
#include <limits>
#include <utility>

namespace quorran {

namespace {

// The reach of a grapheme step, which never needs more.
constexpr int kGraphemeReach = 32;
constexpr std::size_t kUndoSteps = 100;
constexpr qsizetype kUndoCharacters = qsizetype{32} * 1024 * 1024;
// Positions are ints; an edit that would make the text longer is refused.
constexpr qsizetype kMaxLength = std::numeric_limits<int>::max();

// Whether a text of `size` characters less `removed` plus `added` can be held.
bool fits(qsizetype size, qsizetype removed, qsizetype added)
{
    if (size - removed + added <= kMaxLength)
        return true;
    QApplication::beep();
    return false;
}

bool isWordCharacter(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c.isMark(); }

} // namespace

EditBox::EditBox(QWidget *parent) : QWidget(parent)
{
    static const bool accessibleInstalled = (EditBoxAccessible::install(), true);
    Q_UNUSED(accessibleInstalled);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAttribute(Qt::WA_KeyCompression);
    setCursor(Qt::IBeamCursor);
    setBackgroundRole(QPalette::Base);
}

void EditBox::resetText(const QString &text, int cursor)
{
    if (!fits(0, 0, text.size()))
        return;
    const int removed = static_cast<int>(m_text.size());
    const QString old = std::exchange(m_text, text);
    textSet(0, removed, cursor);
    EditBoxAccessible::announceReplacement(this, old);
    EditBoxAccessible::announceCaret(this);
}

void EditBox::appendText(const QString &text, int cursor)
{
    if (!fits(m_text.size(), 0, text.size()))
        return;
    const int start = static_cast<int>(m_text.size());
    m_text += text;
    textSet(start, 0, cursor);
    EditBoxAccessible::announceEdit(this, start, QString(), static_cast<int>(text.size()));
    EditBoxAccessible::announceCaret(this);
}

void EditBox::textSet(int start, int removed, int cursor)
{
    m_cursor = m_anchor = std::clamp(cursor, 0, static_cast<int>(m_text.size()));
    m_undo.clear();
    m_redo.clear();
    textChanged(start, removed, static_cast<int>(m_text.size()) - start);
    ensureCursorVisible();
    update();
}

void EditBox::setCursorPosition(int position) { moveCursor(position, false); }

QString EditBox::selectedText() const
{
    const int start = std::min(m_anchor, m_cursor);
    return m_text.mid(start, std::abs(m_cursor - m_anchor));
}

void EditBox::selectAll()
{
    m_anchor = 0;
    m_cursor = static_cast<int>(m_text.size());
    ensureCursorVisible();
    update();
    EditBoxAccessible::announceCaret(this);
}

void EditBox::undo() { restore(m_undo, m_redo); }

void EditBox::redo() { restore(m_redo, m_undo); }

// Goes back to the last state in `from`, keeping the current one in `to`.
void EditBox::restore(std::vector<Snapshot> &from, std::vector<Snapshot> &to)
{
    if (from.empty())
        return;
    to.push_back({m_text, m_cursor});
    const int removed = static_cast<int>(m_text.size());
    m_text = from.back().text;
    m_cursor = m_anchor = from.back().cursor;
    from.pop_back();
    textChanged(0, removed, static_cast<int>(m_text.size()));
    ensureCursorVisible();
    update();
    EditBoxAccessible::announceReplacement(this, to.back().text);
    EditBoxAccessible::announceCaret(this);
    emit textEdited();
}

void EditBox::cut()
{
    if (!hasSelectedText())
        return;
    copy();
    removeSelection();
}

void EditBox::copy() const
{
    if (hasSelectedText())
        QGuiApplication::clipboard()->setText(selectedText());
}

void EditBox::paste() { insert(QGuiApplication::clipboard()->text()); }

void EditBox::insert(const QString &text)
{
    if (text.isEmpty() && !hasSelectedText())
        return;
    replaceSelection(prepared(text));
}

void EditBox::initFrameOption(QStyleOptionFrame *option) const
{
    option->initFrom(this);
    option->rect = contentsRect();
    option->lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, option, this);
    option->midLineWidth = 0;
    option->state |= QStyle::State_Sunken;
    option->features = QStyleOptionFrame::None;
}

QRect EditBox::textRect() const
{
    QStyleOptionFrame option;
    initFrameOption(&option);
    return style()
        ->subElementRect(QStyle::SE_LineEditContents, &option, this)
        .adjusted(kHorizontalMargin, kVerticalMargin, -kHorizontalMargin, -kVerticalMargin);
}

QPalette::ColorGroup EditBox::colorGroup() const
{
    if (!isEnabled())
        return QPalette::Disabled;
    return hasFocus() ? QPalette::Active : QPalette::Inactive;
}

void EditBox::layoutPiece(QTextLayout &layout, int from, int length, Qt::LayoutDirection direction) const
{
    QString piece = m_text.mid(from, length);
    // Control characters show as blanks, as in a line edit; a line separator
    // would also end the layout's only line early.
    for (QChar &c : piece) {
        if ((c.unicode() < 0x20 && c != QLatin1Char('\t')) || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator || c == QChar::ObjectReplacementCharacter)
            c = QLatin1Char(' ');
    }
    layout.setText(piece);
    layout.setFont(font());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(kTabStop);
    option.setTextDirection(direction);
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1e6);
    layout.endLayout();
}

void EditBox::drawPiece(QPainter &painter, const QTextLayout &layout, const QPointF &origin, int from,
                        bool caretHere) const
{
    const int length = static_cast<int>(layout.text().size());
    const QPalette::ColorGroup group = colorGroup();
    QList<QTextLayout::FormatRange> selections;
    const int selectionStart = std::max(std::min(m_anchor, m_cursor) - from, 0);
    const int selectionEnd = std::min(std::max(m_anchor, m_cursor) - from, length);
    if (selectionEnd > selectionStart) {
        QTextLayout::FormatRange range;
        range.start = selectionStart;
        range.length = selectionEnd - selectionStart;
        range.format.setBackground(palette().brush(group, QPalette::Highlight));
        range.format.setForeground(palette().brush(group, QPalette::HighlightedText));
        selections.append(range);
    }
    layout.draw(&painter, origin, selections);
    if (caretHere && hasFocus() && m_caretShown)
        layout.drawCursor(&painter, origin, m_cursor - from, 1);
}

void EditBox::moveCursor(int position, bool select)
{
    m_cursor = std::clamp(position, 0, static_cast<int>(m_text.size()));
    if (!select)
        m_anchor = m_cursor;
    ensureCursorVisible();
    restartBlinking();
    EditBoxAccessible::announceCaret(this);
}

int EditBox::nextPosition(int position) const
{
    const int size = static_cast<int>(m_text.size());
    if (position >= size)
        return size;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, m_text.mid(position, kGraphemeReach));
    const qsizetype step = finder.toNextBoundary();
    return position + (step > 0 ? static_cast<int>(step) : 1);
}

int EditBox::previousPosition(int position) const
{
    if (position <= 0)
        return 0;
    const int start = std::max(0, position - kGraphemeReach);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, m_text.mid(start, position - start));
    finder.toEnd();
    const qsizetype boundary = finder.toPreviousBoundary();
    return boundary >= 0 ? start + static_cast<int>(boundary) : position - 1;
}

// Right and Left step forward and back through the text, the other way
// round in a right-to-left line, as a line edit steps by default.
int EditBox::rightPosition(int position) const
{
    return textDirection() == Qt::RightToLeft ? previousPosition(position) : nextPosition(position);
}

int EditBox::leftPosition(int position) const
{
    return textDirection() == Qt::RightToLeft ? nextPosition(position) : previousPosition(position);
}

int EditBox::wordEnd(int position) const
{
    const int size = static_cast<int>(m_text.size());
    while (position < size && isWordCharacter(m_text.at(position)))
        ++position;
    while (position < size && !isWordCharacter(m_text.at(position)))
        ++position;
    return position;
}

int EditBox::wordStart(int position) const
{
    while (position > 0 && !isWordCharacter(m_text.at(position - 1)))
        --position;
    while (position > 0 && isWordCharacter(m_text.at(position - 1)))
        --position;
    return position;
}

void EditBox::remember()
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

void EditBox::replaceSelection(const QString &text)
{
    const int start = std::min(m_anchor, m_cursor);
    const int removed = std::abs(m_cursor - m_anchor);
    if (!fits(m_text.size(), removed, text.size()))
        return;
    remember();
    const QString removedText = QAccessible::isActive() ? m_text.mid(start, removed) : QString();
    m_text.replace(start, removed, text);
    m_cursor = m_anchor = start + static_cast<int>(text.size());
    textChanged(start, removed, static_cast<int>(text.size()));
    ensureCursorVisible();
    restartBlinking();
    EditBoxAccessible::announceEdit(this, start, removedText, static_cast<int>(text.size()));
    EditBoxAccessible::announceCaret(this);
    emit textEdited();
}

void EditBox::removeSelection()
{
    if (hasSelectedText())
        replaceSelection(QString());
}

QRect EditBox::characterRectangle(int position)
{
    const QRect text = textRect();
    const int size = static_cast<int>(m_text.size());
    if (position < 0 || position >= size || position < positionAt(text.topLeft()) ||
        position > positionAt(text.bottomRight()))
        return {};
    // The caret's place before and after the character, found with the
    // caret standing there for a moment.
    const int cursor = std::exchange(m_cursor, position);
    const QRect before = cursorRectangle();
    m_cursor = nextPosition(position);
    const QRect after = cursorRectangle();
    m_cursor = cursor;
    const int width = after.top() == before.top() && after.left() > before.left()
                          ? after.left() - before.left()
                          : QFontMetrics(font()).averageCharWidth();
    return {before.left(), before.top(), width, before.height()};
}

void EditBox::restartBlinking()
{
    m_caretShown = true;
    const int flashTime = QApplication::cursorFlashTime();
    if (hasFocus() && flashTime > 0)
        m_blink.start(flashTime / 2, this);
    else
        m_blink.stop();
    update();
}

void EditBox::paintEvent(QPaintEvent * /*event*/)
{
    QPainter painter(this);
    QStyleOptionFrame option;
    initFrameOption(&option);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
    painter.setClipRect(textRect());
    painter.setPen(palette().color(colorGroup(), QPalette::Text));
    drawText(painter);
}

void EditBox::keyPressEvent(QKeyEvent *event)
{
    // Backspace and Delete select what they remove; that selection is not news.
    const EditBoxAccessible::KeyHold hold(this);
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
        moveCursor(hasSelectedText() ? selectionEnd : rightPosition(m_cursor), false);
    } else if (event == QKeySequence::MoveToPreviousChar) {
        moveCursor(hasSelectedText() ? selectionStart : leftPosition(m_cursor), false);
    } else if (event == QKeySequence::SelectNextChar) {
        moveCursor(rightPosition(m_cursor), true);
    } else if (event == QKeySequence::SelectPreviousChar) {
        moveCursor(leftPosition(m_cursor), true);
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

void EditBox::mousePressEvent(QMouseEvent *event)
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

void EditBox::mouseMoveEvent(QMouseEvent *event)
{
    if (m_selecting && (event->buttons() & Qt::LeftButton))
        moveCursor(positionAt(event->position().toPoint()), true);
}

void EditBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_selecting = false;
    if (hasSelectedText() && QGuiApplication::clipboard()->supportsSelection())
        QGuiApplication::clipboard()->setText(selectedText(), QClipboard::Selection);
    if (rect().contains(event->position().toPoint()))
        emit clicked();
}

void EditBox::mouseDoubleClickEvent(QMouseEvent *event)
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

void EditBox::focusInEvent(QFocusEvent *event)
{
    if ((event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason ||
         event->reason() == Qt::ShortcutFocusReason) &&
        selectsAllOnTab())
        selectAll();
    restartBlinking();
    QWidget::focusInEvent(event);
}

void EditBox::focusOutEvent(QFocusEvent *event)
{
    m_blink.stop();
    m_caretShown = false;
    update();
    QWidget::focusOutEvent(event);
}

void EditBox::inputMethodEvent(QInputMethodEvent *event)
{
    if (event->replacementLength() > 0) {
        const int start = std::clamp(m_cursor + event->replacementStart(), 0, static_cast<int>(m_text.size()));
        m_anchor = start;
        m_cursor = std::min(start + event->replacementLength(), static_cast<int>(m_text.size()));
    }
    if (!event->commitString().isEmpty() || event->replacementLength() > 0)
        replaceSelection(prepared(event->commitString()));
    event->accept();
}

QVariant EditBox::inputMethodQuery(Qt::InputMethodQuery query) const
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

QMenu *EditBox::createContextMenu()
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

void EditBox::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void EditBox::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_blink.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    m_caretShown = !m_caretShown;
    update(cursorRectangle().adjusted(-1, 0, 1, 0));
}

void EditBox::resizeEvent(QResizeEvent *event)
{
    ensureCursorVisible();
    QWidget::resizeEvent(event);
}

} // namespace quorran
