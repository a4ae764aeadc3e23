#include "app/settings/GridLayout.h"
#include "app/settings/SettingsStore.h"
#include "platform/IniRegistry.h"
#include "platform/QorError.h"
#include "support/TestEnvironment.h"

#include <QHash>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

using Values = QHash<QString, QString>; // value name -> text; "" is the default value

GridLayoutState designedGrid()
{
    GridLayoutState grid;
    for (const char *field : {"FAM", "NAME", "OTCH", "PODKOM", "C_PODKOM"}) {
        GridColumnLayout c;
        c.fieldName = field;
        c.width = 100;
        grid.columns.append(c);
    }
    grid.rowHeight = 17;
    grid.rowLines = 1;
    return grid;
}

GridValueReader readerOf(const Values &values)
{
    return [values](const QString &name) -> std::optional<QString> {
        const auto it = values.constFind(name);
        return it == values.constEnd() ? std::nullopt : std::optional<QString>(*it);
    };
}

QStringList order(const GridLayoutState &grid)
{
    QStringList fields;
    for (const GridColumnLayout &c : grid.columns)
        fields.append(c.fieldName);
    return fields;
}

const GridColumnLayout &column(const GridLayoutState &grid, const QString &field)
{
    for (const GridColumnLayout &c : grid.columns) {
        if (c.fieldName == field)
            return c;
    }
    qFatal("no column %s", qPrintable(field));
}

} // namespace

