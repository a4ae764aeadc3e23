// The figures above the data layer: the card list of the real main window over the meeting,
// the printed list and the export of the whole meeting.
#include "BenchFigures.h"

#include "data/CardTable.h"
#include "data/MeetingFiles.h"
#include "data/ReferenceLists.h"
#include "data/TDM1.h"
#include "output/Export.h"
#include "output/PrintList.h"
#include "platform/DocumentOpener.h"
#include "ui/controls/CardGrid.h"
#include "ui/main/CardListCommands.h"
#include "ui/main/TfmMain.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace BenchFigures {

namespace {

// A step of the list and the repaint it causes, as the user waits for both.
template <typename F> double withRepaint(QWidget *view, F &&step)
{
    return timed([&] {
        step();
        QCoreApplication::processEvents();
        view->repaint();
    });
}

} // namespace

void runExtraFigures(int n, int runs, const ReferenceLists &lists, const QString &folder,
                     double load, Report &report)
{
    // The main window over the meeting saved above, as the program shows it at start, with a
    // second meeting as large to switch to.
    QFile::copy(folder + QStringLiteral("Заседание.dat"),
                folder + QStringLiteral("Заседание 2.dat"));
    DM1 = new TDM1;
    auto *main = new TfmMain(folder);
    const double firstShow = timed([&] {
        main->show();
        (void)QTest::qWaitForWindowExposed(main);
        QCoreApplication::processEvents();
    });
    CardTable &table = DM1->cdsQor();
    CardGrid *grid = main->findChild<CardGrid *>(QStringLiteral("DBGridEh1"));
    report.add(n, "the window opens on the meeting", firstShow, "load the meeting", load, Target());
    const Target listTarget = Target::absolute(n == 100000 ? 100 : 0);
    // Every card shown anew, as after a load: what the list adds to the load when it opens.
    report.add(n, "the list shows all cards anew",
               median(runs, [&] { return withRepaint(grid, [&] { table.setFilter(QString()); }); }),
               QString(), 0, listTarget);
    report.add(
        n, "the list scrolls a page",
        median(runs,
               [&] { return withRepaint(grid, [&] { QTest::keyClick(grid, Qt::Key_PageDown); }); }),
        QString(), 0, listTarget);
    int flip = 0;
    report.add(n, "the list follows a sort (title click)",
               median(runs,
                      [&] {
                          const int field = ++flip % 2 ? CardFields::C_PODKOM : CardFields::FAM;
                          return withRepaint(
                              grid, [&] { main->cardList()->DBGridEh1TitleBtnClick(field); });
                      }),
               QString(), 0, listTarget);

    // The printed list and the export of every card, with every column of the list.
    const QList<PrintColumn> columns = main->printColumns();
    DocumentOpener::install([](const QString &) { return true; });
    QString printed;
    const auto printIt = [&] {
        return timedOnQuietDisk(
            [&] { printed = PrintList(PrintListTitle(main->meetingTitle()), columns, table); });
    };
    printIt(); // the list's bytes, for the plain write
    QByteArray printedBytes;
    if (QFile file(printed); file.open(QIODevice::ReadOnly))
        printedBytes = file.readAll();
    // In turns, and the plain write makes its file anew as the list does: the one before is
    // removed first, so that neither writes over blocks the disk has just written.
    const QString plainCopy = folder + QStringLiteral("plain-list.rtf");
    const auto [print, plain] = mediansInTurns(runs, printIt, [&] {
        return timedOnQuietDisk([&] {
            QFile::remove(plainCopy);
            plainWriteAndSync(plainCopy, printedBytes);
        });
    });
    report.add(
        n,
        QStringLiteral("PrintList, all columns (%1 MB)").arg(printedBytes.size() / 1e6, 0, 'f', 1),
        print, "plain write and sync of its bytes", plain, Target::ratio(3.0));
    QFile::remove(plainCopy);
    QDir().mkpath(folder + QStringLiteral("export"));
    report.add(
        n, "export the meeting",
        median(runs, [&] { WriteExport(table, lists, folder + QStringLiteral("export"), folder); }),
        QString(), 0, Target::absolute(0));
    DocumentOpener::install({});
    switchFigure(n, runs, main, load, report);
    entryFormFigures(n, runs, main, report);
    delete main;
    delete DM1;
    DM1 = nullptr;
}

} // namespace BenchFigures
