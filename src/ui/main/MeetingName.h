#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// What a new meeting may be called: decisions over plain text, without widgets.
namespace MeetingName {

// The input box accepts this many characters; a name keeps at most kMaxLength of them.
constexpr int kInputMaxLength = 255;
constexpr int kMaxLength = 250;

// "<year>-Новое заседание".
QString proposed(const QDate &today);

// Characters with codes 0 to 32 go at both ends (and nothing else), then every one of
// " * / : < > ? \ | wherever it stands, then all but the first kMaxLength characters.
QString clean(const QString &entered);

// The name a new meeting gets from what the user entered, cut further where the file system
// could not hold its file; or QorError with the message the user sees: nothing left after
// cleaning, a name its meeting file would not give back (only dots), or a name the list holds
// already in any letter case.
QString accept(const QString &entered, const QStringList &existing);

} // namespace MeetingName
