#pragma once

#include "platform/Dialogs.h"

// The program's boxes, shown with Qt's standard dialogs. The only place that uses them.
class QtDialogs final : public Dialogs
{
public:
    Answer message(const QString &caption, const QString &text, Icon icon,
                   Buttons buttons) override;
    Answer messageOnTop(const QString &caption, const QString &text, Icon icon,
                        Buttons buttons) override;
    Answer cautiousQuestion(const QString &caption, const QString &text, Icon icon, Buttons buttons,
                            const QRect &keepClear) override;
    bool inputText(const QString &caption, const QString &prompt, QString &value,
                   int maxLength) override;
    bool chooseFolder(const QString &caption, QString &folder) override;

private:
    struct Manner
    {
        bool onTop = false;
        bool cautious = false;
        QRect keepClear;
    };
    Answer show(const QString &caption, const QString &text, Icon icon, Buttons buttons,
                const Manner &manner);
};
