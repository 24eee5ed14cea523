// The bar is painted by the frame itself (title, and a line below it); the
// close box is a tool button that never takes the keyboard focus, so the
// content's tab chain stays as it was. A press on the bar lets the window
// system move the window.

#include "titlebar.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <QWindow>

namespace quorran {

TitleFrame::TitleFrame(QWidget *content) : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
{
    setWindowTitle(content->windowTitle());
    setWindowIcon(content->windowIcon());

    const int glyph = fontMetrics().height();
    m_barHeight = glyph + 10;
    const QSize contentSize = content->size();

    QWidget *focus = content->focusWidget();
    content->setParent(this, Qt::Widget);
    content->move(0, m_barHeight);
    if (focus != nullptr)
        focus->setFocus(Qt::OtherFocusReason);

    auto *title = new QLabel(content->windowTitle(), this);
    title->setObjectName(QStringLiteral("title"));
    title->setGeometry(8, 0, contentSize.width() - m_barHeight - 8, m_barHeight);
    title->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto *close = new QToolButton(this);
    close->setObjectName(QStringLiteral("closeBox"));
    close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton, nullptr, this));
    close->setAutoRaise(true);
    close->setFocusPolicy(Qt::NoFocus);
    close->setAccessibleName(QStringLiteral("Close"));
    close->setToolTip(QStringLiteral("Close"));
    close->setGeometry(contentSize.width() - m_barHeight + 3, 3, m_barHeight - 6, m_barHeight - 6);
    connect(close, &QToolButton::clicked, this, &QWidget::close);
    m_close = close;

    setFixedSize(contentSize.width(), contentSize.height() + m_barHeight);
}

void TitleFrame::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && event->position().y() < m_barHeight && windowHandle() != nullptr)
        windowHandle()->startSystemMove();
    QWidget::mousePressEvent(event);
}

void TitleFrame::paintEvent(QPaintEvent * /*event*/)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.drawLine(0, m_barHeight - 1, width(), m_barHeight - 1);
}

} // namespace quorran
