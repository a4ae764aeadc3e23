#include "ui/controls/FocusedWheel.h"

#include <QEvent>
#include <QWidget>

namespace {

class FocusedWheel : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Wheel && !static_cast<QWidget *>(watched)->hasFocus()) {
            event->ignore();
            return true;
        }
        return false;
    }
};

} // namespace

void acceptWheelOnlyWithFocus(QWidget *widget)
{
    widget->setFocusPolicy(Qt::StrongFocus);
    widget->installEventFilter(new FocusedWheel(widget));
}
