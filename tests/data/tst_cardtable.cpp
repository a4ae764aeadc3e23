#include "CardTestData.h"

#include "data/CardOrder.h"
#include "data/CardTableModel.h"
#include "data/TDM1.h"
#include "platform/Clock.h"
#include "platform/Cp1251.h"
#include "platform/QorError.h"
#include "support/TestEnvironment.h"

#include <QAbstractItemModelTester>
#include <QHash>
#include <QSignalSpy>
#include <QTest>
#include <cmath>

class TestCardTable : public QObject
{
    Q_OBJECT

private slots:
    void fieldDefinitions();
    void textAssignment_data();
    void textAssignment();
    void dateFieldKeepsWholeDays();
    void entryTimesAreWallClockTimes_data();
    void entryTimesAreWallClockTimes();
    void valuesWithoutValue();
    void textsStayApartWhenOneChanges();
    void integerFieldRefusesText();
    void assignmentNeedsEditState();
    void writesPastTheStoredFieldsRefused();
    void letterOutsideCodePageRefused();

    void categoryDateRule_data();
    void categoryDateRule();
    void requiredFieldsInFieldOrder();
    void refusedPostStoresNothing();
    void dateRuleComesBeforeRequiredTestAndSave();
    void afterPostFailureKeepsCard();
    void handlersDisconnectAndReconnect();

    void navigationFlags();
    void cancelAfterAppendReturnsToPreviousCard();
    void deleteMovesToNextCard();
    void emptyRemovesHiddenCards();
    void emptyViewIsAtStartAndEnd();

    void filterExpressions_data();
    void filterExpressions();
    void badFilterRefused_data();
    void badFilterRefused();
    void sortOrders_data();
    void sortOrders();
    void sortKeepsCurrentCardAndIsStable();
    void byteOrderIsTheTextOrder();
    void insertsAndDeletesWhileFilteredAndSorted();
    void editMovesCardInSortOrder();
    void bookmarksAcrossFilterChanges();
    void locateIsExactAndInOrder();

    void calculatedFields_data();
    void calculatedFields();

    void bulkInsertWhileSortedMatchesSingleInserts();
    void modelFollowsTable();
    void suppressedUpdatesResetOnce();
};

void TestCardTable::fieldDefinitions()
{
    CardTable t;
    QCOMPARE(t.fieldCount(), 20);
    QCOMPARE(t.field(0).name(), QStringLiteral("FTYPE"));
    QCOMPARE(t.field(17).name(), QStringLiteral("RESOL"));
    QCOMPARE(t.field(6).displayLabel(), QStringLiteral("Фамилия  (кому)"));
    QCOMPARE(t.fieldByName(u"lpu").size(), 6);
    QVERIFY(!t.fieldByName(u"JOB").required());
    QVERIFY(t.fieldByName(u"C_PODKOM").isCalculated());
    QVERIFY_THROWS_EXCEPTION(QorError, t.fieldByName(u"NOSUCH"));
    int required = 0;
    for (int i = 0; i < CardFields::StoredCount; ++i)
        required += t.field(i).required() ? 1 : 0;
    QCOMPARE(required, 14); // all but JOB, CAT, CATDATE, CATNUM
}

void TestCardTable::textAssignment_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("assigned");
    QTest::addColumn<QString>("stored");

    QTest::newRow("trailing blanks go") << "FAM"
                                        << "ИВАНОВ  "
                                        << "ИВАНОВ";
    QTest::newRow("45 letters cut to 40") << "FAM" << QString(45, u'Я') << QString(40, u'Я');
    QTest::newRow("cut first, then blanks") << "DOL"
                                            << "м б x"
                                            << "м б";
    QTest::newRow("trailing TAB stays") << "LPU"
                                        << "84\t"
                                        << "84\t";
    QTest::newRow("TAB before blanks stays") << "LPU"
                                             << "8\t  "
                                             << "8\t";
    QTest::newRow("leading blanks stay") << "NAME"
                                         << "  АННА"
                                         << "  АННА";
    QTest::newRow("all blanks give empty text") << "JOB"
                                                << "   "
                                                << "";
    QTest::newRow("integer as text") << "PODKOM"
                                     << "404"
                                     << "404";
    QTest::newRow("negative integer") << "FTYPE"
                                      << "-2"
                                      << "-2";
    QTest::newRow("lone LF becomes CR LF") << "JOB"
                                           << "first\nsecond"
                                           << "first\r\nsecond";
    QTest::newRow("lone CR becomes CR LF") << "JOB"
                                           << "first\rsecond"
                                           << "first\r\nsecond";
    QTest::newRow("CR LF stays") << "JOB"
                                 << "a\r\nb"
                                 << "a\r\nb";
    QTest::newRow("LF CR is two breaks") << "JOB"
                                         << "a\n\rb"
                                         << "a\r\n\r\nb";
    QTest::newRow("a break cut in half goes")
        << "FAM" << QString(39, u'Я') + "\nX" << QString(39, u'Я');
}

void TestCardTable::textAssignment()
{
    QFETCH(QString, field);
    QFETCH(QString, assigned);
    QFETCH(QString, stored);
    CardTable t;
    t.append();
    t.fieldByName(field).setAsString(assigned);
    QVERIFY(t.fieldByName(field).hasValue()); // the empty text is a value too
    QCOMPARE(t.fieldByName(field).asString(), stored);
}

