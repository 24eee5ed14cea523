// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// What the input fields and the message log share as text boxes: the editing
// keys, clipboard, mouse selection, drag and drop, input methods, the context
// menu and the blinking caret, over a TextModel that holds the text, caret,
// selection and undo. How the text is laid out, painted and scrolled is left
// to the single-line TextBox and the multi-line LogBox, which lay out only
// what is in view, so that a text of many megabytes costs little to paint, as
// the caret makes happen twice a second.

#include "textmodel.h"

#include <QBasicTimer>
#include <QElapsedTimer>
#include <QPoint>
#include <QString>
#include <QTextLayout>
#include <QWidget>

#include <utility>

class QMenu;
class QPainter;
class QStyleOptionFrame;

namespace quorran {

class EditBox : public QWidget {
    Q_OBJECT
public:
    const TextModel &model() const { return m_model; }
    QString text() const { return m_model.text(); }
    int cursorPosition() const { return m_model.cursor(); }
    void setCursorPosition(int position);
    bool hasSelectedText() const { return m_model.hasSelection(); }
    QString selectedText() const { return m_model.selectedText(); }
    void selectAll();
    // Selects from `anchor` to `cursor`, with the caret at `cursor`.
    void setSelection(int anchor, int cursor);

    void undo();
    void redo();
    void cut();
    void copy() const;
    void paste();
    void insert(const QString &text);

    bool isUndoAvailable() const { return m_model.isUndoAvailable(); }
    bool isRedoAvailable() const { return m_model.isRedoAvailable(); }

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    Q_INVOKABLE QVariant inputMethodQuery(Qt::InputMethodQuery query, const QVariant &argument) const;
    // Where the character at `position` is shown; empty if it is out of view.
    QRect characterRectangle(int position) const;
    // Where a click at `point` would put the caret.
    int cursorPositionAt(const QPoint &point) const { return positionAt(point); }
    // The lines the box shows, a wrapped line counted as several; a
    // single-line box shows its text as one.
    virtual int shownLineCount() const { return 1; }
    virtual int shownLineStart(int /*line*/) const { return 0; }

signals:
    void clicked();
    // The user changed the text: typing, pasting, cutting, undoing.
    void textEdited();

protected:
    // Blank pixels between the frame and the text.
    static constexpr int kHorizontalMargin = 2;
    static constexpr int kVerticalMargin = 1;
    static constexpr qreal kTabStop = 80;

    EditBox(TextModel::Lines lines, QWidget *parent);

    // Replace or extend the whole text as the program does: the undo
    // history is forgotten and the caret goes to `cursor`.
    void resetText(const QString &text, int cursor) { m_model.setText(text, cursor); }
    void appendText(const QString &text, int cursor) { m_model.append(text, cursor); }
    const QString &content() const { return m_model.text(); }
    int anchorPosition() const { return m_model.anchor(); }
    // Where the caret stands within an input method's composition, if any.
    int compositionCursor() const { return m_preedit.isEmpty() ? 0 : m_preeditCursor; }
    int compositionLength() const { return static_cast<int>(m_preedit.size()); }
    bool hasComposition() const { return !m_preedit.isEmpty(); }
    void moveCursor(int position, bool select) { m_model.moveCursor(position, select); }
    int nextPosition(int position) const { return m_model.nextPosition(position); }
    int previousPosition(int position) const { return m_model.previousPosition(position); }
    bool isMultiLine() const { return m_model.isMultiLine(); }
    void restartBlinking();

    void initFrameOption(QStyleOptionFrame *option) const;
    QRect textRect() const;
    QPalette::ColorGroup colorGroup() const;
    // Lays out `length` characters from `from` as one line without wrapping,
    // starting at x = 0 whatever the direction; with a `wrapWidth`, as rows
    // `rowHeight` apart that wrap at that width.
    void layoutPiece(QTextLayout &layout, int from, int length, Qt::LayoutDirection direction = Qt::LeftToRight,
                     qreal wrapWidth = 0, int rowHeight = 0) const;
    // Draws a laid-out piece of the text that starts at `from`, with the
    // part of the selection in it, and the caret if it is in this piece.
    void drawPiece(QPainter &painter, const QTextLayout &layout, const QPointF &origin, int from, bool caretHere) const;

    // The text changed from `start` on: `removed` went, `added` characters came.
    virtual void textChanged(int /*start*/, QStringView /*removed*/, int /*added*/) {}
    // An input method's composition, drawn at the caret, changed.
    virtual void compositionChanged() {}
    // Whether coming in with Tab selects the whole text.
    virtual bool selectsAllOnTab() const { return true; }
    // The direction of the text, or in a multi-line box of the caret's
    // paragraph, which decides where Left, Right and their word moves go.
    virtual Qt::LayoutDirection textDirection() const { return Qt::LeftToRight; }
    virtual int positionAt(const QPoint &point) const = 0;
    // Where a click at `point` puts the caret; a box may remember how.
    virtual int caretPositionAt(const QPoint &point) { return positionAt(point); }
    // Where the caret is drawn, within a composition where there is one.
    virtual QRect cursorRectangle() const = 0;
    // Where a caret standing at `position` would be drawn, wherever the caret
    // stands; where a wrapped line breaks, at the start of the line after.
    virtual QRect positionRectangle(int position) const = 0;
    // The caret was put where it is by an edit, a caret key, a click or a
    // change of the composition; a box may decide here how to show it.
    // Scrolling it into view, as after a resize, leaves that alone.
    virtual void caretPlaced() {}
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
    void modelChanged(const TextChange &change);
    int rightPosition(int position) const;
    int leftPosition(int position) const;
    void extendByWords(int position);
    void deleteRange(int anchor, int cursor, bool toClipboard);
    bool typesText(const QKeyEvent *event) const;
    void copyToSelectionClipboard() const;
    void startDrag();
    void setDropPosition(int position);
    QMenu *createContextMenu();

    TextModel m_model;
    bool m_caretShown = false;
    bool m_selecting = false;
    QBasicTimer m_blink;
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
};

} // namespace quorran
