// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// Reading goes straight to the box's text. Text by character, word, sentence
// and paragraph comes from textAround, which answers in bounded time for any
// text and offset; lines are those of the text, or in the log the lines it
// shows without their line breaks. Edits select the range and replace it as
// typing would.

#include "editboxaccessible.h"

#include "editbox.h"
#include "textboundaries.h"
#include "textmodel.h"

#include <QAccessible>
#include <QEvent>

#include <algorithm>
#include <utility>

namespace quorran {

namespace {

int size(const EditBox *box) { return box->model().size(); }

void post(QAccessibleEvent &&event) { QAccessible::updateAccessibility(&event); }

} // namespace

EditBoxAccessible::EditBoxAccessible(EditBox *box) : QAccessibleWidget(box, QAccessible::EditableText) {}

void EditBoxAccessible::install()
{
    // Qt asks with the class names of the object from the most derived up.
    QAccessible::installFactory([](const QString &className, QObject *object) -> QAccessibleInterface * {
        if (className == QLatin1String("quorran::EditBox") && object != nullptr && object->isWidgetType())
            return new EditBoxAccessible(static_cast<EditBox *>(object));
        return nullptr;
    });
}

EditBox *EditBoxAccessible::box() const { return static_cast<EditBox *>(widget()); }

void *EditBoxAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString EditBoxAccessible::text(QAccessible::Text kind) const
{
    if (kind == QAccessible::Value)
        return box()->text();
    return QAccessibleWidget::text(kind);
}

QAccessible::State EditBoxAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = true;
    state.focusable = true;
    state.selectableText = true;
    state.multiLine = box()->model().isMultiLine();
    return state;
}

void EditBoxAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    // No selection: -1 as a line edit says, 0 as a plain text edit says.
    const TextModel &model = box()->model();
    *startOffset = *endOffset = model.isMultiLine() ? 0 : -1;
    if (selectionIndex != 0 || !model.hasSelection())
        return;
    *startOffset = model.selectionStart();
    *endOffset = model.selectionEnd();
}

int EditBoxAccessible::selectionCount() const { return box()->hasSelectedText() ? 1 : 0; }

void EditBoxAccessible::addSelection(int startOffset, int endOffset) { setSelection(0, startOffset, endOffset); }

void EditBoxAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0 && box()->hasSelectedText())
        box()->setCursorPosition(box()->cursorPosition());
}

void EditBoxAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        box()->setSelection(startOffset, endOffset);
}

int EditBoxAccessible::cursorPosition() const { return box()->cursorPosition(); }

void EditBoxAccessible::setCursorPosition(int position) { box()->setCursorPosition(position); }

QString EditBoxAccessible::text(int startOffset, int endOffset) const
{
    if (endOffset == -1)
        endOffset = characterCount();
    if (startOffset > endOffset)
        return {};
    return box()->model().text().mid(startOffset, endOffset - startOffset);
}

QString EditBoxAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                                            int *endOffset) const
{
    return around(-1, offset, boundaryType, startOffset, endOffset);
}

QString EditBoxAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                                           int *endOffset) const
{
    return around(1, offset, boundaryType, startOffset, endOffset);
}

QString EditBoxAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                                        int *endOffset) const
{
    return around(0, offset, boundaryType, startOffset, endOffset);
}

QString EditBoxAccessible::around(int direction, int offset, QAccessible::TextBoundaryType boundaryType,
                                  int *startOffset, int *endOffset) const
{
    // -2 stands for the caret, -1 for the end of the text.
    if (offset == -2)
        offset = box()->cursorPosition();
    else if (offset == -1)
        offset = size(box());
    if (boundaryType == QAccessible::LineBoundary && box()->model().isMultiLine())
        return shownLine(direction, offset, startOffset, endOffset);
    const TextSide side = direction < 0 ? TextSide::Before : direction > 0 ? TextSide::After : TextSide::At;
    return textAround(box()->model().text(), side, offset, boundaryType, startOffset, endOffset);
}

// The lines as the log shows them: a wrapped line ends where the next one
// starts; the line break that ends a line is not part of it.
QString EditBoxAccessible::shownLine(int direction, int offset, int *startOffset, int *endOffset) const
{
    const EditBox *log = box();
    const QString &all = log->model().text();
    const int count = static_cast<int>(all.size());
    *startOffset = *endOffset = -1;
    // An empty log shows one empty line.
    if (offset < 0 || offset > count)
        return {};
    int low = 0;
    int high = log->shownLineCount() - 1;
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (log->shownLineStart(middle) <= offset)
            low = middle;
        else
            high = middle - 1;
    }
    const int line = low + direction;
    if (line < 0 || line >= log->shownLineCount())
        return {};
    *startOffset = log->shownLineStart(line);
    *endOffset = line + 1 < log->shownLineCount() ? log->shownLineStart(line + 1) : count;
    if (*endOffset > *startOffset && all.at(*endOffset - 1) == u'\n')
        --*endOffset;
    return all.mid(*startOffset, *endOffset - *startOffset);
}

int EditBoxAccessible::characterCount() const { return size(box()); }

QRect EditBoxAccessible::characterRect(int offset) const
{
    const QRect rect = box()->characterRectangle(offset);
    if (rect.isEmpty())
        return {};
    return {box()->mapToGlobal(rect.topLeft()), rect.size()};
}

