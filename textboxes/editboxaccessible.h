// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// What assistive tools see of a text box: its text, caret and selection, text
// by character, word, sentence and line, where characters are shown, and
// edits made as a user makes them (undoable, reported as textEdited). A
// TextAnnouncer observes the box's model and its focus and tells them of
// every change; it does nothing unless accessibility is active, and an event
// carries only the piece of text that changed. The caret and the selection
// are reported only for the box that has the focus.

#include <QAccessibleWidget>
#include <QObject>

namespace quorran {

class EditBox;
struct TextChange;

class EditBoxAccessible : public QAccessibleWidget,
                          public QAccessibleTextInterface,
                          public QAccessibleEditableTextInterface {
public:
    explicit EditBoxAccessible(EditBox *box);

    // Makes Qt use this interface for every EditBox.
    static void install();

    void *interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text kind) const override;
    QAccessible::State state() const override;

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                             int *endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                            int *endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                         int *endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString &text) override;
    void replaceText(int startOffset, int endOffset, const QString &text) override;

private:
    EditBox *box() const;
    QString around(int direction, int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                   int *endOffset) const;
    QString shownLine(int direction, int offset, int *startOffset, int *endOffset) const;
};

// Tells assistive tools what changed in a box: edits as they happen, the
// caret and the selection once a change has settled, and the selection again
// when the box takes the focus, as a line edit does.
class TextAnnouncer : public QObject {
public:
    explicit TextAnnouncer(EditBox *box);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void announce(const TextChange &change);
    void announceEdit(int start, const QString &removed, int added);
    void announceReplacement(const QString &old);
    void announceCaret();
    void announceFocus();

    EditBox *m_box;
    // The caret and anchor assistive tools were last told of.
    int m_toldCursor = 0;
    int m_toldAnchor = 0;
    bool m_focusArriving = false;
};

} // namespace quorran