class TstGridLayout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestEnvironment::isolateHome(); }

    void storedForm()
    {
        GridLayoutState grid = designedGrid();
        grid.columns[1].width = 140;
        grid.columns[1].sortMarker = 2;
        grid.columns[1].sortIndex = 1;
        grid.columns[2].visible = false;
        grid.columns[3].dropDownRows = 12;
        grid.columns[3].dropDownWidth = 300;
        const auto values = gridLayoutValues(grid);
        QCOMPARE(values.size(), 6);
        QCOMPARE(values.at(0), qMakePair(QString("DBGridEh1.FAM"), QString("0,100,0,1,0,7,0,0,1")));
        QCOMPARE(values.at(1).second, "1,140,2,1,1,7,0,0,1");
        QCOMPARE(values.at(2).second, "2,100,0,0,0,7,0,0,1");
        QCOMPARE(values.at(3).second, "3,100,0,1,0,12,300,0,1");
        QCOMPARE(values.at(5), qMakePair(QString(), QString("17,1")));
    }

    void reorder_data()
    {
        QTest::addColumn<Values>("stored");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("nothing stored")
            << Values{} << QStringList{"FAM", "NAME", "OTCH", "PODKOM", "C_PODKOM"};
        QTest::newRow("full order") << Values{{"DBGridEh1.FAM", "4"},
                                              {"DBGridEh1.NAME", "3"},
                                              {"DBGridEh1.OTCH", "2"},
                                              {"DBGridEh1.PODKOM", "1"},
                                              {"DBGridEh1.C_PODKOM", "0"}}
                                    << QStringList{"C_PODKOM", "PODKOM", "OTCH", "NAME", "FAM"};
        // Columns without a value count with the place they had, and the first one wins.
        QTest::newRow("stored place taken by a column without a value")
            << Values{{"DBGridEh1.PODKOM", "0"}}
            << QStringList{"FAM", "NAME", "OTCH", "PODKOM", "C_PODKOM"};
        QTest::newRow("two swapped") << Values{{"DBGridEh1.FAM", "3"}, {"DBGridEh1.PODKOM", "0"}}
                                     << QStringList{"PODKOM", "NAME", "OTCH", "FAM", "C_PODKOM"};
        QTest::newRow("empty value counts as none")
            << Values{{"DBGridEh1.PODKOM", ""}}
            << QStringList{"FAM", "NAME", "OTCH", "PODKOM", "C_PODKOM"};
        QTest::newRow("position out of range stays")
            << Values{{"DBGridEh1.FAM", "9"}, {"DBGridEh1.OTCH", "-1"}}
            << QStringList{"FAM", "NAME", "OTCH", "PODKOM", "C_PODKOM"};
        // Compared with a 0 in its place, which would let C_PODKOM take place 2.
        QTest::newRow("non-numeric position keeps the place")
            << Values{{"DBGridEh1.OTCH", "x,50"}, {"DBGridEh1.C_PODKOM", "2"}}
            << QStringList{"FAM", "NAME", "OTCH", "PODKOM", "C_PODKOM"};
        QTest::newRow("two with one position: the first wins")
            << Values{{"DBGridEh1.FAM", "1"}, {"DBGridEh1.NAME", "1"}}
            << QStringList{"NAME", "FAM", "OTCH", "PODKOM", "C_PODKOM"};
    }
    void reorder()
    {
        QFETCH(Values, stored);
        QFETCH(QStringList, expected);
        GridLayoutState grid = designedGrid();
        restoreGridLayout(grid, readerOf(stored));
        QCOMPARE(order(grid), expected);
    }

    void numbers()
    {
        GridLayoutState grid = designedGrid();
        grid.columns[0].sortIndex = 3; // a column without a value gets sort index 0
        restoreGridLayout(grid, readerOf({{"DBGridEh1.NAME", "1 150 1 0 2 9 250 0 1"},
                                          {"DBGridEh1.OTCH", "2,abc,2"},
                                          {"", "20"}}));
        const GridColumnLayout &name = column(grid, "NAME");
        QCOMPARE(name.width, 150);
        QCOMPARE(name.sortMarker, 1);
        QCOMPARE(name.visible, false);
        QCOMPARE(name.sortIndex, 2);
        QCOMPARE(name.dropDownRows, 9);
        QCOMPARE(name.dropDownWidth, 250);
        const GridColumnLayout &otch = column(grid, "OTCH");
        QCOMPARE(otch.width, 100); // not a number: kept
        QCOMPARE(otch.sortMarker, 2);
        QCOMPARE(otch.visible, true); // missing: kept
        QCOMPARE(otch.sortIndex, 0);  // missing: 0
        QCOMPARE(column(grid, "FAM").sortIndex, 0);
        QCOMPARE(grid.rowHeight, 20);
        QCOMPARE(grid.rowLines, 0);
    }

    void missingDefaultValueGivesZeroRows()
    {
        GridLayoutState grid = designedGrid();
        restoreGridLayout(grid, readerOf({}));
        QCOMPARE(grid.rowHeight, 0);
        QCOMPARE(grid.rowLines, 0);
    }

    void failureChangesNothing()
    {
        GridLayoutState grid = designedGrid();
        const GridValueReader failing = [](const QString &name) -> std::optional<QString> {
            if (name == "DBGridEh1.OTCH")
                throw QorError("Ошибка чтения значения для 'DBGridEh1.OTCH'");
            return QString("4,10");
        };
        QVERIFY_THROWS_EXCEPTION(QorError, restoreGridLayout(grid, failing));
        QCOMPARE(order(grid), order(designedGrid()));
        QCOMPARE(grid.columns.first().width, 100);
    }

    void roundTripThroughTheStore()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("hkcu.ini");
        SettingsStore store(std::make_unique<IniRegistry>(file));
        // A column that is gone from the grid must not linger in the key.
        store.WriteSetting(SettingsStore::gridLayoutKeyPath(), "", "DBGridEh1.OLD", "0,1");

        GridLayoutState saved = designedGrid();
        saved.columns.move(4, 0);
        saved.columns[2].width = 222;
        saved.columns[3].visible = false;
        saved.columns[1].sortMarker = 1;
        saved.columns[1].sortIndex = 1;
        saved.rowHeight = 24;
        saved.rowLines = 2;
        saveGridLayout(store, saved);

        QStringList names;
        IniRegistry(file).valueNames(SettingsStore::gridLayoutKeyPath(), &names);
        QVERIFY(!names.contains("DBGridEh1.OLD"));
        QCOMPARE(names.last(), QString()); // the default value comes last

        GridLayoutState restored = designedGrid();
        restoreGridLayout(restored, store);
        QCOMPARE(order(restored), order(saved));
        for (int i = 0; i < saved.columns.size(); ++i) {
            const GridColumnLayout &a = saved.columns.at(i);
            const GridColumnLayout &b = restored.columns.at(i);
            QCOMPARE(b.width, a.width);
            QCOMPARE(b.visible, a.visible);
            QCOMPARE(b.sortMarker, a.sortMarker);
            QCOMPARE(b.sortIndex, a.sortIndex);
        }
        QCOMPARE(restored.rowHeight, 24);
        QCOMPARE(restored.rowLines, 2);
    }

    void fieldNamesIgnoreLetterCaseInTheStore()
    {
        QTemporaryDir dir;
        SettingsStore store(std::make_unique<IniRegistry>(dir.filePath("hkcu.ini")));
        store.WriteSetting(SettingsStore::gridLayoutKeyPath(), "", "dbgrideh1.otch", "0,77");
        store.WriteSetting(SettingsStore::gridLayoutKeyPath(), "", "DBGRIDEH1.fam", "2");
        GridLayoutState grid = designedGrid();
        restoreGridLayout(grid, store);
        QCOMPARE(grid.columns.first().fieldName, "OTCH");
        QCOMPARE(grid.columns.first().width, 77);
    }

    void firstRunReadsWithoutCreatingTheKey()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("hkcu.ini");
        SettingsStore store(std::make_unique<IniRegistry>(file));
        GridLayoutState grid = designedGrid();
        restoreGridLayout(grid, store);
        QCOMPARE(order(grid), order(designedGrid()));
        QCOMPARE(IniRegistry(file).keyExists(SettingsStore::gridLayoutKeyPath()),
                 RegistryBackend::Result::Missing);
    }
};

QTEST_GUILESS_MAIN(TstGridLayout)
#include "tst_gridlayout.moc"
