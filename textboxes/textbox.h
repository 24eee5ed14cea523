#pragma once
// The single-line text box of the input fields. It edits like a line edit and
// reports a mouse click; unlike QLineEdit it lays out only the characters in
// view.

#include "editbox.h"

namespace quorran {

class TextBox : public EditBox {
    Q_OBJECT
public:
    explicit TextBox(QWidget *parent = nullptr);

    // Puts the caret at the end.
    void setText(const QString &text);

    QSize sizeHint() const override;

protected:
    int positionAt(const QPoint &point) const override;
    QRect cursorRectangle() const override;
    void ensureCursorVisible() override;
    void drawText(QPainter &painter) const override;

private:
    int sliceLength(int from) const;

    int m_scroll = 0; // first character in view
};

} // namespace quorran
