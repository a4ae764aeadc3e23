#include "ui/main/MainCommands.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QWidget>

namespace MainCommands {

const QList<Command> &commands()
{
    static const QList<Command> table = {
        {"aNew", "Создать", "Создать|Создание новой карточки", QKeySequence(Qt::Key_Insert),
         "document-new", QStyle::SP_FileIcon},
        {"aOpen", "&Открыть", "Открыть|Открытие выбранной карточки",
         QKeySequence(Qt::CTRL | Qt::Key_O), "document-open", QStyle::SP_DialogOpenButton},
        {"aDel", "&Удалить", "Удалить|Удаление карточки", QKeySequence(), "edit-delete",
         QStyle::SP_TrashIcon},
        {"aPrint", "&Печать...", "Печать|Печать списка записей", QKeySequence(), "document-print",
         QStyle::SP_FileDialogDetailedView},
        {"aExit", "Вы&ход", "Выход|Завершение работы с программой",
         QKeySequence(Qt::ALT | Qt::Key_X), "application-exit", QStyle::SP_DialogCloseButton},
        {"aToolBar", "Панель &инструментов",
         "Панель инструментов|Вывод и скрытие панели инструментов", QKeySequence(), "",
         QStyle::SP_CustomBase, true},
        {"aStatusBar", "&Строка состояния", "Вывод и скрытие строки состояния", QKeySequence(), "",
         QStyle::SP_CustomBase, true},
        {"aExport", "Выгрузить...", "Выгрузить|Выгрузка данных...", QKeySequence(),
         "document-save-as", QStyle::SP_DialogSaveButton},
        {"aFind", "На&йти...", "Найти|Поиск", QKeySequence(Qt::Key_F3), "edit-find",
         QStyle::SP_FileDialogContentsView},
        {"aHistory", "&История заседания...",
         "История заседания|Прежние версии заседания и их восстановление", QKeySequence(),
         "document-open-recent", QStyle::SP_BrowserReload},
        {"aAbout", "&О программе", "О программе|Вывод сведений о программе", QKeySequence(),
         "help-about", QStyle::SP_MessageBoxInformation},
        {"aManual", "Руководство", "Руководство|Открытие руководства пользователя", QKeySequence(),
         "help-contents", QStyle::SP_DialogHelpButton},
    };
    return table;
}

const QList<Menu> &menus()
{
    static const QList<Menu> table = {
        {"mnFile",
         "&Файл",
         "Команды управления карточками и папками",
         {"aNew", "aOpen", "aDel", "-", "aPrint", "-", "aExit"}},
        {"mnView", "&Вид", "Команды настройки окна", {"aToolBar", "aStatusBar"}},
        {"mnService", "&Сервис", "Дополнительные команды", {"aExport", "aFind", "-", "aHistory"}},
        {"mnHelp", "&?", "Команды получения справки", {"aAbout", "aManual"}},
    };
    return table;
}

QStringList toolBarItems()
{
    return {"aNew", "aOpen", "aDel", "-", "aFind", "aExport", "lcbFTYPE"};
}

QString shortHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.left(bar);
}

QString longHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.mid(bar + 1);
}

QHash<QString, QAction *> createActions(QWidget *window)
{
    QHash<QString, QAction *> actions;
    for (const Command &c : commands()) {
        auto *action = new QAction(c.caption, window);
        action->setObjectName(c.name);
        action->setToolTip(shortHint(c.hint));
        action->setStatusTip(longHint(c.hint));
        action->setShortcut(c.shortcut);
        if (!c.themeIcon.isEmpty()) {
            action->setIcon(QIcon::fromTheme(
                c.themeIcon, window->style()->standardIcon(c.bundledIcon, nullptr, window)));
        }
        action->setCheckable(c.checkable);
        action->setChecked(c.checkable);
        window->addAction(action);
        actions.insert(c.name, action);
    }
    HookAppKeyDown(actions.values());
    return actions;
}

void HookAppKeyDown(const QList<QAction *> &actions)
{
    // Keys pressed in another window (the entry form, a message box, the find dialog) never
    // reach the main window's commands.
    for (QAction *action : actions)
        action->setShortcutContext(Qt::WindowShortcut);
}

void fillMenuBar(QMenuBar *menuBar, const QHash<QString, QAction *> &actions)
{
    for (const Menu &m : menus()) {
        QMenu *menu = menuBar->addMenu(m.caption);
        menu->setObjectName(m.name);
        menu->menuAction()->setObjectName(m.name + QLatin1String("Action"));
        menu->menuAction()->setStatusTip(m.hint);
        menu->setToolTipsVisible(false);
        for (const QString &item : m.items) {
            if (item == QLatin1String("-"))
                menu->addSeparator();
            else
                menu->addAction(actions.value(item));
        }
    }
}

void fillToolBar(QToolBar *toolBar, const QHash<QString, QAction *> &actions, QWidget *filterBox)
{
    for (const QString &item : toolBarItems()) {
        if (item == QLatin1String("-"))
            toolBar->addSeparator();
        else if (item == filterBox->objectName())
            toolBar->addWidget(filterBox);
        else
            toolBar->addAction(actions.value(item));
    }
}

} // namespace MainCommands
