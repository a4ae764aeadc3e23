#pragma once

#include <QString>

#include <functional>

// Opens a document with the desktop's application for its type. Opening needs the GUI, which
// the lower layers do not link: the application installs the function that really opens it;
// tests install a fake. Without one, nothing opens.
namespace DocumentOpener {

using OpenFunction = std::function<bool(const QString &path)>;

void install(OpenFunction open);

// Whether the desktop took the document; false when no opener is installed.
bool open(const QString &path);

} // namespace DocumentOpener
