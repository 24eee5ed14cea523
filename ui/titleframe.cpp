// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// The bar is painted by the frame itself (title, and a line below it); the
// close box is a tool button that never takes the keyboard focus, so the
// content's tab chain stays as it was. A press on the bar lets the window
// system move the window; a right-click on it asks for the window system's
// window menu, as a right-click on the compositor's own title bars opens it.
// Double-clicks are presses like any other: the window has no other state to
// switch to.

#include "titleframe.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <QWindow>

namespace quorran {

TitleFrame::TitleFrame(QWidget *content) : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), m_content(content)
{
    setWindowTitle(content->windowTitle());
    setWindowIcon(content->windowIcon());

    QWidget *focus = content->focusWidget();
    content->setParent(this, Qt::Widget);
    if (focus != nullptr)
        focus->setFocus(Qt::OtherFocusReason);

    auto *title = new QLabel(content->windowTitle(), this);
    title->setObjectName(QStringLiteral("title"));
    title->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_title = title;

    auto *close = new QToolButton(this);
    close->setObjectName(QStringLiteral("closeBox"));
    close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton, nullptr, this));
    close->setAutoRaise(true);
    close->setFocusPolicy(Qt::NoFocus);
    close->setAccessibleName(QStringLiteral("Close"));
    close->setToolTip(QStringLiteral("Close"));
    connect(close, &QToolButton::clicked, this, &QWidget::close);
    m_close = close;

    fitToContent();
    // The content changes its size when it is laid out for another screen.
    content->installEventFilter(this);
}

void TitleFrame::fitToContent()
{
    m_barHeight = fontMetrics().height() + 10;
    const QSize contentSize = m_content->size();
    m_content->move(0, m_barHeight);
    m_title->setGeometry(8, 0, contentSize.width() - m_barHeight - 8, m_barHeight);
    m_close->setGeometry(contentSize.width() - m_barHeight + 3, 3, m_barHeight - 6, m_barHeight - 6);
    setFixedSize(contentSize.width(), contentSize.height() + m_barHeight);
}

bool TitleFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_content && event->type() == QEvent::Resize)
        fitToContent();
    return QWidget::eventFilter(watched, event);
}

void TitleFrame::mousePressEvent(QMouseEvent *event)
{
    if (event->position().y() < m_barHeight && windowHandle() != nullptr) {
        if (event->button() == Qt::LeftButton)
            windowHandle()->startSystemMove();
        else if (event->button() == Qt::RightButton)
            emit windowMenuRequested(event->position().toPoint());
    }
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