void TestCardTable::dateFieldKeepsWholeDays()
{
    CardTable t;
    t.append();
    t.field(CardFields::CATDATE).setAsFloat(41011.75);
    QCOMPARE(t.field(CardFields::CATDATE).asFloat(), 41011.0);
    t.field(CardFields::CHANGEDATE).setAsFloat(42809.6041666);
    QCOMPARE(t.field(CardFields::CHANGEDATE).asFloat(), 42809.6041666);
    QCOMPARE(t.field(CardFields::CATDATE).asString(), QStringLiteral("12.04.2012"));
    t.field(CardFields::CATDATE).setAsFloat(2958465.9); // 31.12.9999, the last day there is
    QCOMPARE(t.field(CardFields::CATDATE).asString(), QStringLiteral("31.12.9999"));
    for (double absurd : {2958466.0, -693594.0, 1e300, -1e300})
        QVERIFY_THROWS_EXCEPTION(QorError, t.field(CardFields::CATDATE).setAsFloat(absurd));
    QCOMPARE(t.field(CardFields::CATDATE).asString(), QStringLiteral("31.12.9999"));

    // Written digit by digit, as Qt's patterns write them, from the year 1 to 9999.
    for (double day = -693593.0; day < 2958466.0; day += 9973.37) {
        t.field(CardFields::CHANGEDATE).setAsFloat(day);
        const QDateTime when = Clock::fromDayNumber(day);
        const QString pattern = when.time() == QTime(0, 0) ? "dd.MM.yyyy" : "dd.MM.yyyy H:mm:ss";
        QCOMPARE(t.field(CardFields::CHANGEDATE).asString(), when.toString(pattern));
    }
}

// An entry time is what the clock said, whatever the time zone makes of that hour: the hour a
// clock skips in spring and the one it goes through twice in autumn read and print as themselves.
void TestCardTable::entryTimesAreWallClockTimes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("dayNumber");
    QTest::newRow("ordinary") << "15.03.2017 14:30:00" << 42809.60417;
    QTest::newRow("in the spring gap") << "29.03.2026 2:30:00" << 46110.10417;
    QTest::newRow("in the autumn fold") << "25.10.2026 2:30:00" << 46320.10417;
    QTest::newRow("midnight: date alone") << "29.03.2026" << 46110.0;
}

void TestCardTable::entryTimesAreWallClockTimes()
{
    QFETCH(QString, text);
    QFETCH(double, dayNumber);
    const bool zoneSet = qEnvironmentVariableIsSet("TZ");
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    CardTable t;
    t.append();
    t.field(CardFields::CHANGEDATE).setAsString(text);
    QCOMPARE(std::round(t.field(CardFields::CHANGEDATE).asFloat() * 1e5) / 1e5, dayNumber);
    t.field(CardFields::CHANGEDATE).setAsFloat(dayNumber);
    const QString shown = t.field(CardFields::CHANGEDATE).asString();
    zoneSet ? qputenv("TZ", zone) : qunsetenv("TZ");
    QCOMPARE(shown, text);
}

void TestCardTable::valuesWithoutValue()
{
    CardTable t;
    t.append();
    for (int i = 0; i < t.fieldCount(); ++i) {
        const CardField f = t.field(i);
        QVERIFY2(!f.hasValue(), qPrintable(f.name()));
        if (!f.isCalculated()) {
            QCOMPARE(f.asString(), QString());
            QCOMPARE(f.asInteger(), 0);
            QCOMPARE(f.asFloat(), 0.0);
        }
    }
    t.field(CardFields::FAM).setAsString(QStringLiteral("A"));
    t.field(CardFields::FAM).clear();
    QVERIFY(!t.field(CardFields::FAM).hasValue());
}

void TestCardTable::textsStayApartWhenOneChanges()
{
    // A card keeps its texts side by side in one buffer: a text that grows, shrinks or goes
    // must leave every other one as it was, in the pending card and in the stored one.
    CardTable t;
    t.append();
    QHash<int, QString> expected;
    for (int f = 0; f < CardFields::StoredCount; ++f) {
        if (CardFields::def(f).type == FieldType::Text) {
            expected[f] = QString(CardFields::def(f).size / 2 + 1, QChar(u'А' + f));
            t.field(f).setAsString(expected[f]);
        }
    }
    const auto check = [&](const char *when) {
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QVERIFY2(t.field(it.key()).asString() == it.value(), when);
    };
    for (const QString &fam : {QString(40, u'Ш'), QStringLiteral("Ю"), QString()}) {
        t.field(CardFields::FAM).setAsString(fam);
        expected[CardFields::FAM] = fam;
        check("after the surname changed");
    }
    t.field(CardFields::JOB).clear();
    expected.remove(CardFields::JOB);
    QVERIFY(!t.field(CardFields::JOB).hasValue());
    check("after the detail went");
    t.field(CardFields::FTYPE).setAsInteger(1);
    t.field(CardFields::PODKOM).setAsInteger(404);
    t.field(CardFields::CHANGEDATE).setAsFloat(42809);
    t.post();
    check("stored");
    t.edit(); // the pending card is a copy
    t.field(CardFields::OTCH2).setAsString(QStringLiteral("ДРУГОЕ"));
    t.cancel();
    check("after a cancelled edit");
}

void TestCardTable::integerFieldRefusesText()
{
    CardTable t;
    t.append();
    QVERIFY_THROWS_EXCEPTION(QorError,
                             t.field(CardFields::PODKOM).setAsString(QStringLiteral("4x")));
    QVERIFY_THROWS_EXCEPTION(
        QorError, t.field(CardFields::PODKOM).setAsString(QStringLiteral("99999999999")));
    QVERIFY(!t.field(CardFields::PODKOM).hasValue());
}

