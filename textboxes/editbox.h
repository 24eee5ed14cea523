#pragma once
// What the input fields and the message log share as text boxes: the text,
// caret and selection, the editing keys, clipboard, undo, mouse selection,
// drag and drop, input methods, the context menu and the blinking caret.
// How the text is laid out, painted and scrolled is left to the single-line
// TextBox and the multi-line LogBox, which lay out only what is in view, so
// that a text of many megabytes costs little to paint, as the caret makes
// happen twice a second.

#include <QBasicTimer>
#include <QElapsedTimer>
#include <QPoint>
#include <QString>
#include <QTextLayout>
#include <QWidget>

#include <deque>
#include <utility>
#include <vector>

class QMenu;
class QPainter;
class QStyleOptionFrame;

namespace quorran {

class EditBoxAccessible;

class EditBox : public QWidget {
    Q_OBJECT
public:
    QString text() const { return m_text; }
    int cursorPosition() const { return m_cursor; }
    void setCursorPosition(int position);
    bool hasSelectedText() const { return m_anchor != m_cursor; }
    QString selectedText() const;
    void selectAll();

    void undo();
    void redo();
    void cut();
    void copy() const;
    void paste();
    void insert(const QString &text);

    bool isUndoAvailable() const { return !m_undo.empty(); }
    bool isRedoAvailable() const { return !m_redo.empty(); }

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    // Where the character at `position` is shown; empty if it is out of view.
    QRect characterRectangle(int position);
    Q_INVOKABLE QVariant inputMethodQuery(Qt::InputMethodQuery query, const QVariant &argument) const;

signals:
    void clicked();
    // The user changed the text: typing, pasting, cutting, undoing.
    void textEdited();

protected:
    // Blank pixels between the frame and the text.
    static constexpr int kHorizontalMargin = 2;
    static constexpr int kVerticalMargin = 1;
    static constexpr qreal kTabStop = 80;

    explicit EditBox(QWidget *parent);

    // Replace or extend the whole text as the program does: the undo
    // history is forgotten and the caret goes to `cursor`.
    void resetText(const QString &text, int cursor);
    void appendText(const QString &text, int cursor);
    const QString &content() const { return m_text; }
    int anchorPosition() const { return m_anchor; }
    // Where the caret stands within an input method's composition, if any.
    int compositionCursor() const { return m_preedit.isEmpty() ? 0 : m_preeditCursor; }
    void moveCursor(int position, bool select);
    int nextPosition(int position) const;
    int previousPosition(int position) const;
    void replaceSelection(const QString &text);
    void restartBlinking();

    void initFrameOption(QStyleOptionFrame *option) const;
    QRect textRect() const;
    QPalette::ColorGroup colorGroup() const;
    // Lays out `length` characters from `from` as one line without wrapping,
    // starting at x = 0 whatever the direction; with a `wrapWidth`, as rows
    // `rowHeight` apart that wrap at that width.
    void layoutPiece(QTextLayout &layout, int from, int length, Qt::LayoutDirection direction = Qt::LeftToRight,
                     qreal wrapWidth = 0, int rowHeight = 0) const;
    bool hasComposition() const { return !m_preedit.isEmpty(); }
    // Draws a laid-out piece of the text that starts at `from`, with the
    // part of the selection in it, and the caret if it is in this piece.
    void drawPiece(QPainter &painter, const QTextLayout &layout, const QPointF &origin, int from, bool caretHere) const;

    // The text changed from `start` on: `removed` characters went, `added` came.
    virtual void textChanged(int /*start*/, int /*removed*/, int /*added*/) {}
    // An input method's composition, drawn at the caret, changed.
    virtual void compositionChanged() {}
    // Whether coming in with Tab selects the whole text.
    virtual bool selectsAllOnTab() const { return true; }
    // The direction of the text, or in a multi-line box of the caret's
    // paragraph, which decides where Left, Right and their word moves go.
    virtual Qt::LayoutDirection textDirection() const { return Qt::LeftToRight; }
    // What typed or pasted text becomes before it is inserted.
    virtual QString prepared(const QString &text) const { return text; }
    // A multi-line box stops word moves at line breaks, keeps showing its
    // selection without the focus, puts the caret after undone text and
    // takes a triple click or Ctrl+U to mean one line, not the whole text.
    virtual bool isMultiLine() const { return false; }
    virtual int positionAt(const QPoint &point) const = 0;
    virtual QRect cursorRectangle() const = 0;
    virtual void ensureCursorVisible() = 0;
    virtual void drawText(QPainter &painter) const = 0;

    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class EditBoxAccessible;

