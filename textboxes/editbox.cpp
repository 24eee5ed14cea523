// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// The box turns keys, clicks, drags and input method events into calls on its
// model, and every change of the model, which ends each in one notice, into
// layout, scrolling, a repaint and the caret blinking anew. Keys that move by
// lines move over the whole text here; the multi-line box takes those keys
// before they get here. A selection made by keys or mouse also becomes the
// X11 primary selection.

#include "editbox.h"

#include "editboxaccessible.h"

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextLayout>

#include <algorithm>
#include <optional>
#include <utility>

namespace quorran {

EditBox::EditBox(TextModel::Lines lines, QWidget *parent) : QWidget(parent), m_model(lines)
{
    static const bool accessibleInstalled = (EditBoxAccessible::install(), true);
    Q_UNUSED(accessibleInstalled);
    connect(&m_model, &TextModel::changed, this, &EditBox::modelChanged);
    connect(&m_model, &TextModel::refused, this, [] { QApplication::beep(); });
    // Assistive tools hear of a change once the box has laid it out.
    new TextAnnouncer(this);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAttribute(Qt::WA_KeyCompression);
    setCursor(Qt::IBeamCursor);
    setBackgroundRole(QPalette::Base);
    setAcceptDrops(true);
}

void EditBox::setCursorPosition(int position) { moveCursor(position, false); }

void EditBox::setSelection(int anchor, int cursor) { m_model.select(anchor, cursor); }

void EditBox::selectAll()
{
    m_model.selectAll();
    copyToSelectionClipboard();
}

void EditBox::undo() { m_model.undo(); }

void EditBox::redo() { m_model.redo(); }

// Every change ends here: the layout learns which characters changed, and
// once the change is settled the caret is brought into view and blinks anew.
void EditBox::modelChanged(const TextChange &change)
{
    if (change.changesText())
        textChanged(change.start, change.removed, change.added);
    if (!change.settled)
        return;
    caretPlaced();
    ensureCursorVisible();
    restartBlinking();
    updateMicroFocus();
    if (change.edited)
        emit textEdited();
}

void EditBox::cut()
{
    if (!hasSelectedText())
        return;
    copy();
    m_model.removeSelection();
}

void EditBox::copy() const
{
    if (hasSelectedText())
        QGuiApplication::clipboard()->setText(selectedText());
}

void EditBox::copyToSelectionClipboard() const
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (hasSelectedText() && clipboard->supportsSelection())
        clipboard->setText(selectedText(), QClipboard::Selection);
}

// An empty clipboard leaves a selection in a multi-line box, as in a plain
// text edit, and replaces it in a single-line one, as in a line edit.
void EditBox::paste() { m_model.paste(QGuiApplication::clipboard()->text()); }

void EditBox::insert(const QString &text) { m_model.insert(text); }

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

void EditBox::layoutPiece(QTextLayout &layout, int from, int length, Qt::LayoutDirection direction, qreal wrapWidth,
                          int rowHeight) const
{
    QString piece = content().mid(from, length);
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
    option.setWrapMode(wrapWidth > 0 ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    option.setTabStopDistance(kTabStop);
    option.setTextDirection(direction);
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    // Blanks where a row wraps stay out of its width, as in a plain text
    // edit; a line that does not wrap counts them, for a field scrolls to
    // show them.
    if (wrapWidth <= 0)
        option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout.setTextOption(option);
    const int cursor = cursorPosition();
    if (!m_preedit.isEmpty() && cursor >= from && cursor <= from + length) {
        // The composition is underlined unless the input method formats it.
        const int at = cursor - from;
        layout.setPreeditArea(at, m_preedit);
        QList<QTextLayout::FormatRange> formats;
        QTextLayout::FormatRange underline;
        underline.start = at;
        underline.length = static_cast<int>(m_preedit.size());
        underline.format.setFontUnderline(true);
        formats.append(underline);
        for (QTextLayout::FormatRange range : m_preeditFormats) {
            range.start += at;
            formats.append(range);
        }
        layout.setFormats(formats);
    }
    layout.setCacheEnabled(true);
    layout.beginLayout();
    if (wrapWidth > 0) {
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(wrapWidth);
            line.setPosition(QPointF(0, (layout.lineCount() - 1) * rowHeight));
        }
    } else {
        QTextLine line = layout.createLine();
        line.setLineWidth(1e6);
    }
    layout.endLayout();
}