void TestCardTable::assignmentNeedsEditState()
{
    CardTable t;
    QVERIFY_THROWS_EXCEPTION(QorError, t.field(CardFields::FAM).setAsString(QStringLiteral("A")));
    addCard(t, 1, 404, QStringLiteral("A"));
    QVERIFY_THROWS_EXCEPTION(QorError, t.field(CardFields::FAM).setAsString(QStringLiteral("B")));
    t.edit();
    t.field(CardFields::FAM).setAsString(QStringLiteral("B"));
    QCOMPARE(t.text(0, CardFields::FAM), QStringLiteral("A")); // stored only at post
    t.post();
    QCOMPARE(t.text(0, CardFields::FAM), QStringLiteral("B"));
}

void TestCardTable::writesPastTheStoredFieldsRefused()
{
    CardTable t;
    t.append();
    QVERIFY_THROWS_EXCEPTION(QorError,
                             t.field(CardFields::C_PODKOM).setAsString(QStringLiteral("x")));
    QVERIFY_THROWS_EXCEPTION(QorError, t.field(CardFields::C_FTYPE).setAsInteger(1));
    QVERIFY_THROWS_EXCEPTION(QorError, t.field(CardFields::C_FTYPE).clear());
    QVERIFY_THROWS_EXCEPTION(QorError, t.field(CardFields::Count));
    QVERIFY_THROWS_EXCEPTION(QorError, t.field(-1));
    QVERIFY_THROWS_EXCEPTION(QorError,
                             t.setEventHandler(CardTable::Handler::Calculate, [](CardTable &) {}));
    QVERIFY(!t.isModified());
}

void TestCardTable::letterOutsideCodePageRefused()
{
    CardTable t;
    t.append();
    t.field(CardFields::NAME).setAsString(QStringLiteral("АЛИ"));
    try {
        t.field(CardFields::FAM).setAsString(QStringLiteral("Әлиев"));
        QFAIL("assignment passed");
    } catch (const QorError &e) {
        QCOMPARE(e.message(), QStringLiteral("Символ \"Ә\" нельзя записать в поле 'Фамилия': "
                                             "его нет в кодировке Windows-1251"));
    }
    QCOMPARE(t.state(), CardTable::State::Insert);
    QVERIFY(!t.field(CardFields::FAM).hasValue());
    QCOMPARE(t.field(CardFields::NAME).asString(), QStringLiteral("АЛИ"));
}

void TestCardTable::categoryDateRule_data()
{
    QTest::addColumn<int>("daysBeforeToday"); // INT_MIN: no date
    QTest::addColumn<bool>("passes");
    QTest::newRow("18250 days back passes") << 18250 << true;
    QTest::newRow("18251 days back refused") << 18251 << false;
    QTest::newRow("today passes") << 0 << true;
    QTest::newRow("tomorrow refused") << -1 << false;
    QTest::newRow("a year back passes") << 365 << true;
    QTest::newRow("no date passes") << INT_MIN << true;
}

void TestCardTable::categoryDateRule()
{
    QFETCH(int, daysBeforeToday);
    QFETCH(bool, passes);
    // Late in the evening, so that a time of day in "today" would show as an off-by-one.
    TestEnvironment::FixedClock clock(QDateTime(QDate(2026, 12, 9), QTime(23, 59, 0)));
    TDM1 dm;
    CardTable &t = dm.cdsQor();
    addCard(t, 1, 404, QStringLiteral("A"));
    t.edit();
    if (daysBeforeToday != INT_MIN)
        t.field(CardFields::CATDATE).setAsFloat(Clock::todayDayNumber() - daysBeforeToday);
    if (passes) {
        t.post();
        QCOMPARE(t.state(), CardTable::State::Browse);
    } else {
        try {
            t.post();
            QFAIL("post passed");
        } catch (const QorError &e) {
            QCOMPARE(e.message(), QStringLiteral("Неправильная дата присвоения категории!"));
        }
        QCOMPARE(t.state(), CardTable::State::Edit);
        QVERIFY(t.field(CardFields::CATDATE).hasValue());
    }
}

void TestCardTable::requiredFieldsInFieldOrder()
{
    CardTable t;
    QSignalSpy focus(&t, &CardTable::focusFieldRequested);
    t.append();
    t.field(CardFields::FTYPE).setAsInteger(1);
    const QStringList expected = {"Подкомиссия",
                                  "Дата ввода",
                                  "Фамилия",
                                  "Имя",
                                  "Отчество",
                                  "Фамилия  (кому)",
                                  "Имя  (кому)",
                                  "Отчество  (кому)",
                                  "Специальность",
                                  "Место работы",
                                  "Занимаемая должность",
                                  "Заявленная кв. категория",
                                  "Решение аттестационной комиссии"};
    const QList<int> fields = {CardFields::PODKOM, CardFields::CHANGEDATE, CardFields::FAM,
                               CardFields::NAME,   CardFields::OTCH,       CardFields::FAM2,
                               CardFields::NAME2,  CardFields::OTCH2,      CardFields::SPEC,
                               CardFields::LPU,    CardFields::DOL,        CardFields::DECLCAT,
                               CardFields::RESOL};
    for (int i = 0; i < fields.size(); ++i) {
        try {
            t.post();
            QFAIL("post passed");
        } catch (const QorError &e) {
            QCOMPARE(e.message(),
                     QStringLiteral("Поле '%1' должно иметь значение").arg(expected[i]));
        }
        QCOMPARE(focus.takeLast().at(0).toInt(), fields[i]);
        if (fields[i] == CardFields::CHANGEDATE)
            t.field(fields[i]).setAsFloat(42809);
        else
            t.field(fields[i]).setAsString(QStringLiteral("1"));
    }
    t.field(CardFields::FAM).setAsString(QString()); // the empty text is a value
    t.post();
    QCOMPARE(t.count(), 1);
}

