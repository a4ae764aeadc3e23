#include "app/KeyScript.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

class Player : public QObject
{
public:
    explicit Player(const QString &script)
        : QObject(qApp), m_steps(script.split(u'|', Qt::SkipEmptyParts))
    {
        auto *timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, &Player::poll);
        timer->start(50);
    }

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == m_last || !modal->isVisible())
            return;
        m_last = modal;
        report(modal);
        if (!m_steps.isEmpty())
            play(modal, m_steps.takeFirst());
    }

    static void report(QWidget *modal)
    {
        QStringList texts;
        const QList<QLabel *> labels = modal->findChildren<QLabel *>();
        for (const QLabel *label : labels) {
            if (!label->text().isEmpty())
                texts
                    << QString(label->text()).replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        }
        const QString line = QStringLiteral("modal: %1 | %2\n")
                                 .arg(modal->windowTitle(), texts.join(QStringLiteral(" | ")));
        std::fputs(line.toUtf8().constData(), stderr);
        std::fflush(stderr);
    }

    static void play(QWidget *modal, const QString &step)
    {
        const QStringList keys = step.split(u',');
        for (const QString &key : keys) {
            QWidget *target = modal->focusWidget() ? modal->focusWidget() : modal;
            if (key.startsWith(u'\'')) {
                for (const QChar c : key.mid(1))
                    press(target, 0, Qt::NoModifier, QString(c));
                continue;
            }
            const QKeyCombination combination = QKeySequence::fromString(key)[0];
            press(target, combination.key(), combination.keyboardModifiers(), QString());
        }
    }

    static void press(QWidget *target, int key, Qt::KeyboardModifiers modifiers,
                      const QString &text)
    {
        QPointer<QWidget> alive(target);
        QKeyEvent down(QEvent::KeyPress, key, modifiers, text);
        QCoreApplication::sendEvent(target, &down);
        if (!alive)
            return;
        QKeyEvent up(QEvent::KeyRelease, key, modifiers, text);
        QCoreApplication::sendEvent(target, &up);
    }

    QStringList m_steps;
    QPointer<QWidget> m_last;
};

} // namespace

namespace KeyScript {

void start(const QString &script)
{
    if (!script.isEmpty())
        new Player(script);
}

} // namespace KeyScript
