// The main window on a meeting of 100 000 cards: first show (listing and loading), sorting by a
// calculated column and by surname, a filter, scrolling to the end. Run by hand from a Release
// build; prints milliseconds per step.
#include "data/CardTestData.h"
#include "data/MeetingFiles.h"
#include "data/TDM1.h"
#include "support/TestEnvironment.h"
#include "ui/controls/CardGrid.h"
#include "ui/controls/LookupComboBox.h"
#include "ui/entry/TfmVvod.h"
#include "ui/main/CardListCommands.h"
#include "ui/main/TfmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    TestEnvironment::isolateHome();
    const int cards = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    QTemporaryDir folder;
    const QString programFolder = folder.path() + u'/';
    {
        CardTable table;
        ScopedViewUpdates views(table);
        for (int i = 0; i < cards; ++i)
            addCard(table, 1 + i % 2, i % 3 ? 404 : 410,
                    QStringLiteral("ФАМИЛИЯ%1").arg((i * 7919) % cards, 6, 10, QChar(u'0')));
        SaveMeeting(table, ReferenceLists(), programFolder, QStringLiteral("Большое заседание"));
    }

    QTextStream out(stdout);
    QElapsedTimer timer;
    const auto step = [&](const char *what, const std::function<void()> &work) {
        timer.start();
        work();
        QCoreApplication::processEvents(); // the repaint belongs to the step
        out << QString::fromLatin1(what).leftJustified(36) << timer.elapsed() << " ms\n";
        out.flush();
    };

    DM1 = new TDM1;
    auto *main = new TfmMain(programFolder);
    new TfmVvod(main);
    CardGrid *grid = main->findChild<CardGrid *>("DBGridEh1");
    step("first show: list and load", [&] {
        main->show();
        (void)QTest::qWaitForWindowExposed(main);
    });
    out << "cards in view: " << DM1->cdsQor().count() << "\n";
    step("sort by subcommission (C_PODKOM)",
         [&] { main->cardList()->DBGridEh1TitleBtnClick(CardFields::C_PODKOM); });
    step("sort by surname (FAM)",
         [&] { main->cardList()->DBGridEh1TitleBtnClick(CardFields::FAM); });
    step("scroll to the end", [&] { grid->scrollToBottom(); });
    step("filter: doctors",
         [&] { main->findChild<LookupComboBox *>("lcbFTYPE")->setCurrentIndex(1); });
    step("filter: none",
         [&] { main->findChild<LookupComboBox *>("lcbFTYPE")->setCurrentIndex(0); });
    step("page down 50 times", [&] {
        for (int i = 0; i < 50; ++i)
            QTest::keyClick(grid, Qt::Key_PageDown);
    });
    delete main;
    delete DM1;
    return 0;
}
