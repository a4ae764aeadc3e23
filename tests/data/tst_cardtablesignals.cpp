// What the card table tells the views, and when: every signal of an operation arrives once the
// table has settled, and calls that views make back while it announces are safe.
#include "CardTestData.h"
#include "TableObserver.h"

#include "data/CardTableModel.h"
#include "platform/QorError.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

enum class Step {
    InsertShown,
    InsertHidden,
    EditInPlace,
    EditMoves,
    EditLeavesFilter,
    DeleteFirst,
    DeleteLast,
    CancelInsert,
    CancelEdit,
    Append,
    Edit,
    Last,
    Filter,
    Sort,
};
Q_DECLARE_METATYPE(Step)

namespace {

// Doctors A, B, D and a mid-level C, sorted by surname and filtered to doctors.
void prepareTable(CardTable &t)
{
    for (const auto &[ftype, fam] : {std::pair{1, "B"}, {2, "C"}, {1, "A"}, {1, "D"}})
        addCard(t, ftype, 404, QString::fromLatin1(fam));
    t.setSortField(QStringLiteral("FAM"));
    t.setFilter(QStringLiteral("FTYPE=1"));
}

// Fills a new card with every required field, as the entry form does.
void fillNewCard(CardTable &t, int ftype)
{
    t.append();
    for (int f = 0; f < CardFields::StoredCount; ++f) {
        if (CardFields::def(f).required && CardFields::def(f).type != FieldType::DateTime)
            t.field(f).setAsString(QStringLiteral("1"));
    }
    t.field(CardFields::FTYPE).setAsInteger(ftype);
    t.field(CardFields::CHANGEDATE).setAsFloat(42809.5);
    t.field(CardFields::FAM).setAsString(QStringLiteral("BB"));
}

// Everything up to the one call that is watched.
void before(CardTable &t, Step step)
{
    t.first();
    switch (step) {
    case Step::InsertShown:
    case Step::InsertHidden:
        fillNewCard(t, step == Step::InsertShown ? 1 : 2);
        break;
    case Step::EditInPlace:
        t.edit();
        t.field(CardFields::NAME).setAsString(QStringLiteral("Q"));
        break;
    case Step::EditMoves:
    case Step::CancelEdit:
        t.edit();
        t.field(CardFields::FAM).setAsString(QStringLiteral("Z"));
        break;
    case Step::EditLeavesFilter:
        t.edit();
        t.field(CardFields::FTYPE).setAsInteger(2);
        break;
    case Step::DeleteLast:
        t.last();
        break;
    case Step::CancelInsert:
        t.append();
        t.field(CardFields::FAM).setAsString(QStringLiteral("N"));
        break;
    default:
        break;
    }
}

// The one call that is watched.
void run(CardTable &t, Step step)
{
    switch (step) {
    case Step::InsertShown:
    case Step::InsertHidden:
    case Step::EditInPlace:
    case Step::EditMoves:
    case Step::EditLeavesFilter:
        t.post();
        break;
    case Step::DeleteFirst:
    case Step::DeleteLast:
        t.deleteCurrent();
        break;
    case Step::CancelInsert:
    case Step::CancelEdit:
        t.cancel();
        break;
    case Step::Append:
        t.append();
        break;
    case Step::Edit:
        t.edit();
        break;
    case Step::Last:
        t.last();
        break;
    case Step::Filter:
        t.setFilter(QStringLiteral("FTYPE=2"));
        break;
    case Step::Sort:
        t.setSortField(QStringLiteral("NAME"));
        break;
    }
}

void addSteps()
{
    QTest::addColumn<Step>("step");
    QTest::newRow("new card shown") << Step::InsertShown;
    QTest::newRow("new card hidden by the filter") << Step::InsertHidden;
    QTest::newRow("edit in place") << Step::EditInPlace;
    QTest::newRow("edit moves the card") << Step::EditMoves;
    QTest::newRow("edit moves the card out of the filter") << Step::EditLeavesFilter;
    QTest::newRow("delete the first card") << Step::DeleteFirst;
    QTest::newRow("delete the last card") << Step::DeleteLast;
    QTest::newRow("cancel a new card") << Step::CancelInsert;
    QTest::newRow("cancel an edit") << Step::CancelEdit;
    QTest::newRow("append") << Step::Append;
    QTest::newRow("edit") << Step::Edit;
    QTest::newRow("move to the last card") << Step::Last;
    QTest::newRow("filter") << Step::Filter;
    QTest::newRow("sort") << Step::Sort;
}

} // namespace

