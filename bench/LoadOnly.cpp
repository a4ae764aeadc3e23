// The core's load of a meeting in a process of its own, for the start of the real program: both
// are timed from their process's start, cold. Says "loaded" once the cards are in the table.
#include "data/CardTable.h"
#include "data/MeetingFiles.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    CardTable table;
    LoadMeeting(table, QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    std::printf("loaded %d\n", table.count());
    std::fflush(stdout);
    return 0;
}
