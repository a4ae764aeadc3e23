// A real table view over the card table, kept in step both ways as the card list is: the
// selection makes a card current, the current card becomes the selection. Random operations
// must leave the view showing the table's cards with the table's current row selected, and a
// slot on every signal of the table must find it consistent, however the view calls back.
#include "data/RandomTableOps.h"
#include "data/TableObserver.h"

#include "data/CardTableModel.h"

#include <QTableView>
#include <QTest>

class TestCardTableView : public QObject
{
    Q_OBJECT

private slots:
    void randomOperationsWithAViewKeptInStep();
};

void TestCardTableView::randomOperationsWithAViewKeptInStep()
{
    for (int seed = 1; seed <= 60; ++seed) {
        CardTable t;
        CardTableModel model(&t);
        QTableView view;
        view.setModel(&model);
        view.setSelectionBehavior(QAbstractItemView::SelectRows);
        view.resize(400, 300);
        view.show();
        connect(view.selectionModel(), &QItemSelectionModel::currentRowChanged, &t,
                [&t](const QModelIndex &current) {
                    if (current.isValid()) {
                        try {
                            t.setCurrentRow(current.row());
                        } catch (const QorError &) {
                        }
                    }
                });
        connect(&t, &CardTable::currentChanged, &view, [&](int row) {
            view.setCurrentIndex(row < 0 ? QModelIndex() : model.index(row, CardFields::FAM));
        });
        TableObserver observer(t);
        RandomTableOps ops(seed);
        for (int step = 0; step < 150; ++step) {
            const int op = ops.step(t);
            if (ops.depth > 0)
                continue;
            const QString where =
                QStringLiteral("seed %1 step %2 op %3").arg(seed).arg(step).arg(op);
            QVERIFY2(observer.violations().isEmpty(),
                     qPrintable(where + ": " + observer.violations().join(u'\n')));
            QCOMPARE(model.rowCount(), t.count());
            const QModelIndex current = view.currentIndex();
            QVERIFY2((current.isValid() ? current.row() : -1) == t.currentRow(), qPrintable(where));
            if (current.isValid())
                QCOMPARE(current.data().toString(), t.field(CardFields::FAM).asString());
        }
        ops.resumeAll(t);
    }
}

QTEST_MAIN(TestCardTableView)
#include "tst_cardtableview.moc"