void TestCardTable::refusedPostStoresNothing()
{
    CardTable t;
    int saves = 0;
    t.setEventHandler(CardTable::Handler::AfterPost, [&](CardTable &) { ++saves; });
    t.append();
    t.field(CardFields::FTYPE).setAsInteger(1);
    QVERIFY_THROWS_EXCEPTION(QorError, t.post());
    QCOMPARE(t.count(), 0);
    QCOMPARE(t.state(), CardTable::State::Insert);
    QCOMPARE(t.field(CardFields::FTYPE).asInteger(), 1);
    QCOMPARE(saves, 0);
    t.cancel();
    QCOMPARE(t.state(), CardTable::State::Browse);
    QVERIFY(t.isEmpty());
}

void TestCardTable::dateRuleComesBeforeRequiredTestAndSave()
{
    TestEnvironment::FixedClock clock(QDateTime(QDate(2020, 1, 1), QTime(12, 0)));
    TDM1 dm;
    int saves = 0;
    dm.setSaveAction([&] { ++saves; });
    CardTable &t = dm.cdsQor();
    QSignalSpy focus(&t, &CardTable::focusFieldRequested);
    t.append();
    t.field(CardFields::CATDATE).setAsFloat(Clock::todayDayNumber() + 1);
    try {
        t.post();
        QFAIL("post passed");
    } catch (const QorError &e) {
        QCOMPARE(e.message(), QStringLiteral("Неправильная дата присвоения категории!"));
    }
    QCOMPARE(focus.count(), 0);
    QCOMPARE(saves, 0);
}

void TestCardTable::afterPostFailureKeepsCard()
{
    CardTable t;
    t.setEventHandler(CardTable::Handler::AfterPost,
                      [](CardTable &) { throw QorError(QStringLiteral("Диск полон")); });
    QVERIFY_THROWS_EXCEPTION(QorError, addCard(t, 1, 404, QStringLiteral("A")));
    QCOMPARE(t.count(), 1);
    QCOMPARE(t.state(), CardTable::State::Browse);
}

void TestCardTable::handlersDisconnectAndReconnect()
{
    CardTable t;
    QStringList calls;
    t.setEventHandler(CardTable::Handler::BeforePost, [&](CardTable &) { calls << "before"; });
    t.setEventHandler(CardTable::Handler::AfterPost, [&](CardTable &) { calls << "after"; });
    t.setEventHandler(CardTable::Handler::AfterDelete, [&](CardTable &) { calls << "delete"; });
    {
        ScopedHandlerDisconnect a(t, CardTable::Handler::AfterPost);
        ScopedHandlerDisconnect d(t, CardTable::Handler::AfterDelete);
        addCard(t, 1, 404, QStringLiteral("A"));
        t.deleteCurrent();
    }
    QCOMPARE(calls, QStringList{"before"});
    try {
        ScopedHandlerDisconnect b(t, CardTable::Handler::BeforePost);
        throw QorError(QStringLiteral("x"));
    } catch (const QorError &) {
    }
    QVERIFY(t.isConnected(CardTable::Handler::BeforePost));
    addCard(t, 1, 404, QStringLiteral("A"));
    t.deleteCurrent();
    QCOMPARE(calls, (QStringList{"before", "before", "after", "delete"}));
    t.empty(); // raises no notification
    QCOMPARE(calls.size(), 4);
}

void TestCardTable::navigationFlags()
{
    CardTable t;
    t.first();
    QVERIFY(t.atStart() && t.atEnd());
    for (const char *name : {"A", "B", "C"})
        addCard(t, 1, 404, QString::fromLatin1(name));
    QStringList walked;
    for (t.first(); !t.atEnd(); t.next())
        walked << t.field(CardFields::FAM).asString();
    QCOMPARE(walked, (QStringList{"A", "B", "C"}));
    QCOMPARE(t.currentRow(), 2); // stays on the last card
    walked.clear();
    for (t.last(); !t.atStart(); t.prior())
        walked << t.field(CardFields::FAM).asString();
    QCOMPARE(walked, (QStringList{"C", "B", "A"}));
    t.first();
    QVERIFY(t.atStart() && !t.atEnd());
    t.next();
    QVERIFY(!t.atStart() && !t.atEnd());
}

void TestCardTable::cancelAfterAppendReturnsToPreviousCard()
{
    CardTable t;
    for (const char *name : {"A", "B", "C"})
        addCard(t, 1, 404, QString::fromLatin1(name));
    t.first();
    t.next();
    t.append();
    QVERIFY(!t.field(CardFields::FAM).hasValue());
    t.cancel();
    QCOMPARE(t.field(CardFields::FAM).asString(), QStringLiteral("B"));
    QCOMPARE(t.count(), 3);
}

void TestCardTable::deleteMovesToNextCard()
{
    CardTable t;
    for (const char *name : {"A", "B", "C"})
        addCard(t, 1, 404, QString::fromLatin1(name));
    t.first();
    t.next();
    t.deleteCurrent();
    QCOMPARE(t.field(CardFields::FAM).asString(), QStringLiteral("C"));
    t.deleteCurrent();
    QCOMPARE(t.field(CardFields::FAM).asString(), QStringLiteral("A"));
    t.deleteCurrent();
    QVERIFY(t.isEmpty());
    QCOMPARE(t.currentRow(), -1);
    QVERIFY_THROWS_EXCEPTION(QorError, t.deleteCurrent());
}

