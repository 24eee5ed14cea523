// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// The single-line text box of the input fields. It edits like a line edit and
// reports a mouse click. A text of ordinary length is laid out whole, so that
// right-to-left and mixed text shows and scrolls as in a line edit; a huge
// text is laid out only in the slice of characters in view.

#include "editbox.h"

#include <memory>

namespace quorran {

class TextBox : public EditBox {
    Q_OBJECT
public:
    explicit TextBox(QWidget *parent = nullptr);
    ~TextBox() override;

    // Puts the caret at the end.
    void setText(const QString &text);

    QSize sizeHint() const override;

protected:
    int positionAt(const QPoint &point) const override;
    QRect cursorRectangle() const override;
    QRect positionRectangle(int position) const override;
    void ensureCursorVisible() override;
    void drawText(QPainter &painter) const override;
    void textChanged(int start, QStringView removed, int added) override;
    void compositionChanged() override;
    Qt::LayoutDirection textDirection() const override;
    void changeEvent(QEvent *event) override;

private:
    bool laidOutWhole() const;
    QRect rectangleAt(int position, int composed) const;
    const QTextLayout &wholeLayout() const;
    void scrollWhole();
    void scrollSlice();
    int sliceLength(int from) const;
    int fittingStart(int end, int width) const;

    mutable std::unique_ptr<QTextLayout> m_layout; // the whole text, until it changes
    int m_offset = 0;                              // pixels of the whole layout left of the box
    int m_scroll = 0;                              // first character in view of a huge text
};

} // namespace quorran
