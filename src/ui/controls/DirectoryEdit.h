#pragma once

#include <QLineEdit>

class QAction;

// A folder field: the user types a folder, or picks one with the browse button at its right
// end (or Alt+Down) in the system's folder picker, which then replaces the text.
class DirectoryEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit DirectoryEdit(QWidget *parent = nullptr);

    // The prompt the folder picker shows.
    void setDialogTitle(const QString &title) { m_dialogTitle = title; }
    // The text, and where the picker starts while the field is empty.
    void setInitialFolder(const QString &folder);

    QAction *browseAction() const { return m_browse; }

    // Opens the picker at the folder in the field or, when the field is empty, at the last
    // folder picked (at first the initial folder); when that folder does not exist, at its
    // nearest existing parent, and at the root when there is none.
    void browse();

private:
    QString startFolder() const;

    QString m_dialogTitle;
    QString m_lastPicked;
    QAction *m_browse;
};
