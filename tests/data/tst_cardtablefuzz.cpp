// Random sequences of table operations, with a view that learns of the rows only through the
// model's signals: after every step outside a bulk operation the view must show exactly the
// table's visible cards, in order, with a current card inside the view and the end flags right.
#include "data/CardOrder.h"
#include "data/CardTable.h"
#include "data/CardTableModel.h"
#include "platform/QorError.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QTest>

namespace {

void fillCard(CardTable &t, int ftype, const QString &fam)
{
    t.field(CardFields::FTYPE).setAsInteger(ftype);
    t.field(CardFields::PODKOM).setAsInteger(404);
    t.field(CardFields::CHANGEDATE).setAsFloat(42809.5);
    t.field(CardFields::FAM).setAsString(fam);
    for (int f : {CardFields::NAME, CardFields::OTCH, CardFields::FAM2, CardFields::NAME2,
                  CardFields::OTCH2, CardFields::SPEC, CardFields::LPU, CardFields::DOL,
                  CardFields::DECLCAT, CardFields::RESOL})
        t.field(f).setAsString(QStringLiteral("1"));
}

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
    void randomOperations();
};

void TestCardTableFuzz::randomOperations()
{
    const QStringList filters = {"", "FTYPE=1", "FTYPE=2"};
    const QStringList sorts = {"", "FAM", "FTYPE"};
    for (int seed = 1; seed <= 300; ++seed) {
        QRandomGenerator rng(seed);
        CardTable t;
        CardTableModel model(&t);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::Fatal);
        SignalView view(model);
        int depth = 0;
        for (int step = 0; step < 200; ++step) {
            const int op = int(rng.bounded(14));
            const QString fam = QString(QChar(u'A' + rng.bounded(6)));
            const int ftype = 1 + int(rng.bounded(2));
            const auto pickRow = [&] { t.setCurrentRow(int(rng.bounded(t.count()))); };
            switch (op) {
            case 0:
            case 1:
                t.append();
                fillCard(t, ftype, fam);
                t.post();
                break;
            case 2:
                if (!t.isEmpty()) {
                    pickRow();
                    t.edit();
                    fillCard(t, ftype, fam);
                    t.post();
                }
                break;
            case 3:
                if (!t.isEmpty()) {
                    pickRow();
                    t.deleteCurrent();
                }
                break;
            case 4:
                t.setFilter(filters.at(int(rng.bounded(3))));
                break;
            case 5:
                t.setSortField(sorts.at(int(rng.bounded(3))));
                break;
            case 6:
                if (depth < 2) {
                    t.suppressViewUpdates();
                    ++depth;
                }
                break;
            case 7:
                if (depth > 0) {
                    t.resumeViewUpdates();
                    --depth;
                }
                break;
            case 8:
                for (t.first(); !t.atEnd(); t.next()) {
                }
                break;
            case 9:
                if (!t.isEmpty()) {
                    pickRow();
                    t.edit();
                    t.field(CardFields::FAM).setAsString(fam);
                    t.cancel();
                }
                break;
            case 10:
                t.append();
                t.cancel();
                break;
            case 11: {
                const CardTable::Bookmark b = t.bookmark();
                t.setFilter(QString());
                if (b)
                    t.gotoBookmark(b);
                break;
            }
            case 12:
                if (rng.bounded(4) == 0)
                    t.empty();
                break;
            case 13:
                t.last();
                t.prior();
                t.prior();
                break;
            }
            if (depth > 0)
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
        }
        while (depth-- > 0)
            t.resumeViewUpdates();
    }
}

QTEST_GUILESS_MAIN(TestCardTableFuzz)
#include "tst_cardtablefuzz.moc"