void TestCardTable::emptyViewIsAtStartAndEnd()
{
    CardTable t;
    t.setSortField(QStringLiteral("FAM"));
    QVERIFY(t.atStart() && t.atEnd());

    t.setFilter(QStringLiteral("FTYPE=1"));
    addCard(t, 2, 410, QStringLiteral("hidden")); // posted into an empty view, hidden at once
    QVERIFY(t.isEmpty());
    QVERIFY(t.atStart() && t.atEnd());

    addCard(t, 1, 404, QStringLiteral("shown"));
    QVERIFY(!t.atStart() && !t.atEnd());
    t.edit();
    t.field(CardFields::FTYPE).setAsInteger(2); // the last visible card leaves the view
    t.post();
    QVERIFY(t.isEmpty());
    QVERIFY(t.atStart() && t.atEnd());
    int walked = 0;
    for (t.first(); !t.atEnd(); t.next())
        ++walked;
    QCOMPARE(walked, 0);
}

void TestCardTable::emptyRemovesHiddenCards()
{
    CardTable t;
    addCard(t, 1, 404, QStringLiteral("A"));
    addCard(t, 2, 410, QStringLiteral("B"));
    t.setFilter(QStringLiteral("FTYPE=1"));
    t.empty();
    t.setFilter(QString());
    QCOMPARE(t.count(), 0);
    QCOMPARE(t.totalCount(), 0);
}

void TestCardTable::filterExpressions_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QStringList>("visible");
    QTest::newRow("empty") << "" << QStringList{"D1", "M1", "D2", "M2", "N"};
    QTest::newRow("doctors") << "FTYPE=1" << QStringList{"D1", "D2"};
    QTest::newRow("mid-level") << "FTYPE=2" << QStringList{"M1", "M2"};
    QTest::newRow("subcommission") << "PODKOM=404" << QStringList{"D1", "M2"};
    QTest::newRow("both") << "FTYPE=2 and PODKOM=404" << QStringList{"M2"};
    QTest::newRow("nothing matches") << "FTYPE=1 and PODKOM=410" << QStringList{};
    QTest::newRow("any case of names") << "ftype=1 AND podkom=404" << QStringList{"D1"};
    QTest::newRow("no value matches no number") << "FTYPE=0" << QStringList{};
}

void TestCardTable::filterExpressions()
{
    QFETCH(QString, expression);
    QFETCH(QStringList, visible);
    CardTable t;
    addCard(t, 1, 404, QStringLiteral("D1"));
    addCard(t, 2, 410, QStringLiteral("M1"));
    addCard(t, 1, 405, QStringLiteral("D2"));
    addCard(t, 2, 404, QStringLiteral("M2"));
    t.append(); // a card that has FTYPE without value, posted without the required test's help
    t.field(CardFields::FTYPE).setAsInteger(1);
    t.cancel();
    t.setFilter(expression);
    QStringList expected = visible;
    if (expression.isEmpty())
        expected.removeLast(); // "N" was never posted
    QCOMPARE(surnames(t), expected);
    QCOMPARE(t.count(), expected.size());
    QCOMPARE(t.isEmpty(), expected.isEmpty());
    QCOMPARE(t.currentRow(), expected.isEmpty() ? -1 : 0);
    QCOMPARE(t.filter(), expression);
}

void TestCardTable::badFilterRefused_data()
{
    QTest::addColumn<QString>("expression");
    QTest::newRow("other field") << "FAM=1";
    QTest::newRow("not a number") << "FTYPE=a";
    QTest::newRow("three terms") << "FTYPE=1 and PODKOM=404 and FTYPE=2";
    QTest::newRow("or") << "FTYPE=1 or FTYPE=2";
    QTest::newRow("dangling and") << "FTYPE=1 and";
    QTest::newRow("quoted") << "FTYPE='1'";
    QTest::newRow("less than") << "FTYPE<2";
}

void TestCardTable::badFilterRefused()
{
    QFETCH(QString, expression);
    CardTable t;
    addCard(t, 1, 404, QStringLiteral("A"));
    addCard(t, 2, 404, QStringLiteral("B"));
    t.setFilter(QStringLiteral("FTYPE=1"));
    QVERIFY_THROWS_EXCEPTION(QorError, t.setFilter(expression));
    QCOMPARE(t.filter(), QStringLiteral("FTYPE=1")); // the old filter stays in force
    QCOMPARE(surnames(t), QStringList{"A"});
}

void TestCardTable::sortOrders_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("order");
    // Cards: surname, type, subcommission, category held (none for C), CHANGEDATE.
    QTest::newRow("insertion order") << "" << QStringList{"б", "Б", "а", "Ё", "Е", "Ж"};
    QTest::newRow("surname, case distinguished")
        << "FAM" << QStringList{"а", "б", "Б", "Е", "Ё", "Ж"};
    QTest::newRow("type, doctors first") << "FTYPE" << QStringList{"б", "а", "Е", "Б", "Ё", "Ж"};
    QTest::newRow("subcommission numerically")
        << "PODKOM" << QStringList{"Ж", "Б", "а", "Ё", "б", "Е"};
    QTest::newRow("no value first") << "CAT" << QStringList{"а", "б", "Б", "Ё", "Е", "Ж"};
    QTest::newRow("dates chronologically")
        << "CHANGEDATE" << QStringList{"Е", "Ж", "б", "Б", "а", "Ё"};
}

