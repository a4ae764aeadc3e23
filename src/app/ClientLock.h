#pragma once

#include <QString>

#include <memory>

class QLockFile;

// Two clients on one program folder would each rewrite whole meeting files from their own memory,
// and the cards typed in one would vanish at the next save of the other. The client holds this
// lock in the program folder while it runs. A lock that cannot be a live client's is taken over:
// one whose process is gone, and one that is no lock at all (empty or foreign bytes, a link, a
// FIFO, as a shared folder may hold). A live client on another computer sharing the folder
// keeps it; only that computer can tell whether its client still runs.
class ClientLock
{
public:
    enum class Result { Locked, HeldByAnother, HeldOnAnotherComputer, Unavailable };

    explicit ClientLock(const QString &folder);
    ~ClientLock();
    ClientLock(const ClientLock &) = delete;
    ClientLock &operator=(const ClientLock &) = delete;

    // Unavailable: no lock can be made in the folder (read-only, say); the client starts anyway.
    Result acquire();
    // The computer named by a lock HeldOnAnotherComputer.
    QString holderComputer() const { return m_holder; }

    static QString fileName();
    // What the second client says before it ends.
    static QString alreadyRunningText(const QString &folder);
    static QString runningElsewhereText(const QString &folder, const QString &computer);

private:
    QString path() const;

    std::unique_ptr<QLockFile> m_lock;
    QString m_folder;
    QString m_holder;
};
