// The main window's decisions over plain data: meeting names, the filter, sorting and the find
// matching.
#include "platform/QorError.h"
#include "support/Failures.h"
#include "ui/controls/CardFind.h"
#include "ui/main/CardListRules.h"
#include "ui/main/MeetingName.h"

#include <QTest>

class TstMainRules : public QObject
{
    Q_OBJECT

private slots:
    void newMeetingName_data()
    {
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("name");  // empty when refused
        QTest::addColumn<QString>("error"); // empty when accepted
        const QString noName = QStringLiteral("Вы не ввели никакого имени для отчета!");
        const QString taken = QStringLiteral("Такое название заседания уже существует!");
        QTest::newRow("trim first, then forbidden characters")
            << " 2017: заседание / 1 " << QStringList() << "2017 заседание  1"
            << "";
        QTest::newRow("control characters at both ends")
            << "\t\x01Заседание\r\n\x1f" << QStringList() << "Заседание"
            << "";
        QTest::newRow("no-break space is no blank")
            << QString(QChar(0xA0)) + "x" << QStringList() << QString(QChar(0xA0)) + "x"
            << "";
        QTest::newRow("all nine forbidden") << "a\"*/:<>?\\|b" << QStringList() << "ab"
                                            << "";
        QTest::newRow("trailing dot kept") << "Заседание." << QStringList() << "Заседание."
                                           << "";
        QTest::newRow("255 letters keep 250")
            << QString(255, u'z') << QStringList() << QString(250, u'z') << "";
        QTest::newRow("blanks only") << "   " << QStringList() << "" << noName;
        QTest::newRow("forbidden only") << " :/?* " << QStringList() << "" << noName;
        QTest::newRow("dots only") << "..." << QStringList() << "" << noName;
        QTest::newRow("dots and blanks") << ". : ." << QStringList() << ".  ."
                                         << "";
        QTest::newRow("other letter case")
            << "2017-новое ЗАСЕДАНИЕ" << QStringList{"a", "2017-Новое заседание"} << "" << taken;
        QTest::newRow("same after cleaning") << " a/b " << QStringList{"AB"} << "" << taken;
        QTest::newRow("a letter Windows-1251 lacks")
            << "Итог ✓" << QStringList() << ""
            << "Символ \"✓\" нельзя записать в название заседания: его нет в кодировке "
               "Windows-1251";
    }

    void newMeetingName()
    {
        QFETCH(QString, entered);
        QFETCH(QStringList, existing);
        QFETCH(QString, name);
        QFETCH(QString, error);
        QString accepted;
        QCOMPARE(Failures::errorOf([&] { accepted = MeetingName::accept(entered, existing); }),
                 error);
        QCOMPARE(accepted, name);
    }

    // 250 Cyrillic letters are 500 bytes, more than a Linux file name holds.
    void longNameFitsTheFileSystem()
    {
        const QString name = MeetingName::accept(QString(255, u'я'), {});
#ifdef Q_OS_WIN
        // Windows counts characters: the name's own limit binds before the file system's.
        QCOMPARE(name, QString(MeetingName::kMaxLength, u'я'));
        return;
#endif
        QVERIFY(FileSystem::fitsFileName(name + ".dat"));
        QVERIFY(!FileSystem::fitsFileName(name + "я.dat"));
        QCOMPARE(name, QString(name.size(), u'я'));
    }

    void filterExpression_data()
    {
        QTest::addColumn<int>("ftype");
        QTest::addColumn<QString>("ftypeKey");
        QTest::addColumn<int>("podkom");
        QTest::addColumn<QString>("podkomKey");
        QTest::addColumn<QString>("expression");
        QTest::newRow("first entries") << 0 << "0" << 0 << "0"
                                       << "";
        QTest::newRow("doctors") << 1 << "1" << 0 << "0"
                                 << "FTYPE=1";
        QTest::newRow("mid-level") << 2 << "2" << -1 << ""
                                   << "FTYPE=2";
        QTest::newRow("both") << 2 << "2" << 13 << "410"
                              << "FTYPE=2 and PODKOM=410";
        QTest::newRow("no entry selected") << -1 << "" << -1 << ""
                                           << "";
    }

