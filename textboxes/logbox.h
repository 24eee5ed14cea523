// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// The multi-line message log. Lines wrap at the box's width, after blanks
// where they can and anywhere where they cannot. There are no scroll bars:
// lines beyond the box's height are reached with the caret or the mouse
// wheel. Only whole lines are shown: the strip below the last line that fits
// stays blank rather than show the top half of a line the caret keys treat as
// out of view. The text keeps its line breaks as LF; a CR LF, a lone CR or a
// paragraph separator that is set, typed or pasted becomes one LF.

#include "editbox.h"
#include "wrapindex.h"

#include <utility>

namespace quorran {

class LogBox : public EditBox {
    Q_OBJECT
public:
    explicit LogBox(QWidget *parent = nullptr);

    // Replace the whole text and show its start, or extend it and show its
    // end, as a conversion does; the caret goes there.
    void setText(const QString &text);
    void append(const QString &text);

    // Lines as the box shows them, wrapped ones counted one by one.
    int lineCount() const;
    int lineStart(int line) const;
    int shownLineCount() const override { return lineCount(); }
    int shownLineStart(int line) const override { return lineStart(line); }
    int firstVisibleLine() const { return m_top; }

protected:
    void textChanged(int start, QStringView removed, int added) override;
    // A note typed after Tab goes where the caret was, not over the log.
    bool selectsAllOnTab() const override { return false; }
    Qt::LayoutDirection textDirection() const override;
    int positionAt(const QPoint &point) const override;
    int caretPositionAt(const QPoint &point) override;
    QRect cursorRectangle() const override;
    QRect positionRectangle(int position) const override;
    void caretPlaced() override;
    void ensureCursorVisible() override;
    void drawText(QPainter &painter) const override;

    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool hasLine(int line) const { return m_wrap.hasLine(line); }
    bool widthChanged();
    int lineEnd(int line) const;
    bool isWrapped(int line) const;
    int lineAt(int position) const { return m_wrap.lineAt(position); }
    int caretLine() const;
    void layoutLine(QTextLayout &layout, int line) const;
    void layoutCaretLine(QTextLayout &layout, int line) const;
    static int rowAt(const QTextLayout &layout, int offset);
    qreal caretX(const QTextLayout &layout, int row, int offset) const;
    QRect rectangleIn(int line, int offset) const;
    std::pair<int, bool> positionInLine(int line, qreal x) const;
    std::pair<int, bool> hit(const QPoint &point) const;
    int lineHeight() const;
    int visibleLines() const;
    void moveByLines(int lines, bool select, bool byPage);
    static bool keepsColumn(const QKeyEvent *event);

    // The lines as far as the text is wrapped, wrapped on as it is looked at.
    WrapIndex m_wrap;
    int m_top = 0;          // first line in view
    qreal m_wheelLines = 0; // a part of a line the wheel has not yet scrolled
    // Up and Down keep to the column where they started.
    qreal m_goalX = 0;
    int m_goalPosition = -1;
    // The caret at the start of a wrapped line may stand at the end of the
    // line before it instead, where End or a click past that end put it.
    int m_lineEndCandidate = -1;
    bool m_caretAtLineEnd = false;
};

} // namespace quorran
