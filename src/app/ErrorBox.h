#pragma once

#include <QString>

#include <exception>

// The standard error box: caption the application title, error icon, one OK button.
namespace ErrorBox {

// The message as the box shows it: a "." is added when the last character sorts after "."
// in the Windows-1251 byte order (a letter or a digit), never after ".", "!", a quote or a blank.
QString withFullStop(const QString &message);

// Shows an error that reached the event loop, with the "." rule.
void showStandard(const QString &message);

// Shows an error that a handler caught itself, as it stands.
void showCaught(const QString &message);

// The text of the fatal error box for an error that escaped the installer.
QString fatalText(const QString &kindName, const QString &moduleName, quintptr address,
                  const QString &message);
void showFatal(const std::exception &error);

} // namespace ErrorBox
