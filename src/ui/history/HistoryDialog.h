#pragma once

#include "data/CardTable.h"
#include "data/MeetingHistory.h"

#include <QDialog>

#include <functional>

class CardGrid;
class CardTableModel;
class QPushButton;
class QTableWidget;

// "История заседания": the versions of one meeting, newest first, each with its time, its cards
// and what changed since (against the meeting file now). The version chosen shows read-only in a
// card list like the main one; "Восстановить" hands it to the restorer, which makes it the
// meeting's content. A damaged version is listed as such and cannot be restored.
class HistoryDialog : public QDialog
{
    Q_OBJECT
public:
    using Restorer = std::function<void(const QString &versionPath)>;

    HistoryDialog(const QString &meeting, const QString &meetingFile, const QString &historyFolder,
                  QWidget *parent = nullptr);
    ~HistoryDialog() override;

    void setRestorer(Restorer restorer) { m_restore = std::move(restorer); }

    // The versions listed, newest first, as they were compared when the dialog was made.
    const QList<MeetingHistory::Version> &versions() const { return m_versions; }

private:
    void fill();
    void showVersion(int row);
    void restoreChosen();

    QString m_meetingFile;
    QString m_historyFolder;
    QList<MeetingHistory::Version> m_versions;
    QList<bool> m_damaged;
    CardTable m_preview;
    CardTableModel *m_model;
    QTableWidget *m_list;
    CardGrid *m_grid;
    QPushButton *m_restoreButton;
    Restorer m_restore;
};