void EditBox::drawPiece(QPainter &painter, const QTextLayout &layout, const QPointF &origin, int from,
                        bool caretHere) const
{
    const int length = static_cast<int>(layout.text().size());
    const QPalette::ColorGroup group = colorGroup();
    QList<QTextLayout::FormatRange> selections;
    const int selectionStart = std::max(m_model.selectionStart() - from, 0);
    const int selectionEnd = std::min(m_model.selectionEnd() - from, length);
    if (selectionEnd > selectionStart) {
        QTextLayout::FormatRange range;
        range.start = selectionStart;
        range.length = selectionEnd - selectionStart;
        range.format.setBackground(palette().brush(group, QPalette::Highlight));
        range.format.setForeground(palette().brush(group, QPalette::HighlightedText));
        selections.append(range);
    }
    layout.draw(&painter, origin, selections);
    if (caretHere && hasFocus() && m_caretShown && m_preeditCaretShown)
        layout.drawCursor(&painter, origin, cursorPosition() - from + compositionCursor(), 1);
    if (m_dropPosition >= from && m_dropPosition <= from + length)
        layout.drawCursor(&painter, origin, m_dropPosition - from, 1);
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

// A drag after a double click selects whole words from the one clicked.
void EditBox::extendByWords(int position)
{
    const auto [start, end] = m_clickedWord;
    if (position < start)
        m_model.select(end, std::min(start, m_model.wordAround(position).first));
    else if (position > end)
        m_model.select(start, std::max(end, m_model.wordAround(position - 1).second));
    else
        m_model.select(start, end);
}

// Deletes from `anchor` to `cursor` as if that were selected first, so that
// undo selects it again. Ctrl+K and Ctrl+U in a line edit put what they
// delete on the clipboard.
void EditBox::deleteRange(int anchor, int cursor, bool toClipboard)
{
    if (anchor == cursor)
        return;
    const int start = std::min(anchor, cursor);
    if (toClipboard)
        QGuiApplication::clipboard()->setText(content().mid(start, std::max(anchor, cursor) - start));
    m_model.deleteRange(anchor, cursor);
}

QRect EditBox::characterRectangle(int position) const
{
    if (position < 0 || position >= m_model.size())
        return {};
    const QRect before = positionRectangle(position);
    const QRect text = textRect();
    if (before.left() < text.left() || before.left() > text.right() || before.top() < text.top() ||
        before.bottom() > text.bottom())
        return {};
    const QRect after = positionRectangle(nextPosition(position));
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

// Alt with a letter or digit is a shortcut, not typing, unless AltGr made
// the text; Ctrl with a letter likewise.
bool EditBox::typesText(const QKeyEvent *event) const
{
    const QString typed = event->text();
    if (typed.isEmpty())
        return false;
    const QChar first = typed.at(0);
    // Joiners and direction marks, which some layouts type with Ctrl+Shift.
    if (first.category() == QChar::Other_Format)
        return true;
    if (first.category() == QChar::Other_Control)
        return false;
    Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers & Qt::GroupSwitchModifier)
        return true;
#if defined(Q_OS_WIN)
    if ((modifiers & (Qt::ControlModifier | Qt::AltModifier)) == (Qt::ControlModifier | Qt::AltModifier))
        return true;
#elif defined(Q_OS_MACOS)
    // Option types characters there.
    modifiers &= ~Qt::AltModifier;
#endif
    return !(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

void EditBox::keyPressEvent(QKeyEvent *event)
{
    TextModel &model = m_model;
    const QString &text = content();
    const int size = model.size();
    const int cursor = model.cursor();
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
        // A selection collapses to its end, in a multi-line box to the side
        // the arrow points at, as the stock boxes do.
        const bool back = isMultiLine() && textDirection() == Qt::RightToLeft;
        moveCursor(hasSelectedText() ? (back ? model.selectionStart() : model.selectionEnd()) : rightPosition(cursor),
                   false);
    } else if (event == QKeySequence::MoveToPreviousChar) {
        const bool back = isMultiLine() && textDirection() == Qt::RightToLeft;
        moveCursor(hasSelectedText() ? (back ? model.selectionEnd() : model.selectionStart()) : leftPosition(cursor),
                   false);
    } else if (event == QKeySequence::SelectNextChar) {
        moveCursor(rightPosition(cursor), true);
    } else if (event == QKeySequence::SelectPreviousChar) {
        moveCursor(leftPosition(cursor), true);
    } else if (event == QKeySequence::MoveToNextWord || event == QKeySequence::SelectNextWord) {
        const bool back = textDirection() == Qt::RightToLeft;
        moveCursor(back ? model.wordStart(cursor) : model.wordEnd(cursor), event == QKeySequence::SelectNextWord);
    } else if (event == QKeySequence::MoveToPreviousWord || event == QKeySequence::SelectPreviousWord) {
        const bool forward = textDirection() == Qt::RightToLeft;
        moveCursor(forward ? model.wordEnd(cursor) : model.wordStart(cursor),
                   event == QKeySequence::SelectPreviousWord);
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
        if (hasSelectedText())
            model.removeSelection();
        else
            deleteRange(cursor, model.wordEnd(cursor), false);
    } else if (event == QKeySequence::DeleteStartOfWord) {
        if (hasSelectedText())
            model.removeSelection();
        else
            deleteRange(cursor, model.wordStart(cursor), false);
    } else if (event == QKeySequence::DeleteEndOfLine) {
        if (isMultiLine()) {
            // From the anchor to the end of the caret's line, as in a plain
            // text edit.
            const qsizetype lineBreak = text.indexOf(u'\n', cursor);
            const int lineEnd = lineBreak < 0 ? size : static_cast<int>(lineBreak);
            if (model.anchor() == lineEnd)
                moveCursor(lineEnd, false);
            else
                deleteRange(model.anchor(), lineEnd, false);
        } else if (cursor == size) {
            // A line edit drops the selection then, and deletes nothing.
            moveCursor(cursor, false);
        } else {
            deleteRange(cursor, size, true);
        }
    } else if (event == QKeySequence::DeleteCompleteLine) {
        if (isMultiLine()) {
            const auto [start, end] = model.lineAround(cursor);
            deleteRange(start, end, false);
        } else {
            deleteRange(0, size, true);
        }
    } else if (event == QKeySequence::Delete) {
        model.deleteForward();
    } else if (event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier)) {
        model.backspace();
    } else if (typesText(event)) {
        model.type(event->text());
    } else {
        // Enter, Esc, shortcuts and the like belong to someone else.
        event->ignore();
        return;
    }
    event->accept();
}

bool EditBox::event(QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::event(event);
    // However many steps a key takes, it is one change to whoever observes
    // the model; and whoever handles it, a selection it makes is the primary
    // selection.
    const TextModel::Batch batch(m_model);
    const std::pair<int, int> before{m_model.anchor(), m_model.cursor()};
    const bool handled = QWidget::event(event);
    if (before != std::pair{m_model.anchor(), m_model.cursor()})
        copyToSelectionClipboard();
    return handled;
}

void EditBox::mousePressEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    if (!m_preedit.isEmpty())
        QGuiApplication::inputMethod()->commit();
    if (event->button() == Qt::LeftButton) {
        const int position = caretPositionAt(point);
        const bool tripleClick = m_sinceDoubleClick.isValid() &&
                                 !m_sinceDoubleClick.hasExpired(QApplication::doubleClickInterval()) &&
                                 (point - m_doubleClickPoint).manhattanLength() < QApplication::startDragDistance();
        m_sinceDoubleClick.invalidate();
        m_clickedWord = {-1, -1};
        m_dragPending = false;
        const bool extend = event->modifiers() & Qt::ShiftModifier;
        if (tripleClick) {
            // As in QPlainTextEdit, a line is selected with its line break.
            const auto [start, end] = m_model.lineAround(position);
            m_model.select(start, end < m_model.size() ? end + 1 : end);
        } else if (!extend && hasSelectedText() && position >= m_model.selectionStart() &&
                   position <= m_model.selectionEnd()) {
            m_dragPending = true;
            m_pressPoint = point;
        } else {
            m_selecting = true;
            moveCursor(position, extend);
        }
    } else if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        moveCursor(caretPositionAt(point), false);
        insert(QGuiApplication::clipboard()->text(QClipboard::Selection));
    }
    event->accept();
}

