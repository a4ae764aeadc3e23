// The history of a meeting of a dozen cards, three saves deep, saved as a picture of the dialog
// "История заседания": history_shot <folder written by sample_meeting> <png>.
#include "app/Application.h"
#include "data/MeetingFiles.h"
#include "data/MeetingHistory.h"
#include "data/ReferenceLists.h"
#include "data/TDM1.h"
#include "platform/Clock.h"
#include "support/TestEnvironment.h"
#include "ui/history/HistoryDialog.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    TestEnvironment::isolateHome();
    QApplication app(argc, argv);
    Application::prepare(app);
    if (argc < 3)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]) + u'/';
    const QString out = QString::fromLocal8Bit(argv[2]);
    const QString name = QStringLiteral("2017-Заседание 15 марта");
    const ReferenceLists lists;
    DM1 = new TDM1; // the calculated columns, as the main window has them
    const ReferenceList subcommissions = lists.subcommissionFilter();
    DM1->setSubcommissionLookup(&subcommissions);
    CardTable table;
    LoadMeeting(table, folder, name);

    // A decision changed, a card deleted by mistake, a card added: one save each.
    Clock::setFixed(QDateTime(QDate(2017, 3, 15), QTime(10, 12, 5)));
    table.setCurrentRow(1);
    table.edit();
    table.field(CardFields::RESOL).setAsString(QStringLiteral("2"));
    table.post();
    SaveMeeting(table, lists, folder, name);
    Clock::setFixed(QDateTime(QDate(2017, 3, 15), QTime(11, 40, 31)));
    table.setCurrentRow(4);
    table.deleteCurrent();
    SaveMeeting(table, lists, folder, name);
    Clock::setFixed(QDateTime(QDate(2017, 3, 16), QTime(9, 3, 17)));
    table.setCurrentRow(0);
    table.deleteCurrent();
    SaveMeeting(table, lists, folder, name);

    HistoryDialog dialog(name, meetingFilePath(folder, name),
                         MeetingHistory::folderOf(folder, name));
    QTimer::singleShot(600, &dialog, [&] {
        dialog.grab().save(out);
        dialog.reject();
    });
    dialog.exec();
    delete DM1;
    return 0;
}