void TestCardTable::sortOrders()
{
    QFETCH(QString, field);
    QFETCH(QStringList, order);
    CardTable t;
    struct Row
    {
        const char *fam;
        int type;
        int podkom;
        const char *cat;
        double date;
    };
    const Row rows[] = {{"б", 1, 420, "1", 42000.5},  {"Б", 2, 90, "1", 42000.5},
                        {"а", 1, 404, "", 42001},     {"Ё", 2, 410, "2", 42002},
                        {"Е", 1, 501, "2", 41000.25}, {"Ж", 2, 9, "ВЫС", 41000.5}};
    for (const Row &r : rows) {
        addCard(t, r.type, r.podkom, QString::fromUtf8(r.fam));
        t.edit();
        t.field(CardFields::CHANGEDATE).setAsFloat(r.date);
        if (*r.cat)
            t.field(CardFields::CAT).setAsString(QString::fromUtf8(r.cat));
        t.post();
    }
    t.setSortField(field);
    QCOMPARE(surnames(t), order);
    t.setSortField(field); // a second time keeps the order
    QCOMPARE(surnames(t), order);
}

void TestCardTable::byteOrderIsTheTextOrder()
{
    // Cards keep their texts as Windows-1251 bytes; sorting them must give the order of the
    // texts themselves, for every pair of characters and for longer texts alike.
    const auto sign = [](int c) { return c < 0 ? -1 : c > 0 ? 1 : 0; };
    QByteArray a(1, 0);
    QByteArray b(1, 0);
    for (int x = 0; x < 256; ++x) {
        for (int y = 0; y < 256; ++y) {
            a[0] = char(x);
            b[0] = char(y);
            QCOMPARE(sign(CardOrder::compareTexts(QByteArrayView(a), QByteArrayView(b))),
                     sign(CardOrder::compareTexts(Cp1251::decode(a), Cp1251::decode(b))));
        }
    }
    const QStringList texts = {"Елкин", "Ёлкин", "елкин", "ЕЛКИН", "Ель", "Zeta", "zeta",
                               "12",    "Ж",     "Ж ",    "Ё",     "ё",   "е"};
    for (const QString &x : texts) {
        for (const QString &y : texts)
            QCOMPARE(sign(CardOrder::compareTexts(QByteArrayView(Cp1251::encode(x)),
                                                  QByteArrayView(Cp1251::encode(y)))),
                     sign(CardOrder::compareTexts(x, y)));
    }
}

void TestCardTable::sortKeepsCurrentCardAndIsStable()
{
    CardTable t;
    for (int i = 0; i < 6; ++i)
        addCard(t, 1 + i % 2, 404, QStringLiteral("C%1").arg(i));
    t.first();
    t.next();
    t.next(); // C2
    t.setSortField(QStringLiteral("FTYPE"));
    QCOMPARE(surnames(t), (QStringList{"C0", "C2", "C4", "C1", "C3", "C5"}));
    QCOMPARE(t.field(CardFields::FAM).asString(), QStringLiteral("C2"));
    t.setSortField(QString());
    QCOMPARE(surnames(t), (QStringList{"C0", "C1", "C2", "C3", "C4", "C5"}));
    QVERIFY_THROWS_EXCEPTION(QorError, t.setSortField(QStringLiteral("C_FTYPE")));
    QVERIFY_THROWS_EXCEPTION(QorError, t.setSortField(QStringLiteral("NOSUCH")));
}

void TestCardTable::insertsAndDeletesWhileFilteredAndSorted()
{
    CardTable t;
    addCard(t, 1, 404, QStringLiteral("Петров"));
    addCard(t, 2, 410, QStringLiteral("Андреев"));
    addCard(t, 1, 404, QStringLiteral("Яковлев"));
    t.setSortField(QStringLiteral("FAM"));
    t.setFilter(QStringLiteral("FTYPE=1"));
    QCOMPARE(surnames(t), (QStringList{"Петров", "Яковлев"}));

    addCard(t, 1, 404, QStringLiteral("Борисов"));
    QCOMPARE(surnames(t), (QStringList{"Борисов", "Петров", "Яковлев"}));
    QCOMPARE(t.field(CardFields::FAM).asString(), QStringLiteral("Борисов"));

    addCard(t, 2, 404, QStringLiteral("Волков")); // hidden by the filter once stored
    QCOMPARE(surnames(t), (QStringList{"Борисов", "Петров", "Яковлев"}));
    QCOMPARE(t.totalCount(), 5);

    QVERIFY(t.locate(u"FAM", QStringLiteral("Петров")));
    t.deleteCurrent();
    QCOMPARE(surnames(t), (QStringList{"Борисов", "Яковлев"}));
    QCOMPARE(t.field(CardFields::FAM).asString(), QStringLiteral("Яковлев"));

    t.setFilter(QString());
    QCOMPARE(surnames(t), (QStringList{"Андреев", "Борисов", "Волков", "Яковлев"}));
    t.setSortField(QString());
    QCOMPARE(surnames(t), (QStringList{"Андреев", "Яковлев", "Борисов", "Волков"}));
}

