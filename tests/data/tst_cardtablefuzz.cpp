// Random sequences of table operations, with a view that learns of the rows only through the
// model's signals: after every step outside a bulk operation the view must show exactly the
// table's visible cards, in order, with a current card inside the view and the end flags right.
// A slot on every signal of the table reads it as a bound control would and must find it
// consistent; a second run keeps a selection in step with the table both ways, as the card list
// does, so that the table is called back while it announces.
#include "RandomTableOps.h"
#include "TableObserver.h"

#include "data/CardOrder.h"
#include "data/CardTable.h"
#include "data/CardTableModel.h"
#include "platform/QorError.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QTest>
#include <optional>

namespace {

// What a view knows of the rows: only what the model's signals told it.
class SignalView
{
public:
    explicit SignalView(QAbstractItemModel &model) : m_model(model)
    {
        QObject::connect(&model, &QAbstractItemModel::modelReset, [this] { reload(); });
        QObject::connect(&model, &QAbstractItemModel::rowsInserted,
                         [this](const QModelIndex &, int first, int last) {
                             for (int r = first; r <= last; ++r)
                                 m_rows.insert(r, surname(r));
                         });
        QObject::connect(&model, &QAbstractItemModel::rowsRemoved,
                         [this](const QModelIndex &, int first, int last) {
                             m_rows.remove(first, last - first + 1);
                         });
        QObject::connect(&model, &QAbstractItemModel::rowsMoved,
                         [this](const QModelIndex &, int from, int, const QModelIndex &, int to) {
                             m_rows.move(from, to > from ? to - 1 : to);
                         });
        QObject::connect(&model, &QAbstractItemModel::dataChanged,
                         [this](const QModelIndex &from, const QModelIndex &to) {
                             for (int r = from.row(); r <= to.row(); ++r)
                                 m_rows[r] = surname(r);
                         });
        reload();
    }
    const QStringList &rows() const { return m_rows; }

private:
    QString surname(int row) const
    {
        return m_model.data(m_model.index(row, CardFields::FAM)).toString();
    }
    void reload()
    {
        m_rows.clear();
        for (int r = 0; r < m_model.rowCount(); ++r)
            m_rows << surname(r);
    }

    QAbstractItemModel &m_model;
    QStringList m_rows;
};

} // namespace

class TestCardTableFuzz : public QObject
{
    Q_OBJECT

private slots:
    void randomOperations_data();
    void randomOperations();
};

void TestCardTableFuzz::randomOperations_data()
{
    QTest::addColumn<bool>("keptInStep");
    QTest::newRow("model only") << false;
    QTest::newRow("selection kept in step both ways") << true;
}

void TestCardTableFuzz::randomOperations()
{
    QFETCH(bool, keptInStep);
    for (int seed = 1; seed <= 300; ++seed) {
        CardTable t;
        CardTableModel model(&t);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::Fatal);
        SignalView view(model);
        TableObserver observer(t);
        std::optional<TwoWaySelection> selection;
        if (keptInStep)
            selection.emplace(t, model);
        RandomTableOps ops(seed);
        for (int step = 0; step < 200; ++step) {
            const int op = ops.step(t);
            if (ops.depth > 0)
                continue;

            const QString where =
                QStringLiteral("seed %1 step %2 op %3").arg(seed).arg(step).arg(op);
            QStringList table;
            for (int r = 0; r < t.count(); ++r)
                table << t.text(r, CardFields::FAM);
            QVERIFY2(view.rows() == table,
                     qPrintable(where + ": the view shows " + view.rows().join(u',') +
                                ", the table " + table.join(u',')));
            const int sortField = t.sortField().isEmpty() ? -1 : CardFields::indexOf(t.sortField());
            for (int r = 1; r < t.count(); ++r)
                QVERIFY2(CardOrder::less(*t.recordAt(r - 1), *t.recordAt(r), sortField),
                         qPrintable(where + ": rows out of order"));
            if (t.isEmpty())
                QVERIFY2(t.atStart() && t.atEnd() && t.currentRow() == -1, qPrintable(where));
            else
                QVERIFY2(t.currentRow() >= 0 && t.currentRow() < t.count(), qPrintable(where));
            QVERIFY2(observer.violations().isEmpty(),
                     qPrintable(where + ": " + observer.violations().join(u'\n')));
            if (selection)
                QVERIFY2(selection->currentRow() == t.currentRow(), qPrintable(where));
        }
        ops.resumeAll(t);
    }
}

QTEST_GUILESS_MAIN(TestCardTableFuzz)
#include "tst_cardtablefuzz.moc"
