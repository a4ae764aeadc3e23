// Writes a meeting file of a dozen cards into a folder, for looking at the main window:
//   sample_meeting <folder> [meeting name]
#include "data/CardTable.h"
#include "data/MeetingFiles.h"
#include "data/ReferenceLists.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        QTextStream(stderr) << "usage: sample_meeting <folder> [meeting name]\n";
        return 2;
    }
    const QString name = args.size() > 2 ? args.at(2) : QStringLiteral("2017-Заседание 15 марта");
    struct Person
    {
        const char *fam, *name, *otch, *fam2, *name2, *otch2;
        int ftype, podkom;
    };
    const Person people[] = {
        {"Образцова", "Анна", "Сергеевна", "Образцовой", "Анне", "Сергеевне", 1, 404},
        {"Петров", "Игорь", "Николаевич", "Петрову", "Игорю", "Николаевичу", 1, 403},
        {"Смирнова", "Елена", "Викторовна", "Смирновой", "Елене", "Викторовне", 2, 410},
        {"Кузнецов", "Андрей", "Павлович", "Кузнецову", "Андрею", "Павловичу", 1, 406},
        {"Васильева", "Ольга", "Ивановна", "Васильевой", "Ольге", "Ивановне", 2, 411},
        {"Алексеев", "Дмитрий", "Олегович", "Алексееву", "Дмитрию", "Олеговичу", 1, 407},
        {"Фёдорова", "Мария", "Андреевна", "Фёдоровой", "Марии", "Андреевне", 2, 416},
        {"Михайлов", "Сергей", "Юрьевич", "Михайлову", "Сергею", "Юрьевичу", 1, 502},
        {"Новикова", "Татьяна", "Петровна", "Новиковой", "Татьяне", "Петровне", 2, 413},
        {"Егоров", "Павел", "Алексеевич", "Егорову", "Павлу", "Алексеевичу", 1, 405},
        {"Волкова", "Ирина", "Михайловна", "Волковой", "Ирине", "Михайловне", 2, 420},
        {"Соколов", "Максим", "Владимирович", "Соколову", "Максиму", "Владимировичу", 1, 402},
    };
    const ReferenceLists lists;
    CardTable table;
    int i = 0;
    for (const Person &p : people) {
        using namespace CardFields;
        table.append();
        table.field(FTYPE).setAsInteger(p.ftype);
        table.field(PODKOM).setAsInteger(p.podkom);
        table.field(CHANGEDATE).setAsFloat(42809.4 + i * 0.013);
        const QList<QPair<int, const char *>> names = {{FAM, p.fam},     {NAME, p.name},
                                                       {OTCH, p.otch},   {FAM2, p.fam2},
                                                       {NAME2, p.name2}, {OTCH2, p.otch2}};
        for (const auto &n : names)
            table.field(n.first).setAsString(QString::fromUtf8(n.second).toUpper());
        const ReferenceList &specialties = ReferenceLists::specialtiesForCardType(true, p.ftype);
        table.field(SPEC).setAsString(specialties.at((i * 7) % specialties.count()).key);
        table.field(LPU).setAsString(lists.workplaces().at((i * 5) % 40).key);
        table.field(JOB).setAsString(i % 3 == 0 ? QStringLiteral("отделение №%1").arg(i + 1)
                                                : QString());
        table.field(DOL).setAsString(ReferenceLists::positions().at((i * 11) % 100).key);
        if (i % 2 == 0) {
            table.field(CAT).setAsString(QStringLiteral("2"));
            table.field(CATDATE).setAsFloat(41011 + i * 30);
            table.field(CATNUM).setAsString(QStringLiteral("%1-к").arg(200 + i));
        }
        table.field(DECLCAT).setAsString(i % 2 == 0 ? QStringLiteral("1") : QStringLiteral("ВЫС"));
        table.field(RESOL).setAsString(i % 2 == 0 ? QStringLiteral("2") : QStringLiteral("1"));
        table.post();
        ++i;
    }
    SaveMeeting(table, lists, args.at(1), name);
    return 0;
}