void TestCardTable::editMovesCardInSortOrder()
{
    CardTable t;
    for (const char *name : {"B", "D", "F"})
        addCard(t, 1, 404, QString::fromLatin1(name));
    t.setSortField(QStringLiteral("FAM"));
    t.setFilter(QStringLiteral("FTYPE=1"));
    t.first();
    t.edit();
    t.field(CardFields::FAM).setAsString(QStringLiteral("E"));
    t.post();
    QCOMPARE(surnames(t), (QStringList{"D", "E", "F"}));
    QCOMPARE(t.currentRow(), 1);
    t.edit();
    t.field(CardFields::FTYPE).setAsInteger(2); // no longer passes the filter
    t.post();
    QCOMPARE(surnames(t), (QStringList{"D", "F"}));
    t.setFilter(QString());
    QCOMPARE(surnames(t), (QStringList{"D", "E", "F"}));
    t.setFilter(QStringLiteral("FTYPE=2")); // a filter set anew sees the changed type
    QCOMPARE(surnames(t), (QStringList{"E"}));
}

void TestCardTable::bookmarksAcrossFilterChanges()
{
    CardTable t;
    addCard(t, 1, 404, QStringLiteral("A"));
    addCard(t, 2, 410, QStringLiteral("B"));
    addCard(t, 1, 404, QStringLiteral("C"));
    t.last();
    const CardTable::Bookmark c = t.bookmark();
    t.first();
    t.next();
    const CardTable::Bookmark b = t.bookmark();

    t.setFilter(QStringLiteral("FTYPE=1"));
    QCOMPARE(t.field(CardFields::FAM).asString(), QStringLiteral("A")); // first card after filter
    QVERIFY(t.bookmarkValid(c));
    QVERIFY(!t.bookmarkValid(b));
    t.gotoBookmark(c);
    QCOMPARE(t.field(CardFields::FAM).asString(), QStringLiteral("C"));
    QVERIFY_THROWS_EXCEPTION(QorError, t.gotoBookmark(b));
    QCOMPARE(t.field(CardFields::FAM).asString(), QStringLiteral("C"));

    t.setFilter(QString());
    t.gotoBookmark(b);
    QCOMPARE(t.field(CardFields::FAM).asString(), QStringLiteral("B"));
    t.deleteCurrent();
    QVERIFY(!t.bookmarkValid(b));
    t.empty();
    QVERIFY(!t.bookmarkValid(c));
    addCard(t, 1, 404, QStringLiteral("D"));
    QVERIFY(t.bookmark() != c); // bookmarks of removed cards never come back
}

void TestCardTable::locateIsExactAndInOrder()
{
    CardTable t;
    addCard(t, 2, 404, QStringLiteral("Иванов"));
    addCard(t, 1, 404, QStringLiteral("иванов"));
    addCard(t, 1, 405, QStringLiteral("Иванов"));
    t.setSortField(QStringLiteral("PODKOM"));
    t.setSortField(QStringLiteral("FTYPE"));
    QVERIFY(t.locate(u"FAM", QStringLiteral("Иванов")));
    QCOMPARE(t.field(CardFields::PODKOM).asInteger(), 405);
    QVERIFY(!t.locate(u"FAM", QStringLiteral("ИВАНОВ")));
    QVERIFY(t.locate(u"PODKOM", QStringLiteral("404")));
    QCOMPARE(t.field(CardFields::FAM).asString(), QStringLiteral("иванов"));
}

void TestCardTable::calculatedFields_data()
{
    QTest::addColumn<bool>("education");
    QTest::addColumn<int>("ftype"); // 0: no value
    QTest::addColumn<int>("podkom");
    QTest::addColumn<QString>("cFtype");
    QTest::addColumn<QString>("cPodkom"); // null: no value

    const QString doctor = QStringLiteral("Врач");
    const QString mid = QStringLiteral("Средний медработник");
    QTest::newRow("doctor, normal 404")
        << false << 1 << 404 << doctor
        << QStringLiteral("(врачи) Экспертная группа терапевтического направления").left(50);
    QTest::newRow("mid-level, 601 is not normal") << false << 2 << 601 << mid << QString();
    QTest::newRow("no type, 410 is not education") << true << 0 << 410 << mid << QString();
    QTest::newRow("education 601 cut to 50")
        << true << 2 << 601 << mid
        << QStringLiteral("(средние) Экспертная группа по аттестации средних");
    QTest::newRow("cut at a blank: the blank goes, as in any text field")
        << false << 2 << 417 << mid
        << QStringLiteral("(средние) ВМК «Лечебное дело», «Акушерское дело»,");
    QTest::newRow("other type number")
        << false << 3 << 401 << mid
        << QStringLiteral("(врачи) Экспертная группа по аттестации педагогических работников "
                          "областных государственных учреждений здравоохранения")
               .left(50);
}

void TestCardTable::calculatedFields()
{
    QFETCH(bool, education);
    QFETCH(int, ftype);
    QFETCH(int, podkom);
    QFETCH(QString, cFtype);
    QFETCH(QString, cPodkom);

    TDM1 dm;
    dm.setVariant(education ? Variant::EducationSocial : Variant::Normal);
    CardTable &t = dm.cdsQor();
    t.append();
    if (ftype)
        t.field(CardFields::FTYPE).setAsInteger(ftype);
    t.field(CardFields::PODKOM).setAsInteger(podkom);
    QCOMPARE(t.field(CardFields::C_FTYPE).asString(), cFtype);
    // Without the main window's list there is no subcommission text.
    QVERIFY(!t.field(CardFields::C_PODKOM).hasValue());

    const ReferenceList filterList = dm.lists().subcommissionFilter();
    dm.setSubcommissionLookup(&filterList);
    QCOMPARE(t.field(CardFields::C_PODKOM).hasValue(), !cPodkom.isNull());
    QCOMPARE(t.field(CardFields::C_PODKOM).asString(), cPodkom.isNull() ? QString() : cPodkom);
    QVERIFY(t.field(CardFields::C_PODKOM).asString().size() <= 50);
    dm.setSubcommissionLookup(nullptr);
}

