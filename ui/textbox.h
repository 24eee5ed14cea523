#pragma once
// A single-line text box that reports a mouse click (left button pressed and
// released over it), as the input fields need.

#include <QLineEdit>

namespace quorran {

class TextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

} // namespace quorran
