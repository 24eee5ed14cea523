// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// A frame with a title bar of the program's own: the title and a close box,
// nothing else. Used where the window system leaves the title bar to the
// program and the toolkit's own would offer minimise and maximise boxes.

#include <QWidget>

class QAbstractButton;

namespace quorran {

class TitleFrame : public QWidget {
    Q_OBJECT
public:
    // The content becomes the frame's child, below the bar, and keeps its
    // fixed size, its keyboard focus and its title; the frame follows the
    // content's size.
    explicit TitleFrame(QWidget *content);

    QAbstractButton *closeBox() const { return m_close; }
    int barHeight() const { return m_barHeight; }

signals:
    // A right-click on the bar, at `point` in the frame, while the press is
    // being handled.
    void windowMenuRequested(QPoint point);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void fitToContent();

    QWidget *m_content;
    QWidget *m_title = nullptr;
    QAbstractButton *m_close = nullptr;
    int m_barHeight = 0;
};

} // namespace quorran
