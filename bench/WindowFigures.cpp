// The figures a clerk waits for in the windows: the program's start on a meeting, the switch
// between two meetings, the entry form on a large meeting.
#include "BenchFigures.h"

#include "data/CardTable.h"
#include "data/MeetingFiles.h"
#include "data/TDM1.h"
#include "ui/entry/TfmVvod.h"
#include "ui/main/TfmMain.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace BenchFigures {

namespace {

// From the start of a process to the line it writes when done (0: it did not write it). The
// program tells of the first paint of its card list holding the meeting's cards.
double startToLine(const QString &program, const QStringList &arguments, const QByteArray &line)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QORCLIENT_REPORT_LIST_PAINTED"), QStringLiteral("1"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    double ms = 0;
    while (process.waitForReadyRead(60000)) {
        if (process.readAll().contains(line)) {
            ms = timer.nsecsElapsed() / 1e6;
            break;
        }
    }
    process.kill();
    process.waitForFinished();
    if (ms == 0)
        std::fprintf(stderr, "%s did not say \"%s\"\n", qPrintable(program), line.constData());
    return ms;
}

// The post of one changed card with its save, as the core does it for the entry form.
double corePost(CardTable &table, int &flip)
{
    return timedOnQuietDisk([&] {
        table.edit();
        table.field(CardFields::JOB)
            .setAsString(++flip % 2 ? QStringLiteral("ОТДЕЛЕНИЕ 1")
                                    : QStringLiteral("ОТДЕЛЕНИЕ 2"));
        table.post();
    });
}

} // namespace

void startUpFigure(int n, int runs, const QString &meetingFile, Report &report)
{
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/QorClient");
    if (!QFile::exists(program)) {
        std::printf("start-up not measured: %s is not built\n", qPrintable(program));
        return;
    }
    // The program's own folder holds its meetings.
    QTemporaryDir folder;
    const QString copy = folder.filePath(QStringLiteral("QorClient"));
    if (!QFile::copy(program, copy) ||
        !QFile::copy(meetingFile, folder.filePath(QFileInfo(meetingFile).fileName())))
        return;
    // A clerk's program has been closed before: its window state is stored, and a start only
    // reads it (a first start also writes the settings it finds missing).
    {
        DM1 = new TDM1;
        TfmMain window(folder.path() + u'/');
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        window.close();
        delete DM1;
        DM1 = nullptr;
    }
    // In turns with the core's load of the same file, and more often than the other large
    // figures: a process start swings with the machine.
    CardTable loaded;
    const QString name = QFileInfo(meetingFile).completeBaseName();
    const auto [start, load] = mediansInTurns(
        runs * 2 + 1, [&] { return startToLine(copy, {}, "list painted"); },
        [&] { LoadMeeting(loaded, folder.path() + u'/', name); });
    report.add(n, "the program starts on the meeting", start, "load the meeting", load,
               n >= 100000 ? Target::ratio(1.5) : Target());
    // The load above runs in this process, warm: its memory was the previous load's. The start
    // is also shown against the same load started cold, as a process of its own.
    const QString loadOnly =
        QCoreApplication::applicationDirPath() + QStringLiteral("/bench_load_only");
    if (QFile::exists(loadOnly)) {
        const auto [again, cold] = mediansInTurns(
            runs * 2 + 1, [&] { return startToLine(copy, {}, "list painted"); },
            [&] {
                return startToLine(loadOnly, {folder.path() + u'/', name}, "loaded");
            });
        report.add(n, "  the same, against a cold load", again, "the load in a process of its own",
                   cold, Target());
    }
}

void switchFigure(int n, int runs, TfmMain *main, double load, Report &report)
{
    auto *meetings = main->findChild<QComboBox *>(QStringLiteral("cbKom"));
    QWidget *grid = main->findChild<QWidget *>(QStringLiteral("DBGridEh1"));
    if (!meetings || meetings->count() < 2)
        return;
    int flip = 0;
    report.add(n, "switch to a meeting of as many cards",
               median(runs,
                      [&] {
                          return timed([&] {
                              const int index = ++flip % 2;
                              meetings->setCurrentIndex(index);
                              emit meetings->activated(index);
                              QCoreApplication::processEvents();
                              grid->repaint();
                          });
                      }),
               "load the meeting", load, n >= 100000 ? Target::ratio(1.5) : Target());
    meetings->setCurrentIndex(0);
    emit meetings->activated(0);
}

void entryFormFigures(int n, int runs, TfmMain *main, Report &report)
{
    auto *form = new TfmVvod(main);
    CardTable &table = DM1->cdsQor();
    int flip = 0;
    table.setCurrentRow(table.count() / 2);
    const double post = median(runs, [&] { return corePost(table, flip); });

    QList<double> open, next, apply;
    for (int run = 0; run < runs; ++run) {
        table.setCurrentRow(table.count() / 2);
        QElapsedTimer timer;
        QTimer::singleShot(0, form, [&] {
            form->repaint();
            open.append(timer.nsecsElapsed() / 1e6);
            auto *nextButton = form->findChild<QPushButton *>(QStringLiteral("btnNext"));
            next.append(timed([&] {
                nextButton->click();
                form->repaint();
            }));
            // The workplace detail typed anew.
            auto *box = form->findChild<QLineEdit *>(QStringLiteral("DBEdit21"));
            box->setFocus();
            box->selectAll();
            QTest::keyClicks(box, ++flip % 2 ? QStringLiteral("1") : QStringLiteral("2"));
            auto *applyButton = form->findChild<QPushButton *>(QStringLiteral("btnApply"));
            apply.append(timedOnQuietDisk([&] {
                applyButton->click();
                form->repaint();
            }));
            form->done(QDialog::Rejected);
        });
        timer.start();
        form->openCard(false);
    }
    std::sort(open.begin(), open.end());
    std::sort(next.begin(), next.end());
    std::sort(apply.begin(), apply.end());
    // The targets are set for a meeting of 100 000 cards.
    const bool large = n == 100000;
    report.add(n, "the entry form opens on a card", open.at(runs / 2), QString(), 0,
               Target::absolute(large ? 30 : 0));
    report.add(n, "  \"Следующая\" in the entry form", next.at(runs / 2), QString(), 0, Target());
    report.add(n, "  \"Применить\" of a changed card", apply.at(runs / 2),
               "the core's post with its save", post, large ? Target::overBy(10) : Target());
    delete form;
}

} // namespace BenchFigures
