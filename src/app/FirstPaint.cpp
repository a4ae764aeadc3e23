#include "app/FirstPaint.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

// How long a window the platform does not expose waits for its action.
constexpr int kUnexposedWaitMs = 1000;

class FirstPaintWatch : public QObject
{
public:
    FirstPaintWatch(QWindow *window, std::function<void()> action)
        : QObject(window), m_action(std::move(action))
    {
        window->installEventFilter(this);
        QTimer::singleShot(kUnexposedWaitMs, this, [this] { finish(); });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Expose)
            return false;
        // The window paints itself and puts the paint on the screen now, then the action runs
        // in the same step: no event is handled in between.
        watched->removeEventFilter(this);
        QPointer<QObject> self(this);
        watched->event(event);
        if (self)
            finish();
        return true;
    }

private:
    void finish()
    {
        if (!m_action)
            return;
        parent()->removeEventFilter(this);
        const std::function<void()> action = std::move(m_action);
        m_action = nullptr;
        deleteLater();
        action();
    }

    std::function<void()> m_action;
};

} // namespace

void runAfterFirstPaint(QWidget *window, std::function<void()> action)
{
    window->winId(); // the native window, whose exposure tells of the first paint
    QWindow *handle = window->windowHandle();
    if (!handle || window->windowState().testFlag(Qt::WindowMinimized)) {
        QTimer::singleShot(0, window, std::move(action));
        return;
    }
    new FirstPaintWatch(handle, std::move(action));
}
