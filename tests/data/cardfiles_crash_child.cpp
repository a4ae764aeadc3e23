// The crash test's child. Started once, it takes commands on its standard input:
//   save <first version>   forks a saver that saves one version of the meeting after another,
//                          printing each version once it is saved; answers "pid <saver>"
//   reap                   waits for the saver the test has killed; answers "reaped"
// A saver is a fork, so that each of the test's many kills costs no program start-up.
//   cardfiles_crash_child <folder> <meeting name>
#include "CardFileTestKit.h"
#include "data/MeetingFiles.h"
#include "data/ReferenceLists.h"
#include "platform/QorError.h"

#include <cstdio>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

namespace {

[[noreturn]] void saveForever(const QString &folder, const QString &name, int first)
{
    const ReferenceLists lists;
    CardTable table;
    RefusedMeetings refused;
    try {
        for (int version = first;; ++version) {
            CardFileTestKit::fillVersion(table, version);
            SaveMeeting(table, lists, folder, name, refused);
            std::printf("%d\n", version);
            std::fflush(stdout);
        }
    } catch (const QorError &e) {
        std::printf("error %s\n", e.what());
        std::fflush(stdout);
    }
    _exit(1);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s folder name\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    ReferenceLists::positions(); // lists are loaded once, before any fork
    ReferenceLists::doctorSpecialties();
    ReferenceLists::midLevelSpecialties();
    ReferenceLists(Variant::Normal).subcommissions();

    char line[128];
    pid_t saver = 0;
    while (std::fgets(line, sizeof line, stdin)) {
        int first = 0;
        if (std::sscanf(line, "save %d", &first) == 1) {
            std::fflush(stdout);
            saver = fork();
            if (saver == 0)
                saveForever(folder, name, first);
            std::printf("pid %d\n", int(saver));
        } else if (std::strncmp(line, "reap", 4) == 0 && saver > 0) {
            int status = 0;
            waitpid(saver, &status, 0);
            saver = 0;
            std::printf("reaped\n");
        }
        std::fflush(stdout);
    }
    return 0;
}