void EditBox::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const QPoint point = event->position().toPoint();
    if (m_dragPending) {
        if ((point - m_pressPoint).manhattanLength() > QApplication::startDragDistance()) {
            m_dragPending = false;
            startDrag();
        }
    } else if (m_selecting) {
        const int position = caretPositionAt(point);
        if (m_clickedWord.first >= 0)
            extendByWords(position);
        else
            moveCursor(position, true);
    }
}

void EditBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    if (m_dragPending) {
        // A click in the selection that did not drag it places the caret.
        m_dragPending = false;
        moveCursor(caretPositionAt(point), false);
    }
    m_selecting = false;
    copyToSelectionClipboard();
    if (rect().contains(point))
        emit clicked();
}

void EditBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    m_dragPending = false;
    m_clickedWord = m_model.wordAround(positionAt(point));
    m_model.select(m_clickedWord.first, m_clickedWord.second);
    m_selecting = true;
    m_sinceDoubleClick.start();
    m_doubleClickPoint = point;
    copyToSelectionClipboard();
}

void EditBox::startDrag()
{
    auto *data = new QMimeData;
    data->setText(selectedText());
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    const QPointer<EditBox> alive(this);
    const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    // A move into this box itself was done by the drop.
    if (alive && action == Qt::MoveAction && drag->target() != this)
        m_model.removeSelection();
}

