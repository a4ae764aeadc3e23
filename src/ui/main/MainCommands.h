#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStyle>

class QAction;
class QMenuBar;
class QToolBar;
class QWidget;

// The main window's commands as one table of definitions, from which the actions, the menus and
// the tool bar are built: every text lives here and nowhere else.
namespace MainCommands {

struct Command
{
    QString name;    // the action's objectName
    QString caption; // "&" marks the access letter
    QString hint;    // short part "|" long part; without "|" it serves as both
    QKeySequence shortcut;
    QString themeIcon;                  // the desktop theme's icon, empty for none
    QStyle::StandardPixmap bundledIcon; // when the theme has none
    bool checkable = false;
};

struct Menu
{
    QString name;
    QString caption;
    QString hint;
    QStringList items; // command names; "-" is a separator
};

const QList<Command> &commands();
const QList<Menu> &menus();
// Left to right: command names, "-" for a separator; the filter box comes last.
QStringList toolBarItems();

// The parts of a hint: the tooltip and the status-bar text.
QString shortHint(const QString &hint);
QString longHint(const QString &hint);

// The actions of every command, as children of window; checkable ones start checked. Their
// shortcuts act only while the key is pressed in window (HookAppKeyDown).
QHash<QString, QAction *> createActions(QWidget *window);
void HookAppKeyDown(const QList<QAction *> &actions);

void fillMenuBar(QMenuBar *menuBar, const QHash<QString, QAction *> &actions);
void fillToolBar(QToolBar *toolBar, const QHash<QString, QAction *> &actions, QWidget *filterBox);

} // namespace MainCommands
