#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QComboBox;
class QWidget;

// The meetings of the program folder in the meeting list `cbKom`, and the current meeting, whose
// cards the card table holds. The commands throw QorError with the message the user sees.
class MeetingList : public QObject
{
    Q_OBJECT
public:
    MeetingList(QComboBox *cbKom, const QString &folder, QObject *parent = nullptr);

    // The current meeting; empty when there is none.
    QString current() const { return m_current; }
    QString folder() const { return m_folder; }
    QStringList names() const;

    // The meeting fill() selects first, read ahead on a worker thread (PreloadMeeting).
    static void preloadFirst(const QString &folder);
    // At the first show: the meetings of the folder, the first one selected; then, once the
    // window is on the screen, openSelected() makes it current and loads its cards.
    void fill();
    void openSelected();
    // The meeting switch: the selected entry becomes the current meeting and its cards are
    // loaded without the category date rule. switched() follows also when the load fails.
    void cbKomChange();
    // New meeting: asks for a name, adds it at the end, makes it current and saves it.
    void btnAddClick();
    // Delete meeting: asks, puts the meeting file in the desktop's trash where there is one
    // (deletes it otherwise), then makes the first meeting left current.
    void tblDelClick();
    // The card table's after-post and after-delete save. After one has failed, the table holds
    // changes that the meeting file lacks until a save succeeds.
    void saveCurrent();
    // Before the cards of the current meeting leave the table (another meeting, the end of the
    // program): a failed save is tried again, and when it fails still the user decides whether
    // to go on without those changes. False: stay.
    bool mayLeave();
    // "История заседания": the versions of the current meeting; the one the user restores
    // becomes the meeting's content (the file as it was becomes a version) and is loaded.
    void showHistory(QWidget *parent);
    void restoreVersion(const QString &versionPath);

signals:
    void switched();

private:
    // The cards of the current meeting into the card table.
    void loadCurrent();
    bool removeMeetingFile(const QString &name) const;

    QComboBox *m_cbKom;
    QString m_folder;
    QString m_current;
};