    // Typing, Backspace and Delete runs are merged into one undo step. In a
    // single-line box so is a removed selection (also a word or line that
    // was deleted) with the typing, Backspace or Delete right after it, as
    // a line edit merges them; in a multi-line box a paste with the typing
    // right after it.
    enum class EditKind { Other, Typing, Backspace, Delete, Removal, Paste };
    struct Edit {
        int position;
        QString removed;
        QString inserted;
        int anchorBefore;
        int cursorBefore;
        EditKind kind;
        // Undone and redone together with the edit before it.
        bool withPrevious = false;
        // A caret move, a paste or a removed selection came between this
        // edit and the one before it.
        bool separated = false;
        // How many characters all edits had inserted when this one was made.
        qsizetype insertedUpTo = 0;
    };

    void textSet(int start, int removed, int cursor);
    QString graphemePiece(int from, int length) const;
    int rightPosition(int position) const;
    int leftPosition(int position) const;
    void edit(int start, int end, const QString &text, EditKind kind, bool withPrevious = false);
    void apply(int position, int removed, const QString &inserted);
    void forgetOldEdits();
    void afterHistoryStep();
    int wordEnd(int position) const;
    int wordStart(int position) const;
    std::pair<int, int> wordAround(int position) const;
    std::pair<int, int> lineAround(int position) const;
    void extendByWords(int position);
    void removeSelection();
    void deleteRange(int anchor, int cursor, bool toClipboard);
    bool joinsLastEdit(const Edit &last, EditKind kind, int start, const QString &removed, const QString &text) const;
    bool typesText(const QKeyEvent *event) const;
    void copyToSelectionClipboard() const;
    int surroundingStart() const;
    int surroundingEnd() const;
    QRect anchorRectangle() const;
    void startDrag();
    void setDropPosition(int position);
    QMenu *createContextMenu();

    QString m_text;
    int m_cursor = 0;
    int m_anchor = 0;
    bool m_caretShown = false;
    bool m_selecting = false;
    QBasicTimer m_blink;
    std::deque<Edit> m_undo;
    std::vector<Edit> m_redo;
    qsizetype m_undoCharacters = 0;
    // Characters inserted by edits so far. A plain text edit keeps them in a
    // buffer that only grows, and typing joins the last edit only where it
    // goes on in that buffer: not after typing that was undone since.
    qsizetype m_insertedCharacters = 0;
    // Whether the next typed character, Backspace or Delete joins the last edit.
    bool m_mergeable = false;
    // In a single-line box, undo went back to an edit that followed a caret
    // move: typing then starts a step of its own, as in a line edit.
    bool m_undoneToSeparation = false;
    // A double click selects a word and a drag after it extends by words.
    std::pair<int, int> m_clickedWord{-1, -1};
    QElapsedTimer m_sinceDoubleClick;
    QPoint m_doubleClickPoint;
    // A press in the selection may start dragging it out.
    bool m_dragPending = false;
    QPoint m_pressPoint;
    int m_dropPosition = -1;
    // The input method's composition, shown at the caret until committed.
    QString m_preedit;
    int m_preeditCursor = 0;
    bool m_preeditCaretShown = true;
    QList<QTextLayout::FormatRange> m_preeditFormats;
    // The caret and anchor assistive tools were last told of.
    int m_toldCursor = 0;
    int m_toldAnchor = 0;
    bool m_caretHeld = false;
    bool m_focusArriving = false;
};

} // namespace quorran