    void filterExpression()
    {
        QFETCH(int, ftype);
        QFETCH(QString, ftypeKey);
        QFETCH(int, podkom);
        QFETCH(QString, podkomKey);
        QFETCH(QString, expression);
        QCOMPARE(CardListRules::filterExpression(ftype, ftypeKey, podkom, podkomKey), expression);
    }

    void sortAndMarker_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("sortField");
        QTest::addColumn<QString>("sortsBy");
        QTest::addColumn<bool>("marker");
        QTest::newRow("calculated subcommission") << "C_PODKOM"
                                                  << "PODKOM"
                                                  << "PODKOM" << true;
        QTest::newRow("other field") << "FAM"
                                     << "NAME"
                                     << "FAM" << false;
        QTest::newRow("looked-up column") << "L_LPU"
                                          << "LPU"
                                          << "LPU" << true;
        QTest::newRow("no sort") << "C_FTYPE"
                                 << ""
                                 << "FTYPE" << false;
        QTest::newRow("short name") << "C_"
                                    << ""
                                    << "C_" << false;
    }

    void sortAndMarker()
    {
        QFETCH(QString, column);
        QFETCH(QString, sortField);
        QFETCH(QString, sortsBy);
        QFETCH(bool, marker);
        QCOMPARE(CardListRules::sortFieldOfColumn(column), sortsBy);
        QCOMPARE(CardListRules::titleHasSortMarker(column, sortField), marker);
    }

    void findMatching_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("match");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<bool>("matches");
        const int any = int(CardFind::Match::Anywhere);
        const int whole = int(CardFind::Match::WholeField);
        const int start = int(CardFind::Match::FieldStart);
        QTest::newRow("anywhere, Cyrillic case") << "ОБРАЗЦОВА"
                                                 << "разц" << any << false << true;
        QTest::newRow("anywhere, case kept") << "ОБРАЗЦОВА"
                                             << "разц" << any << true << false;
        QTest::newRow("whole field, longer") << "Врачи"
                                             << "врач" << whole << false << false;
        QTest::newRow("not at start") << "Петров"
                                      << "тров" << start << false << false;
        QTest::newRow("ё is not е") << "Фёдорова"
                                    << "федорова" << any << false << false;
    }

    void findMatching()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(int, match);
        QFETCH(bool, caseSensitive);
        QFETCH(bool, matches);
        QCOMPARE(CardFind::matches(text, pattern, CardFind::Match(match), caseSensitive), matches);
    }

    void findStepping_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("direction");
        QTest::addColumn<QList<int>>("matching");
        QTest::addColumn<int>("found");
        const int up = int(CardFind::Direction::Up);
        const int down = int(CardFind::Direction::Down);
        const int all = int(CardFind::Direction::All);
        QTest::newRow("down skips current") << 2 << down << QList<int>{2, 4} << 4;
        QTest::newRow("down stops at the end") << 4 << down << QList<int>{1, 4} << -1;
        QTest::newRow("up") << 4 << up << QList<int>{1, 4} << 1;
        QTest::newRow("up stops at the start") << 1 << up << QList<int>{1, 4} << -1;
        QTest::newRow("all wraps") << 4 << all << QList<int>{1, 4} << 1;
        QTest::newRow("all finds a lone current") << 3 << all << QList<int>{3} << 3;
        QTest::newRow("no current") << -1 << down << QList<int>{0} << 0;
        QTest::newRow("nothing") << 0 << all << QList<int>{} << -1;
    }

    void findStepping()
    {
        QFETCH(int, current);
        QFETCH(int, direction);
        QFETCH(QList<int>, matching);
        QFETCH(int, found);
        QCOMPARE(CardFind::nextRow(5, current, CardFind::Direction(direction),
                                   [&](int row) { return matching.contains(row); }),
                 found);
    }
};

QTEST_APPLESS_MAIN(TstMainRules)
#include "tst_mainrules.moc"
