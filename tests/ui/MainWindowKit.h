#pragma once

// The client's three long-lived objects on one program folder, driven as a clerk drives the main
// window: by objectName, offscreen, with the command guard around what the entry form would do.
#include "app/CommandGuard.h"
#include "data/CardTestData.h"
#include "data/TDM1.h"
#include "ui/controls/CardGrid.h"
#include "ui/entry/TfmVvod.h"
#include "ui/main/TfmMain.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <functional>

class MainWindowClient
{
public:
    explicit MainWindowClient(const QString &folder)
    {
        DM1 = new TDM1;
        main = new TfmMain(folder);
        entry = new TfmVvod(main);
    }
    ~MainWindowClient()
    {
        delete main; // the entry form with it
        delete DM1;
        DM1 = nullptr;
    }
    bool show()
    {
        main->show();
        main->activateWindow();
        return QTest::qWaitForWindowActive(main);
    }
    template <typename T> T *child(const char *name) const
    {
        return main->findChild<T *>(QLatin1String(name));
    }
    QString status() const { return child<QLabel>("StatusBarPanel")->text(); }
    CardGrid *grid() const { return child<CardGrid>("DBGridEh1"); }
    QComboBox *meetings() const { return child<QComboBox>("cbKom"); }
    CardTable &table() const { return DM1->cdsQor(); }
    QString currentSurname() const
    {
        return table().isEmpty() ? QString() : table().text(table().currentRow(), CardFields::FAM);
    }
    void run(const char *action) const { main->action(QLatin1String(action))->trigger(); }
    // "Применить" of the entry form: the post and its save, through the command guard.
    bool post(const QString &fam) const
    {
        return runGuarded([&] { addCard(table(), 1, 404, fam); });
    }
    void switchTo(int index) const
    {
        meetings()->setCurrentIndex(index);
        emit meetings()->activated(index);
    }
    // How often the entry form opened while action ran; each opening is closed at once.
    int entryFormOpenings(const std::function<void()> &action) const
    {
        int opened = 0;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (entry->isVisible()) {
                ++opened;
                entry->reject();
            }
        });
        closer.start(0);
        action();
        return opened;
    }

    TfmMain *main;
    TfmVvod *entry;
};
