#include "ui/controls/AccessKeyButton.h"

#include <QShortcutEvent>

bool AccessKeyButton::event(QEvent *event)
{
    // An access key two buttons share only moves the focus, as Qt does it.
    if (event->type() == QEvent::Shortcut && isEnabled() &&
        !static_cast<QShortcutEvent *>(event)->isAmbiguous()) {
        click();
        return true;
    }
    return QPushButton::event(event);
}
