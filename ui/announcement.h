// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// A notification that screen readers speak as soon as it appears, for news
// the user did not move to, such as what a button press wrote elsewhere in
// the window. It takes no room and draws nothing.

#include <QWidget>

namespace quorran {

class Announcement : public QWidget {
    Q_OBJECT
public:
    explicit Announcement(QWidget *parent);

    // Has `text` spoken once; nothing happens unless accessibility is active.
    void announce(const QString &text);
};

} // namespace quorran
