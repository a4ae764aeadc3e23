#pragma once

#include <QString>

// Folders that belong to the user alone. A shared temporary folder would let another user
// plant a folder or a link where the program deletes files: the program only empties folders
// it has checked are the user's own.
namespace UserFolders {

// The user's own temporary folder, with a trailing separator. On Linux the session's runtime
// folder ($XDG_RUNTIME_DIR) when it is a private folder of the user; otherwise
// "<system temporary folder>/QorClient-<user id>", created private when missing and made
// private when it is the user's. On Windows the system's temporary folder, which is the
// user's own there. Throws when no such folder can be had.
QString tempFolder();

// The folder name inside parent, created private when missing, with a trailing separator.
// An existing one must be a real folder (not a link) owned by the user; otherwise throws
// QorError naming it. A failure to create it is a file error.
QString ensureOwnFolder(const QString &parent, const QString &name);

// Deletes every file in folder and, going down, in its sub-folders; a read-only file first
// loses its mark. Sub-folders stay. A link is removed itself, never followed. Files that cannot
// be deleted stay, silently.
void emptyTree(const QString &folder);

// The message for a folder that is not the user's own.
QString notOwnFolderMessage(const QString &path);

} // namespace UserFolders
