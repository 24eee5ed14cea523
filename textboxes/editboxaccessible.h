#pragma once
// What assistive tools see of a text box: its text, caret and selection, text
// by character, word, sentence and line, where characters are shown, and
// edits made as a user makes them (undoable, reported as textEdited). The
// box tells them of every change through the static functions below; those
// do nothing unless accessibility is active, and an event carries only the
// piece of text that changed. The caret and the selection are reported only
// for the box that has the focus.

#include <QAccessibleWidget>

namespace quorran {

class EditBox;

class EditBoxAccessible : public QAccessibleWidget,
                          public QAccessibleTextInterface,
                          public QAccessibleEditableTextInterface {
public:
    explicit EditBoxAccessible(EditBox *box);

    // Makes Qt use this interface for every EditBox.
    static void install();
    // The text of `box` changed from `start` on: `removed` went, `added`
    // characters came.
    static void announceEdit(EditBox *box, int start, const QString &removed, int added);
    // The whole text of `box` was replaced; `old` is what it held.
    static void announceReplacement(EditBox *box, const QString &old);
    // The caret or the selection of `box` may have moved.
    static void announceCaret(EditBox *box);
    // `box` is taking the focus: the selection it then has is announced.
    static void announceFocus(EditBox *box);
    // While a key is handled, the caret is announced only where it ends up.
    class KeyHold {
    public:
        explicit KeyHold(EditBox *box);
        ~KeyHold();
        KeyHold(const KeyHold &) = delete;
        KeyHold &operator=(const KeyHold &) = delete;

    private:
        EditBox *m_box;
        bool m_wasHeld;
    };

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
    void select(int anchor, int cursor);
};

} // namespace quorran
