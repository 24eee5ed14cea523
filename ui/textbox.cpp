#include "textbox.h"

#include <QMouseEvent>

#include <limits>

namespace quorran {

TextBox::TextBox(QWidget *parent) : QLineEdit(parent)
{
    setMaxLength(std::numeric_limits<int>::max());
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void TextBox::mouseReleaseEvent(QMouseEvent *event)
{
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

} // namespace quorran