void EditBox::setDropPosition(int position)
{
    if (position != m_dropPosition) {
        m_dropPosition = position;
        update();
    }
}

// Entering is the first move over the box.
void EditBox::dragEnterEvent(QDragEnterEvent *event) { dragMoveEvent(event); }

void EditBox::dragMoveEvent(QDragMoveEvent *event)
{
    if (!event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    setDropPosition(positionAt(event->position().toPoint()));
}

void EditBox::dragLeaveEvent(QDragLeaveEvent * /*event*/) { setDropPosition(-1); }

// Dropped text goes in where it was dropped and is selected. Moved within
// the box, it leaves its old place in the same undo step.
void EditBox::dropEvent(QDropEvent *event)
{
    setDropPosition(-1);
    if (!event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    int position = positionAt(event->position().toPoint());
    const int start = m_model.selectionStart();
    const int end = m_model.selectionEnd();
    const bool fromHere = event->source() == this;
    if (fromHere && position >= start && position <= end) {
        event->ignore();
        return;
    }
    const QString text = m_model.prepared(event->mimeData()->text());
    event->acceptProposedAction();
    const bool moved = fromHere && event->dropAction() == Qt::MoveAction;
    {
        const TextModel::Batch batch(m_model);
        if (moved) {
            m_model.edit(start, end, QString(), TextModel::EditKind::Other);
            if (position > end)
                position -= end - start;
        }
        m_model.edit(position, position, text, TextModel::EditKind::Other, moved);
        if (fromHere)
            m_model.select(position, position + static_cast<int>(text.size()));
    }
    activateWindow();
    setFocus(Qt::MouseFocusReason);
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
    m_selecting = false;
    m_dragPending = false;
    // A line edit drops its selection when the focus moves to another
    // control; the log keeps it, drawn as inactive.
    if (!isMultiLine() && event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        m_model.moveCursor(m_model.cursor(), false);
    update();
    QWidget::focusOutEvent(event);
}

void EditBox::inputMethodEvent(QInputMethodEvent *event)
{
    std::optional<TextModel::Batch> batch(std::in_place, m_model);
    const int size = m_model.size();
    const int cursor = m_model.cursor();
    const int origin = m_model.surroundingStart();
    int start = m_model.selectionStart();
    int end = m_model.selectionEnd();
    const QString commit = event->commitString();
    const bool input = !commit.isEmpty() || event->preeditString() != m_preedit || event->replacementLength() > 0;
    if (event->replacementStart() != 0 || event->replacementLength() > 0) {
        start = std::clamp(cursor + event->replacementStart(), 0, size);
        end = std::clamp(start + event->replacementLength(), start, size);
    } else if (!input) {
        start = end = cursor;
    }
    m_preedit = event->preeditString();
    m_preeditCursor = static_cast<int>(m_preedit.size());
    m_preeditCaretShown = true;
    m_preeditFormats.clear();
    compositionChanged();
    if (start != end || !commit.isEmpty())
        m_model.edit(start, end, m_model.prepared(commit), TextModel::EditKind::Typing);
    for (const QInputMethodEvent::Attribute &attribute : event->attributes()) {
        if (attribute.type == QInputMethodEvent::Cursor) {
            m_preeditCursor = std::clamp(attribute.start, 0, static_cast<int>(m_preedit.size()));
            m_preeditCaretShown = attribute.length != 0;
        } else if (attribute.type == QInputMethodEvent::TextFormat) {
            const QTextCharFormat format = qvariant_cast<QTextFormat>(attribute.value).toCharFormat();
            if (format.isValid())
                m_preeditFormats.append({attribute.start, attribute.length, format});
        } else if (attribute.type == QInputMethodEvent::Selection) {
            // Positions in the text the input method was shown.
            m_model.select(origin + attribute.start, origin + attribute.start + attribute.length);
            m_model.endTypingRun();
        }
    }
    batch.reset();
    // The composition alone changes nothing in the model, but it is drawn;
    // an event that changes nothing, as an input method sends on a reset,
    // leaves the caret as it is shown.
    if (input)
        caretPlaced();
    ensureCursorVisible();
    updateMicroFocus();
    update();
    event->accept();
}

QVariant EditBox::inputMethodQuery(Qt::InputMethodQuery query) const { return inputMethodQuery(query, QVariant()); }

QVariant EditBox::inputMethodQuery(Qt::InputMethodQuery query, const QVariant &argument) const
{
    const QString &text = content();
    const int cursor = m_model.cursor();
    const int start = m_model.surroundingStart();
    const int end = m_model.surroundingEnd();
    switch (query) {
    case Qt::ImEnabled:
        return isEnabled();
    case Qt::ImCursorRectangle:
        return cursorRectangle();
    case Qt::ImAnchorRectangle:
        return m_model.hasSelection() ? positionRectangle(m_model.anchor()) : cursorRectangle();
    case Qt::ImFont:
        return font();
    case Qt::ImCursorPosition:
        if (argument.canConvert<QPointF>() && !argument.toPointF().isNull())
            return std::clamp(positionAt(argument.toPointF().toPoint()) - start, 0, end - start);
        return cursor - start;
    case Qt::ImAbsolutePosition:
        return cursor;
    case Qt::ImAnchorPosition:
        return std::clamp(m_model.anchor() - start, 0, end - start);
    case Qt::ImSurroundingText:
        return text.mid(start, end - start);
    case Qt::ImTextBeforeCursor:
        return text.mid(start, cursor - start);
    case Qt::ImTextAfterCursor:
        return text.mid(cursor, end - cursor);
    case Qt::ImCurrentSelection:
        return selectedText();
    case Qt::ImMaximumTextLength:
        return static_cast<int>(m_model.maximumLength());
    case Qt::ImHints:
        return static_cast<int>(inputMethodHints() | (isMultiLine() ? Qt::ImhMultiLine : Qt::ImhNone));
    case Qt::ImReadOnly:
        return false;
    case Qt::ImEnterKeyType:
        return isMultiLine() ? Qt::EnterKeyReturn : Qt::EnterKeyDefault;
    default:
        return QWidget::inputMethodQuery(query);
    }
}

QMenu *EditBox::createContextMenu()
{
    auto *menu = new QMenu(this);
    const auto add = [menu](const QString &text, const QKeySequence &keys, const char *name, bool enabled, auto slot) {
        QAction *action = menu->addAction(text, keys);
        action->setObjectName(QLatin1String(name));
        action->setEnabled(enabled);
        QObject::connect(action, &QAction::triggered, menu, slot);
    };
    const bool selected = hasSelectedText();
    const bool allSelected = selected && m_model.selectionEnd() - m_model.selectionStart() == m_model.size();
    add(tr("&Undo"), QKeySequence::Undo, "edit-undo", isUndoAvailable(), [this] { undo(); });
    add(tr("&Redo"), QKeySequence::Redo, "edit-redo", isRedoAvailable(), [this] { redo(); });
    menu->addSeparator();
    add(tr("Cu&t"), QKeySequence::Cut, "edit-cut", selected, [this] { cut(); });
    add(tr("&Copy"), QKeySequence::Copy, "edit-copy", selected, [this] { copy(); });
    add(tr("&Paste"), QKeySequence::Paste, "edit-paste", !QGuiApplication::clipboard()->text().isEmpty(),
        [this] { paste(); });
    add(tr("Delete"), QKeySequence(), "edit-delete", selected, [this] { m_model.removeSelection(); });
    menu->addSeparator();
    add(tr("Select All"), QKeySequence::SelectAll, "select-all", m_model.size() > 0 && !allSelected,
        [this] { selectAll(); });
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