int EditBoxAccessible::offsetAtPoint(const QPoint &point) const
{
    const QPoint local = box()->mapFromGlobal(point);
    if (!box()->rect().contains(local))
        return -1;
    return box()->cursorPositionAt(local);
}

void EditBoxAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    box()->setCursorPosition(endIndex);
    box()->setCursorPosition(startIndex);
}

// The whole text is one run without attributes. A screen reader reads a
// line or a selection up to the end of the run it is in.
QString EditBoxAccessible::attributes(int /*offset*/, int *startOffset, int *endOffset) const
{
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

void EditBoxAccessible::deleteText(int startOffset, int endOffset) { replaceText(startOffset, endOffset, QString()); }

void EditBoxAccessible::insertText(int offset, const QString &text) { replaceText(offset, offset, text); }

void EditBoxAccessible::replaceText(int startOffset, int endOffset, const QString &text)
{
    const int count = size(box());
    const int start = std::clamp(startOffset, 0, count);
    box()->setSelection(start, std::clamp(endOffset, start, count));
    box()->insert(text);
}

TextAnnouncer::TextAnnouncer(EditBox *box) : QObject(box), m_box(box)
{
    connect(&box->model(), &TextModel::changed, this, &TextAnnouncer::announce);
    box->installEventFilter(this);
}

bool TextAnnouncer::eventFilter(QObject *watched, QEvent *event)
{
    // Before the box handles the focus, which may select its text.
    if (watched == m_box && event->type() == QEvent::FocusIn)
        announceFocus();
    return QObject::eventFilter(watched, event);
}

void TextAnnouncer::announce(const TextChange &change)
{
    if (change.replaced)
        announceReplacement(change.removed);
    else if (change.changesText())
        announceEdit(change.start, change.removed, change.added);
    if (change.settled)
        announceCaret();
}

void TextAnnouncer::announceEdit(int start, const QString &removed, int added)
{
    if (!QAccessible::isActive())
        return;
    const QString &now = m_box->model().text();
    if (!removed.isEmpty())
        post(QAccessibleTextRemoveEvent(m_box, start, removed));
    if (added > 0)
        post(QAccessibleTextInsertEvent(m_box, start, now.mid(start, added)));
    post(QAccessibleValueChangeEvent(m_box, now));
}

void TextAnnouncer::announceReplacement(const QString &old)
{
    if (!QAccessible::isActive())
        return;
    // Only what lies between the common start and the common end changed.
    const QString &now = m_box->model().text();
    const qsizetype shorter = std::min(old.size(), now.size());
    qsizetype head = 0;
    while (head < shorter && old.at(head) == now.at(head))
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head && old.at(old.size() - 1 - tail) == now.at(now.size() - 1 - tail))
        ++tail;
    const QString removed = old.mid(head, old.size() - head - tail);
    const QString added = now.mid(head, now.size() - head - tail);
    const int start = static_cast<int>(head);
    if (!removed.isEmpty() && !added.isEmpty())
        post(QAccessibleTextUpdateEvent(m_box, start, removed, added));
    else if (!removed.isEmpty())
        post(QAccessibleTextRemoveEvent(m_box, start, removed));
    else if (!added.isEmpty())
        post(QAccessibleTextInsertEvent(m_box, start, added));
    if (!removed.isEmpty() || !added.isEmpty())
        post(QAccessibleValueChangeEvent(m_box, now));
}

void TextAnnouncer::announceCaret()
{
    if (m_focusArriving)
        return;
    const int cursor = m_box->model().cursor();
    const int anchor = m_box->model().anchor();
    const int toldCursor = std::exchange(m_toldCursor, cursor);
    const int toldAnchor = std::exchange(m_toldAnchor, anchor);
    // A box without the focus moves its caret only when the program writes
    // into it; a screen reader would take that for the user's doing.
    if (!QAccessible::isActive() || m_box->window()->focusWidget() != m_box)
        return;
    if (cursor != toldCursor)
        post(QAccessibleTextCursorEvent(m_box, cursor));
    const bool selected = cursor != anchor;
    const bool wasSelected = toldCursor != toldAnchor;
    if (selected != wasSelected || (selected && (std::min(cursor, anchor) != std::min(toldCursor, toldAnchor) ||
                                                 std::max(cursor, anchor) != std::max(toldCursor, toldAnchor)))) {
        QAccessibleTextSelectionEvent event(m_box, selected ? std::min(cursor, anchor) : -1,
                                            selected ? std::max(cursor, anchor) : -1);
        event.setCursorPosition(cursor);
        QAccessible::updateAccessibility(&event);
    }
}

void TextAnnouncer::announceFocus()
{
    if (!QAccessible::isActive() || m_focusArriving)
        return;
    // The selection the box has with the focus is reported, as a line edit
    // does, even where it is the one it had before; but only once the focus
    // itself has been reported, which Qt does after the box took it, so that
    // a screen reader compares it with what it found on the focused box.
    m_toldAnchor = m_toldCursor;
    m_focusArriving = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_focusArriving = false;
            announceCaret();
        },
        Qt::QueuedConnection);
}

} // namespace quorran
