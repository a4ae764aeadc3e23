#include "ui/controls/DirectoryEdit.h"

#include "platform/Dialogs.h"
#include "platform/InstallPlaces.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QStyle>

DirectoryEdit::DirectoryEdit(QWidget *parent) : QLineEdit(parent), m_browse(new QAction(this))
{
    m_browse->setObjectName(QStringLiteral("actBrowse"));
    m_browse->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    m_browse->setToolTip(QStringLiteral("Выбрать папку (Alt+Вниз)"));
    m_browse->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Down));
    m_browse->setShortcutContext(Qt::WidgetShortcut);
    addAction(m_browse, QLineEdit::TrailingPosition);
    connect(m_browse, &QAction::triggered, this, &DirectoryEdit::browse);
}

void DirectoryEdit::setInitialFolder(const QString &folder)
{
    setText(folder);
    m_lastPicked = folder;
}

QString DirectoryEdit::startFolder() const
{
    QString folder = text().isEmpty() ? m_lastPicked : text();
    // A folder still to be made: its nearest existing parent serves better than the root.
    QFileInfo info(folder);
    while (!folder.isEmpty() && !info.isDir()) {
        const QString parent = info.absolutePath();
        if (parent == info.absoluteFilePath())
            break;
        folder = parent;
        info = QFileInfo(folder);
    }
    return info.isDir() && !folder.isEmpty() ? QDir::toNativeSeparators(folder)
                                             : InstallPlaces::rootFolder();
}

void DirectoryEdit::browse()
{
    QString folder = startFolder();
    if (!Dialogs::instance().chooseFolder(m_dialogTitle, folder))
        return;
    folder = QDir::toNativeSeparators(folder);
    setText(folder);
    m_lastPicked = folder;
    setFocus();
}
