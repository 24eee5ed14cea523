// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// A screen reader speaks a notification when it starts showing, whether or
// not it has the focus; Qt reports a widget's show as that. The text is the
// notification's name.

#include "announcement.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace quorran {

namespace {

class AnnouncementAccessible : public QAccessibleWidget {
public:
    explicit AnnouncementAccessible(QWidget *widget) : QAccessibleWidget(widget, QAccessible::Notification) {}
};

} // namespace

Announcement::Announcement(QWidget *parent) : QWidget(parent)
{
    static const bool factoryInstalled =
        (QAccessible::installFactory([](const QString &className, QObject *object) -> QAccessibleInterface * {
             if (className == QLatin1String("quorran::Announcement") && object != nullptr && object->isWidgetType())
                 return new AnnouncementAccessible(static_cast<QWidget *>(object));
             return nullptr;
         }),
         true);
    Q_UNUSED(factoryInstalled);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(0, 0, 0, 0);
    hide();
}

void Announcement::announce(const QString &text)
{
    if (!QAccessible::isActive() || text.isEmpty())
        return;
    hide();
    setAccessibleName(text);
    show();
}

} // namespace quorran