class TestCardTableSignals : public QObject
{
    Q_OBJECT

private slots:
    void signalsComeOnceSettled_data() { addSteps(); }
    void signalsComeOnceSettled();
    void viewKeptInStepBothWays_data() { addSteps(); }
    void viewKeptInStepBothWays();
    void chosenRowIsTakenBeforeThePendingCardMoves();
    void nestedChangesRefusedWhileAnnouncing();
    void contentSignalsForBoundControls();
};

void TestCardTableSignals::signalsComeOnceSettled()
{
    QFETCH(Step, step);
    CardTable t;
    CardTableModel model(&t);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    prepareTable(t);
    before(t, step);
    TableObserver observer(t);
    run(t, step);
    QVERIFY(observer.count() > 0);
    const QString mismatch = observer.mismatch();
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
}

void TestCardTableSignals::viewKeptInStepBothWays()
{
    QFETCH(Step, step);
    CardTable t;
    CardTableModel model(&t);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    TwoWaySelection view(t, model);
    prepareTable(t);
    before(t, step);
    const bool pending = t.state() != CardTable::State::Browse;
    TableObserver observer(t);
    run(t, step);
    const QString mismatch = observer.mismatch();
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    QCOMPARE(view.currentRow(), t.currentRow());
    QCOMPARE(model.rowCount(), t.count());
    if (pending)
        QCOMPARE(t.state(), CardTable::State::Browse);
}

void TestCardTableSignals::chosenRowIsTakenBeforeThePendingCardMoves()
{
    CardTable t;
    CardTableModel model(&t);
    TwoWaySelection view(t, model);
    prepareTable(t); // A B D
    t.first();
    t.edit();
    t.field(CardFields::FAM).setAsString(QStringLiteral("Z")); // will sort last: B D Z
    t.setCurrentRow(1); // the row of B in the list the user looked at
    QCOMPARE(t.state(), CardTable::State::Browse);
    QCOMPARE(t.field(CardFields::FAM).asString(), QStringLiteral("B"));
    QCOMPARE(view.currentRow(), t.currentRow());
}

void TestCardTableSignals::nestedChangesRefusedWhileAnnouncing()
{
    CardTable t;
    prepareTable(t);
    int refused = 0;
    QObject::connect(&t, &CardTable::rowRemoved, [&] {
        try {
            t.cancel(); // nothing pending: allowed, does nothing
            t.first();
        } catch (const QorError &) {
            ++refused;
        }
    });
    t.first();
    t.deleteCurrent();
    QCOMPARE(refused, 1);
    QCOMPARE(t.count(), 2);
    QCOMPARE(t.currentRow(), 0);
    t.last();
    t.deleteCurrent(); // the table is usable again afterwards
    QCOMPARE(t.count(), 1);
}

void TestCardTableSignals::contentSignalsForBoundControls()
{
    CardTable t;
    prepareTable(t);
    t.first();
    QSignalSpy fields(&t, &CardTable::fieldChanged);
    QSignalSpy content(&t, &CardTable::currentContentChanged);
    t.edit();
    t.field(CardFields::FTYPE).setAsInteger(2);
    t.field(CardFields::FTYPE).setAsInteger(2); // no change, no signal
    QCOMPARE(fields.size(), 2);
    QCOMPARE(fields.at(0).at(0).toInt(), int(CardFields::FTYPE));
    QCOMPARE(fields.at(1).at(0).toInt(), int(CardFields::C_FTYPE)); // the type text follows
    fields.clear();
    t.field(CardFields::PODKOM).clear();
    QCOMPARE(fields.size(), 2);
    QCOMPARE(fields.at(1).at(0).toInt(), int(CardFields::C_PODKOM));
    t.cancel();
    QVERIFY(content.size() >= 1);
    QCOMPARE(t.field(CardFields::FTYPE).asInteger(), 1);

    content.clear();
    t.append();
    QCOMPARE(content.size(), 1);
    t.cancel();
    t.refreshCalculated();
    QCOMPARE(content.size(), 3);

    QDate date(2017, 3, 15);
    t.edit();
    t.field(CardFields::CATDATE).setAsDate(date);
    QCOMPARE(t.field(CardFields::CATDATE).asDate(), date);
    QCOMPARE(t.field(CardFields::CATDATE).asString(), QStringLiteral("15.03.2017"));
    t.field(CardFields::CATDATE).setAsDate(QDate());
    QVERIFY(!t.field(CardFields::CATDATE).hasValue());
    QCOMPARE(t.field(CardFields::CATDATE).asDate(), QDate());
}

QTEST_GUILESS_MAIN(TestCardTableSignals)
#include "tst_cardtablesignals.moc"
