// The entry rules that need no widget: title, card type, obsolete entries and defaults.
#include "data/CardTable.h"
#include "data/DefaultsList.h"
#include "data/ReferenceLists.h"
#include "ui/entry/EntryRules.h"

#include <QTest>

using F = CardFields::Index;

class TestEntryRules : public QObject
{
    Q_OBJECT

private slots:
    void titleKeepsTheBlanksOfEmptyParts();
    void cardTypeOfSubcommission_data();
    void cardTypeOfSubcommission();
    void obsoleteEntries_data();
    void obsoleteEntries();
    void defaults_data();
    void defaults();
    void texts();
};

void TestEntryRules::titleKeepsTheBlanksOfEmptyParts()
{
    CardTable t;
    t.append();
    t.field(F::FAM).setAsString(QStringLiteral("ИВАНОВА"));
    t.field(F::NAME).setAsString(QStringLiteral("ИРИНА"));
    QCOMPARE(EntryRules::cardTitle(t), QStringLiteral("ИВАНОВА ИРИНА "));
    t.field(F::FAM).clear();
    QCOMPARE(EntryRules::cardTitle(t), QStringLiteral(" ИРИНА "));
}

void TestEntryRules::cardTypeOfSubcommission_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("type");
    QTest::newRow("doctors") << ReferenceLists::normalSubcommissions().textOfKey(u"404") << 1;
    QTest::newRow("mid-level") << ReferenceLists::normalSubcommissions().textOfKey(u"410") << 2;
    QTest::newRow("other letter case") << "(Врачи) группа" << 2;
    QTest::newRow("empty") << "" << 2;
}

void TestEntryRules::cardTypeOfSubcommission()
{
    QFETCH(QString, text);
    QFETCH(int, type);
    QCOMPARE(EntryRules::cardTypeOfSubcommission(text), type);
}

void TestEntryRules::obsoleteEntries_data()
{
    QTest::addColumn<QString>("subcommission");
    QTest::addColumn<QString>("specialty");
    QTest::addColumn<int>("refused"); // the field whose box takes the focus; -1: none
    QTest::newRow("current entries") << "(врачи) группа"
                                     << "Анестезиология - реаниматология" << -1;
    QTest::newRow("empty") << ""
                           << "" << -1;
    QTest::newRow("old subcommission") << "-(врачи) группа"
                                       << "Терапия" << int(F::PODKOM);
    QTest::newRow("old specialty") << ""
                                   << "-Терапия" << int(F::SPEC);
    QTest::newRow("both: subcommission first") << "-a"
                                               << "-b" << int(F::PODKOM);
}

void TestEntryRules::obsoleteEntries()
{
    QFETCH(QString, subcommission);
    QFETCH(QString, specialty);
    QFETCH(int, refused);
    const auto refusal = EntryRules::obsoleteEntry(subcommission, specialty);
    QCOMPARE(refusal ? refusal->field : -1, refused);
    if (refused == F::SPEC)
        QCOMPARE(refusal->message, QStringLiteral("Выберите специальность из нового перечня (без "
                                                  "\"-\" в начале)!"));
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
    QTest::newRow("blanks and controls count as empty") << int(F::JOB) << " \t\x01"
                                                        << "х"
                                                        << "х";
    QTest::newRow("detail kept") << int(F::JOB) << "своя"
                                 << "хирургия"
                                 << "своя";
    QTest::newRow("nothing remembered") << int(F::JOB) << "-"
                                        << ""
                                        << "";
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

    // Remembering the card's value, and forgetting it with the empty one.
    EntryRules::rememberField(t, defaults, field);
    QCOMPARE(defaults.count(), t.field(field).asString().isEmpty() ? 0 : 1);
}

void TestEntryRules::texts()
{
    QCOMPARE(EntryRules::workplaceRemembered(QString()),
             QStringLiteral("Учреждение \"\" запомнено как место работы по умолчанию."));
    QCOMPARE(EntryRules::detailRemembered(QStringLiteral("кардиология")),
             QStringLiteral("\"кардиология\" запомнено как уточнение места работы по умолчанию."));
    QCOMPARE(EntryRules::capitalizeFirst(QStringLiteral("ёлкина")), QStringLiteral("Ёлкина"));
    QCOMPARE(EntryRules::closeQuestion(false),
             QStringLiteral("Карточка была изменена. Сохранить изменения?"));
}

QTEST_MAIN(TestEntryRules)
#include "tst_entryrules.moc"