void TestCardTable::bulkInsertWhileSortedMatchesSingleInserts()
{
    const QStringList names = {"Яшин", "Абрамов", "абрамов", "Ёлкин", "Елкин", "Абрамов", "Жуков"};
    CardTable one;
    CardTable bulk;
    CardTableModel model(&bulk);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (CardTable *t : {&one, &bulk}) {
        t->setSortField(QStringLiteral("FAM"));
        t->setFilter(QStringLiteral("FTYPE=1"));
    }
    for (int i = 0; i < names.size(); ++i)
        addCard(one, 1 + i % 3 / 2, 404, names[i]);
    CardTable::Bookmark last = 0;
    {
        ScopedViewUpdates quiet(bulk);
        for (int i = 0; i < names.size(); ++i)
            addCard(bulk, 1 + i % 3 / 2, 404, names[i]);
        last = bulk.bookmark();
        QCOMPARE(bulk.field(CardFields::FAM).asString(), QStringLiteral("Жуков"));
        QVERIFY(bulk.bookmarkValid(last));
    }
    QCOMPARE(surnames(bulk), surnames(one));
    QCOMPARE(model.rowCount(), one.count());
    QCOMPARE(bulk.field(CardFields::FAM).asString(), QStringLiteral("Жуков"));
    bulk.first();
    QCOMPARE(bulk.field(CardFields::FAM).asString(), surnames(one).first());
    bulk.gotoBookmark(last);
    QCOMPARE(bulk.field(CardFields::FAM).asString(), QStringLiteral("Жуков"));
    bulk.setFilter(QString());
    one.setFilter(QString());
    QCOMPARE(surnames(bulk), surnames(one));
}

void TestCardTable::modelFollowsTable()
{
    CardTable t;
    CardTableModel model(&t);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    addCard(t, 1, 404, QStringLiteral("B"));
    addCard(t, 2, 410, QStringLiteral("A"));
    addCard(t, 1, 404, QStringLiteral("C"));
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.columnCount(), 20);
    QCOMPARE(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("Фамилия"));
    t.setSortField(QStringLiteral("FAM"));
    QCOMPARE(model.index(0, CardFields::FAM).data().toString(), QStringLiteral("A"));
    t.setFilter(QStringLiteral("FTYPE=1"));
    QCOMPARE(model.rowCount(), 2);
    t.first();
    t.edit();
    t.field(CardFields::FAM).setAsString(QStringLiteral("Z"));
    t.post();
    QCOMPARE(model.index(1, CardFields::FAM).data().toString(), QStringLiteral("Z"));
    t.deleteCurrent();
    QCOMPARE(model.rowCount(), 1);
    addCard(t, 2, 404, QStringLiteral("hidden"));
    QCOMPARE(model.rowCount(), 1);
    t.empty();
    QCOMPARE(model.rowCount(), 0);
}

void TestCardTable::suppressedUpdatesResetOnce()
{
    CardTable t;
    CardTableModel model(&t);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    addCard(t, 1, 404, QStringLiteral("A"));
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserts(&model, &QAbstractItemModel::rowsInserted);
    {
        ScopedViewUpdates quiet(t);
        for (int i = 0; i < 10; ++i)
            addCard(t, 1, 404, QStringLiteral("N%1").arg(i));
        QCOMPARE(model.rowCount(), 1); // the views see nothing of the bulk change yet
        QVERIFY(!model.index(0, 3).data().toString().isEmpty());
        t.setFilter(QStringLiteral("FTYPE=2"));
        t.setFilter(QString());
    }
    QCOMPARE(inserts.count(), 0);
    QCOMPARE(resets.count(), 1);
    QCOMPARE(model.rowCount(), 11);

    // What a save does: the filter lifted and put back, the current card restored. The views
    // show the same cards afterwards and are not reset.
    t.setFilter(QStringLiteral("FTYPE=1"));
    t.last();
    resets.clear();
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    {
        ScopedViewUpdates quiet(t);
        ScopedCurrentCard current(t);
        t.setFilter(QString());
        t.setFilter(QStringLiteral("FTYPE=1"));
    }
    QCOMPARE(resets.count(), 0);
    QCOMPARE(changes.count(), 0);
    QCOMPARE(t.currentRow(), t.count() - 1);

    // An edit that comes back to the same row while the views are suppressed is shown.
    t.setSortField(QStringLiteral("FAM"));
    t.first();
    resets.clear();
    changes.clear();
    {
        ScopedViewUpdates quiet(t);
        t.edit();
        t.field(CardFields::FAM).setAsString(QStringLiteral("A2")); // still sorts first
        t.post();
    }
    QCOMPARE(resets.count(), 0);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(model.index(0, CardFields::FAM).data().toString(), QStringLiteral("A2"));
    t.last();

    // A card replaced by another under the same row is a change the views must see.
    {
        ScopedViewUpdates quiet(t);
        t.deleteCurrent();
        addCard(t, 1, 404, QStringLiteral("new"));
    }
    QCOMPARE(resets.count(), 1);
    QCOMPARE(model.index(model.rowCount() - 1, CardFields::FAM).data().toString(),
             QStringLiteral("new"));
}

QTEST_GUILESS_MAIN(TestCardTable)
#include "tst_cardtable.moc"
