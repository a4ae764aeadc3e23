#pragma once

#include <QString>

#include <memory>

class QLockFile;

// Two clients on one program folder would each rewrite whole meeting files from their own memory,
// and the cards typed in one would vanish at the next save of the other. The client holds this
// lock in the program folder while it runs; the lock of a client that crashed is taken over.
class ClientLock
{
public:
    enum class Result { Locked, HeldByAnother, Unavailable };

    explicit ClientLock(const QString &folder);
    ~ClientLock();
    ClientLock(const ClientLock &) = delete;
    ClientLock &operator=(const ClientLock &) = delete;

    // Unavailable: no lock can be made in the folder (read-only, say); the client starts anyway.
    Result acquire();

    static QString fileName();
    // What the second client says before it ends.
    static QString alreadyRunningText(const QString &folder);

private:
    std::unique_ptr<QLockFile> m_lock;
    QString m_folder;
};
