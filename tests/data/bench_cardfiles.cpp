// Writes and reads a meeting of 100 000 cards, far past the usual few hundred, and saves and
// loads it as a meeting. Run from a Release build: build/bin/bench_cardfiles [cards]
#include "CardFileTestKit.h"
#include "data/CardTextFormat.h"
#include "data/MeetingFiles.h"
#include "data/ReferenceLists.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

namespace {

template <typename F> void measure(const char *what, F &&f)
{
    QElapsedTimer timer;
    timer.start();
    f();
    std::printf("%-36s %8.1f ms\n", what, timer.nsecsElapsed() / 1e6);
}

} // namespace

int main(int argc, char *argv[])
{
    using namespace CardFileTestKit;
    const int n = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.dat"));
    const ReferenceLists lists;
    ReferenceLists::positions();

    CardTable t;
    measure("fill the table", [&] {
        ScopedViewUpdates quiet(t);
        for (int i = 0; i < n; ++i)
            addCard(t, validCard(QStringLiteral("ФАМИЛИЯ%1").arg(i),
                                 {{CardFields::JOB,
                                   QStringLiteral("отделение №%1\r\nпалата").arg(i % 50)},
                                  {CardFields::CHANGEDATE, QString::number(42809.5 + i / 1e5)}}));
    });
    int written = 0;
    measure("WriteCards", [&] { written = WriteCards(t, lists, path); });
    std::printf("%d cards, %lld bytes\n", written, QFileInfo(path).size());
    CardTable back;
    measure("ReadCards", [&] { ReadCards(back, path); });
    std::printf("%d cards read\n", back.count());
    t.setFilter(QStringLiteral("FTYPE=1"));
    measure("SaveMeeting (filter lifted)", [&] { SaveMeeting(t, lists, dir.path(), "m"); });
    measure("LoadMeeting", [&] { LoadMeeting(back, dir.path(), "m"); });
    std::printf("%d cards loaded\n", back.count());
    return back.count() == n ? 0 : 1;
}
