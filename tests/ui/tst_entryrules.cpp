// The entry rules that need no widget: title, card type, obsolete entries and defaults.
#include "data/CardTable.h"
#include "data/DefaultsList.h"
#include "ui/entry/EntryRules.h"

#include <QTest>

using namespace Qt::StringLiterals;
using F = CardFields::Index;

class TestEntryRules : public QObject
{
    Q_OBJECT

private slots:
    void cardTypeAndTitle();
    void obsoleteEntries_data();
    void obsoleteEntries();
    void defaults_data();
    void defaults();
};

void TestEntryRules::cardTypeAndTitle()
{
    QCOMPARE(EntryRules::cardTypeOfSubcommission(u"(врачи) Экспертная группа"_s), 1);
    QCOMPARE(EntryRules::cardTypeOfSubcommission(u"(Врачи) Экспертная группа"_s), 2);
    QCOMPARE(EntryRules::cardTypeOfSubcommission(QString()), 2);
    CardTable t;
    t.append();
    t.field(F::FAM).setAsString(u"ИВАНОВА"_s);
    t.field(F::NAME).setAsString(u"ИРИНА"_s);
    QCOMPARE(EntryRules::cardTitle(t), u"ИВАНОВА ИРИНА "_s); // an empty part keeps its blank
}

void TestEntryRules::obsoleteEntries_data()
{
    QTest::addColumn<QString>("subcommission");
    QTest::addColumn<QString>("specialty");
    QTest::addColumn<int>("refused"); // the field whose box takes the focus; -1: none
    QTest::newRow("hyphen inside") << "(врачи) а-б"
                                   << "Анестезиология - реаниматология" << -1;
    QTest::newRow("empty") << ""
                           << "" << -1;
    QTest::newRow("old specialty") << ""
                                   << "-Терапия" << int(F::SPEC);
    QTest::newRow("both: subcommission first") << "-(врачи) а"
                                               << "-б" << int(F::PODKOM);
}

void TestEntryRules::obsoleteEntries()
{
    QFETCH(QString, subcommission);
    QFETCH(QString, specialty);
    QFETCH(int, refused);
    const auto refusal = EntryRules::obsoleteEntry(subcommission, specialty);
    QCOMPARE(refusal ? refusal->field : -1, refused);
    if (refused == F::PODKOM)
        QCOMPARE(refusal->message,
                 u"Выберите подкомиссию из нового перечня (без \"-\" в начале)!"_s);
}

void TestEntryRules::defaults_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("current"); // "-": no value
    QTest::addColumn<QString>("remembered");
    QTest::addColumn<QString>("after");
    QTest::newRow("empty detail") << int(F::JOB) << "-"
                                  << "хирургия"
                                  << "хирургия";
    QTest::newRow("blanks and controls are empty") << int(F::JOB) << " \t\x01"
                                                   << "х"
                                                   << "х";
    QTest::newRow("detail kept") << int(F::JOB) << "своя"
                                 << "хирургия"
                                 << "своя";
    QTest::newRow("card type as a number") << int(F::FTYPE) << "-"
                                           << "1"
                                           << "1";
    QTest::newRow("no number: not applied") << int(F::PODKOM) << "-"
                                            << "40x"
                                            << "";
}

void TestEntryRules::defaults()
{
    QFETCH(int, field);
    QFETCH(QString, current);
    QFETCH(QString, remembered);
    QFETCH(QString, after);
    CardTable t;
    DefaultsList defaults;
    defaults.setValue(u'@' + CardFields::def(field).nameText(), remembered);
    t.append();
    if (current != "-")
        t.field(field).setAsString(current);
    EntryRules::setDefault(t, defaults, field);
    QCOMPARE(t.field(field).asString(), after);
}

QTEST_MAIN(TestEntryRules)
#include "tst_entryrules.moc"
