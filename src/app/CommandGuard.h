#pragma once

#include "app/ErrorBox.h"
#include "platform/QorError.h"

#include <exception>
#include <utility>

// Every command runs through the guard: a failure ends the command and is shown in the
// standard error box, and nothing is thrown through Qt's event loop. Returns whether the
// command ran to its end.
template <typename Command> bool runGuarded(Command &&command) noexcept
{
    try {
        std::forward<Command>(command)();
        return true;
    } catch (const QorError &e) {
        ErrorBox::showStandard(e.message());
    } catch (const std::exception &e) {
        ErrorBox::showStandard(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ErrorBox::showStandard(QStringLiteral("Внутренняя ошибка программы"));
    }
    return false;
}
