// Measures the card table on a meeting far past its usual size: filling, walking, filtering
// and sorting 100 000 cards. Run from a Release build: build/bin/bench_cardtable
#include "CardTestData.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <cstdio>

namespace {

template <typename F> void measure(const char *what, F &&f)
{
    QElapsedTimer timer;
    timer.start();
    f();
    std::printf("%-40s %8.1f ms\n", what, timer.nsecsElapsed() / 1e6);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    CardTable t;
    QRandomGenerator rng(42);
    const QStringList names = {"ИВАНОВ", "петров", "Сидоров", "ЁЛКИН", "Абрамов", "Яшин"};

    measure("fill (append + post)", [&] {
        ScopedViewUpdates quiet(t);
        for (int i = 0; i < n; ++i)
            addCard(t, 1 + int(rng.bounded(2)), 401 + int(rng.bounded(20)),
                    names[int(rng.bounded(names.size()))] + QString::number(rng.bounded(1000)));
    });
    long long sum = 0;
    measure("walk first..next reading FAM", [&] {
        for (t.first(); !t.atEnd(); t.next())
            sum += t.field(CardFields::FAM).asString().size();
    });
    measure("filter FTYPE=1", [&] { t.setFilter(QStringLiteral("FTYPE=1")); });
    measure("filter FTYPE=2 and PODKOM=405",
            [&] { t.setFilter(QStringLiteral("FTYPE=2 and PODKOM=405")); });
    measure("filter lifted", [&] { t.setFilter(QString()); });
    measure("sort by FAM", [&] { t.setSortField(QStringLiteral("FAM")); });
    measure("sort by PODKOM", [&] { t.setSortField(QStringLiteral("PODKOM")); });
    measure("filter FTYPE=1 while sorted", [&] { t.setFilter(QStringLiteral("FTYPE=1")); });
    measure("post an edit that moves the card", [&] {
        t.first();
        t.edit();
        t.field(CardFields::PODKOM).setAsInteger(999);
        t.post();
    });
    measure("delete 1000 cards", [&] {
        for (int i = 0; i < 1000; ++i)
            t.deleteCurrent();
    });
    measure("refill while sorted by FAM, filtered", [&] {
        ScopedViewUpdates quiet(t);
        t.empty();
        t.setSortField(QStringLiteral("FAM"));
        for (int i = 0; i < n; ++i)
            addCard(t, 1 + int(rng.bounded(2)), 401 + int(rng.bounded(20)),
                    names[int(rng.bounded(names.size()))] + QString::number(rng.bounded(1000)));
    });
    std::printf("cards: %d visible of %d (%lld)\n", t.count(), t.totalCount(), sum);
    return 0;
}
