#include "CardFileTestKit.h"
#include "data/CardTextFormat.h"
#include "data/MeetingFiles.h"
#include "data/ReferenceLists.h"
#include "data/TDM1.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/QorError.h"
#include "support/Failures.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>

using namespace CardFileTestKit;

Q_DECLARE_METATYPE(FileSystem::Step)

using namespace Failures;

namespace {

const QString kThreeLines = QStringLiteral(
    "Несколько записей (1) не были загружены из-за ошибок!\r\n"
    "Во избежание потери данных не рекомендуется проводить изменение и ввод новых карточек!\r\n"
    "Обратитесь к разработчику.");

// Three cards: two doctors, one mid-level worker.
void fill(CardTable &t)
{
    addCard(t, validCard("АРТЕМЬЕВ", {{CardFields::FTYPE, "1"}}));
    addCard(t, validCard("БЕЛОВА", {{CardFields::FTYPE, "2"}}));
    addCard(t, validCard("ВАСИЛЬЕВ", {{CardFields::FTYPE, "1"}}));
}

} // namespace

class TestMeetingFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestEnvironment::isolateHome(); }
    void init();
    void meetingNameOf_data();
    void meetingNameOf();
    void listing();
    void letterCaseOfTheFile();
    void saveWritesHiddenCards();
    void saveAfterPostOfFilteredTable();
    void loadReplacesEveryCard();
    void loadWithoutFile();
    void loadRefusedCard();
    void loadSavesNothing();
    void loadLeavesCategoryRuleToCaller();
    void saveFailureKeepsMeetingFile_data();
    void saveFailureKeepsMeetingFile();
    void saveRenameFailures();
    void folderWhereTheFileGoes();
    void caseTwinsKeepTheirOwnFiles();
    void pendingEditIsPostedOrRefused();
    void readOnlyMeetingFile();
    void refusedCardsAreKept();
    void longNameStillGetsItsBackup();
    void unreadableFileIsKept();
    void preloadedMeeting_data();
    void preloadedMeeting();

private:
    QString path(const QString &name) const
    {
        return QDir::toNativeSeparators(m_dir->filePath(name));
    }
    QString folder() const { return QDir::toNativeSeparators(m_dir->path()) + QDir::separator(); }
    // How many cards the meeting's file gives when it is loaded afresh.
    int cardsOnDisk(const QString &name)
    {
        CardTable back;
        LoadMeeting(back, folder(), name, m_refused);
        return back.count();
    }
    std::unique_ptr<QTemporaryDir> m_dir;
    RefusedMeetings m_refused;
};

void TestMeetingFiles::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_refused.clear();
}

void TestMeetingFiles::meetingNameOf_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("name");
    QTest::newRow("ordinary") << "2017-Новое заседание.dat"
                              << "2017-Новое заседание";
    QTest::newRow("dots") << "a.b.dat"
                          << "a.b";
    QTest::newRow("double dot") << "x..dat"
                                << "x.";
    QTest::newRow("triple dot") << "x...dat"
                                << "x..";
    QTest::newRow("only the ending") << ".dat"
                                     << ".dat";
    QTest::newRow("hidden") << ".скрытое.dat"
                            << ".скрытое";
    QTest::newRow("one word") << "заседание"
                              << "заседание";
    QTest::newRow("with folder") << "/tmp/папка.x/c.DAT"
                                 << "c";
}

void TestMeetingFiles::meetingNameOf()
{
    QFETCH(QString, file);
    QFETCH(QString, name);
    QCOMPARE(MeetingNameOf(file), name);
}

void TestMeetingFiles::listing()
{
    QVERIFY(ListMeetings(folder()).isEmpty());
    for (const char *name : {"b.dat", "A.dat", "c.DAT", "в.dat", "Б.Dat", "a.b.dat", ".тайное.dat",
                             "b.tmp", "b.dat.bak", "b.dat.bak2", "b.dat.bak.tmp", "notes.txt"})
        QVERIFY(putFile(path(QString::fromUtf8(name)), "<QOR>\r\n"));
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("папка.dat")));
    QCOMPARE(ListMeetings(folder()),
             (QStringList{".тайное", "a.b", "A", "b", "c", "Б", "в"})); // file names sorted

    // Every file a save creates is listed again under the name it was saved as.
    CardTable t;
    for (const QString &name : {QStringLiteral("x."), QStringLiteral(".начало"),
                                QStringLiteral("2017-Новое заседание")}) {
        SaveMeeting(t, ReferenceLists(), folder(), name, m_refused);
        QVERIFY(ListMeetings(folder()).contains(name));
    }
}

void TestMeetingFiles::letterCaseOfTheFile()
{
    CardTable t;
    fill(t);
    QVERIFY(putFile(path("c.DAT"), "<QOR>\r\n"));
    SaveMeeting(t, ReferenceLists(), folder(), "c", m_refused);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"c.DAT"});
#ifdef Q_OS_WIN // any spelling names the one file there
    QCOMPARE(meetingFilePath(folder(), "C").compare(path("c.DAT"), Qt::CaseInsensitive), 0);
#else
    QCOMPARE(meetingFilePath(folder(), "C"), path("c.DAT"));
#endif

    QCOMPARE(cardsOnDisk("c"), 3);
    QCOMPARE(ListMeetings(folder()), QStringList{"c"});
}

// On a file system that tells case apart, B.dat and b.DAT are two meetings, each its own file.
void TestMeetingFiles::caseTwinsKeepTheirOwnFiles()
{
#ifdef Q_OS_WIN
    QSKIP("Windows tells no case apart in file names: B.dat and b.DAT are one file there");
#endif
    QVERIFY(putFile(path("B.dat"), crlfLines({"<QOR>", "[1]"}) + "\r\n"));
    QVERIFY(putFile(path("b.DAT"), "<QOR>\r\n"));
    QCOMPARE(ListMeetings(folder()).size(), 2);
    QCOMPARE(meetingFilePath(folder(), "B"), path("B.dat"));
    QCOMPARE(meetingFilePath(folder(), "b"), path("b.DAT"));
    CardTable t;
    fill(t);
    SaveMeeting(t, ReferenceLists(), folder(), "b", m_refused);
    QCOMPARE(fileBytes(path("B.dat")), crlfLines({"<QOR>", "[1]"}) + "\r\n");
}

// A card still being edited when a save comes is posted first; one that cannot be posted stops
// the save with its message, and the program goes on.
void TestMeetingFiles::pendingEditIsPostedOrRefused()
{
    CardTable t;
    fill(t);
    t.setFilter("FTYPE=1");
    t.first();
    t.edit();
    t.field(CardFields::FAM).clear();
    QCOMPARE(errorOf([&] { SaveMeeting(t, ReferenceLists(), folder(), "m", m_refused); }),
             QStringLiteral("Поле 'Фамилия' должно иметь значение"));
    QVERIFY(!FileSystem::anythingExists(path("m.dat")));
    QCOMPARE(t.filter(), QStringLiteral("FTYPE=1"));

    t.field(CardFields::FAM).setAsString("ПОПРАВЛЕНО");
    SaveMeeting(t, ReferenceLists(), folder(), "m", m_refused);
    QCOMPARE(t.state(), CardTable::State::Browse);
    QVERIFY(fileBytes(path("m.dat")).contains(cp1251("@FAM=ПОПРАВЛЕНО")));
}

void TestMeetingFiles::saveWritesHiddenCards()
{
    CardTable t;
    fill(t);
    t.setSortField("FAM");
    t.setFilter("FTYPE=1");
    t.last();
    const CardTable::Bookmark current = t.bookmark();
    SaveMeeting(t, ReferenceLists(), folder(), "m", m_refused);
    QCOMPARE(t.filter(), QStringLiteral("FTYPE=1"));
    QCOMPARE(t.count(), 2);
    QCOMPARE(t.bookmark(), current);
    QVERIFY(!t.viewUpdatesSuppressed());

    QCOMPARE(cardsOnDisk("m"), 3);
    QVERIFY(!QFileInfo::exists(path("m.tmp")));
}

void TestMeetingFiles::saveAfterPostOfFilteredTable()
{
    TDM1 dm;
    CardTable &t = dm.cdsQor();
    dm.setSaveAction([&] { SaveMeeting(t, dm.lists(), folder(), "m", m_refused); });
    fill(t);
    t.setFilter("FTYPE=1");
    t.first();
    t.edit();
    t.field(CardFields::JOB).setAsString("изменено");
    t.post();
    QCOMPARE(cardsOnDisk("m"), 3); // the mid-level card the filter hides is still in the file
    QVERIFY(fileBytes(path("m.dat")).contains(cp1251("@JOB=изменено")));
}

void TestMeetingFiles::loadReplacesEveryCard()
{
    CardTable t;
    fill(t);
    SaveMeeting(t, ReferenceLists(), folder(), "first", m_refused);
    CardTable other;
    addCard(other, validCard("ДРУГОЙ", {{CardFields::FTYPE, "2"}}));
    SaveMeeting(other, ReferenceLists(), folder(), "second", m_refused);

    t.setFilter("FTYPE=1"); // hides БЕЛОВА, who must go all the same
    LoadMeeting(t, folder(), "second", m_refused);
    QCOMPARE(t.totalCount(), 1);
    QCOMPARE(t.filter(), QStringLiteral("FTYPE=1"));
    QCOMPARE(t.count(), 0);
    t.setFilter(QString());
    QCOMPARE(t.text(0, CardFields::FAM), QStringLiteral("ДРУГОЙ"));
    QCOMPARE(t.currentRow(), 0);
}

void TestMeetingFiles::loadWithoutFile()
{
    ScriptedDialogs dialogs;
    CardTable t;
    fill(t);
    LoadMeeting(t, folder(), "нет такого", m_refused);
    QCOMPARE(t.totalCount(), 0);
    QVERIFY(putFile(path(".dat"), crlfLines({"<QOR>", "[1]"})));
    fill(t);
    LoadMeeting(t, folder(), QString(), m_refused); // no meeting: the file ".dat" is not it
    QCOMPARE(t.totalCount(), 0);
    dialogs.verifyDone();
}

void TestMeetingFiles::loadRefusedCard()
{
    ScriptedDialogs dialogs;
    dialogs.expectMessage();
    CardTable t;
    fill(t);
    SaveMeeting(t, ReferenceLists(), folder(), "m", m_refused);
    QByteArray bytes = fileBytes(path("m.dat"));
    bytes.replace(cp1251("@FAM=БЕЛОВА\r\n"), "");
    QVERIFY(putFile(path("m.dat"), bytes));

    CardTable back;
    QCOMPARE(errorOf([&] { LoadMeeting(back, folder(), "m", m_refused); }), kThreeLines);
    QCOMPARE(back.count(), 2);
    QCOMPARE(dialogs.log().size(), 1);
    QCOMPARE(dialogs.log().at(0).caption, QStringLiteral("Ошибка при чтении данных из файла"));
    QVERIFY(back.isConnected(CardTable::Handler::AfterPost));
    QVERIFY(back.isConnected(CardTable::Handler::AfterDelete));
    QVERIFY(!back.viewUpdatesSuppressed());
    QCOMPARE(fileBytes(path("m.dat")), bytes);
    dialogs.verifyDone();
}

void TestMeetingFiles::loadSavesNothing()
{
    ScriptedDialogs dialogs;
    TDM1 dm;
    int saves = 0;
    dm.setSaveAction([&] { ++saves; });
    CardTable source;
    fill(source);
    SaveMeeting(source, ReferenceLists(), folder(), "m", m_refused);
    LoadMeeting(dm.cdsQor(), folder(), "m", m_refused);
    QCOMPARE(saves, 0);
    QCOMPARE(dm.cdsQor().count(), 3);

    // Handlers come back also when the load fails.
    QVERIFY(putFile(path("bad.dat"), "no card file"));
    QVERIFY(errorOf([&] {
                LoadMeeting(dm.cdsQor(), folder(), "bad", m_refused);
            }).contains(QStringLiteral("не является правильным файлом данных")));
    QCOMPARE(dm.cdsQor().totalCount(), 0);
    QVERIFY(dm.cdsQor().isConnected(CardTable::Handler::AfterPost));
    QVERIFY(dm.cdsQor().isConnected(CardTable::Handler::AfterDelete));
    addCard(dm.cdsQor(), validCard("ПОСЛЕ"));
    QCOMPARE(saves, 1);
    dialogs.verifyDone();
}

void TestMeetingFiles::loadLeavesCategoryRuleToCaller()
{
    TestEnvironment::FixedClock clock(QDateTime(QDate(2017, 3, 15), QTime(12, 0)));
    CardTable source;
    addCard(source, validCard("БУДУЩИЙ", {{CardFields::CATDATE, "42900"}})); // after today
    SaveMeeting(source, ReferenceLists(), folder(), "m", m_refused);

    TDM1 dm;
    {
        ScopedHandlerDisconnect rule(dm.cdsQor(), CardTable::Handler::BeforePost);
        LoadMeeting(dm.cdsQor(), folder(), "m", m_refused);
    }
    QCOMPARE(dm.cdsQor().count(), 1);

    ScriptedDialogs dialogs;
    dialogs.expectMessage();
    QCOMPARE(errorOf([&] { LoadMeeting(dm.cdsQor(), folder(), "m", m_refused); }), kThreeLines);
    QCOMPARE(dialogs.log().at(0).text, QStringLiteral("Неправильная дата присвоения категории!"));
    dialogs.verifyDone();
}

void TestMeetingFiles::saveFailureKeepsMeetingFile_data()
{
    QTest::addColumn<FileSystem::Step>("step");
    QTest::addColumn<int>("nth");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("message");
    using S = FileSystem::Step;
    QTest::newRow("open") << S::Open << 1 << Fault::TooManyFiles << "Слишком много открытых файлов";
    QTest::newRow("first write") << S::Write << 1 << Fault::DiskFull << "Диск полон";
    QTest::newRow("second write") << S::Write << 2 << Fault::IoError << "Ошибка ввода/вывода 1117";
    QTest::newRow("flush") << S::Flush << 1 << Fault::DiskFull << "Диск полон";
    QTest::newRow("sync") << S::Sync << 1 << Fault::IoError << "Ошибка ввода/вывода 1117";
    QTest::newRow("close") << S::Close << 1 << Fault::QuotaExceeded << "Диск полон";
    QTest::newRow("list test") << S::Open << 0 << Fault::IoError
                               << "Для \"ПЛОХОВ\" нужно выбрать должность из нового перечня!";
}

void TestMeetingFiles::saveFailureKeepsMeetingFile()
{
    QFETCH(FileSystem::Step, step);
    QFETCH(int, nth);
    QFETCH(Fault, fault);
    QFETCH(QString, message);
    CardTable t;
    fill(t);
    SaveMeeting(t, ReferenceLists(), folder(), "m", m_refused);
    const QByteArray before = fileBytes(path("m.dat"));

    // Enough cards for several chunks, so that a second write happens.
    for (int i = 0; i < 400; ++i)
        addCard(t, validCard(QStringLiteral("НОВЫЙ%1").arg(i)));
    if (nth == 0)
        addCard(t, validCard("ПЛОХОВ", {{CardFields::DOL, "999"}}));
    {
        InjectFault injected(step, nth, fault);
        QCOMPARE(errorOf([&] { SaveMeeting(t, ReferenceLists(), folder(), "m", m_refused); }),
                 message);
    }
    QCOMPARE(fileBytes(path("m.dat")), before);
    QCOMPARE(ListMeetings(folder()), QStringList{"m"});
    QCOMPARE(t.totalCount(), nth == 0 ? 404 : 403); // the change stays in the table

    if (nth == 0)
        t.deleteCurrent(); // ПЛОХОВ, the last card posted
    SaveMeeting(t, ReferenceLists(), folder(), "m", m_refused); // the next save mends it all
    QCOMPARE(cardsOnDisk("m"), 403);
    QVERIFY(!QFileInfo::exists(path("m.tmp")));
}

void TestMeetingFiles::saveRenameFailures()
{
    CardTable t;
    fill(t);
    {
        InjectFault fault(FileSystem::Step::Rename, 1, Fault::IoError);
        QCOMPARE(errorOf([&] { SaveMeeting(t, ReferenceLists(), folder(), "new", m_refused); }),
                 QStringLiteral("Не удалось сохранить данные в файл \"%1\"!").arg(path("new.dat")));
    }
    QVERIFY(!QFileInfo::exists(path("new.dat")));
    QVERIFY(QFileInfo::exists(path("new.tmp"))); // complete, holding the meeting

    SaveMeeting(t, ReferenceLists(), folder(), "new", m_refused);
    const QByteArray before = fileBytes(path("new.dat"));
    addCard(t, validCard("ЕЩЁ"));
    {
        InjectFault fault(FileSystem::Step::Rename, 1, Fault::Busy);
        QCOMPARE(errorOf([&] { SaveMeeting(t, ReferenceLists(), folder(), "new", m_refused); }),
                 QStringLiteral("Не удалось переписать файл \"%1\"!").arg(path("new.dat")));
    }
    QCOMPARE(fileBytes(path("new.dat")), before);
}

void TestMeetingFiles::folderWhereTheFileGoes()
{
    CardTable t;
    fill(t);
    QVERIFY(QDir(m_dir->path()).mkpath("m.dat/inside"));
    QCOMPARE(errorOf([&] { SaveMeeting(t, ReferenceLists(), folder(), "m", m_refused); }),
             QStringLiteral("Не удалось переписать файл \"%1\"!").arg(path("m.dat")));
    QVERIFY(QFileInfo::exists(path("m.dat/inside")));
    QVERIFY(ListMeetings(folder()).isEmpty());

    QVERIFY(QDir(m_dir->path()).mkdir("n.tmp"));
    SaveMeeting(t, ReferenceLists(), folder(), "n-old", m_refused);
    QVERIFY(QFile::rename(path("n-old.dat"), path("n.dat")));
    const QByteArray before = fileBytes(path("n.dat"));
    addCard(t, validCard("ЕЩЁ"));
    QCOMPARE(errorOf([&] { SaveMeeting(t, ReferenceLists(), folder(), "n", m_refused); }),
             QStringLiteral("В доступе к файлу отказано"));
    QCOMPARE(fileBytes(path("n.dat")), before);
}

void TestMeetingFiles::readOnlyMeetingFile()
{
    CardTable t;
    fill(t);
    SaveMeeting(t, ReferenceLists(), folder(), "m", m_refused);
    QVERIFY(QFile::setPermissions(path("m.dat"), QFile::ReadOwner | QFile::ReadGroup));
    addCard(t, validCard("ЧЕТВЕРТЫЙ"));
    SaveMeeting(t, ReferenceLists(), folder(), "m", m_refused);
    QCOMPARE(cardsOnDisk("m"), 4);
}

void TestMeetingFiles::refusedCardsAreKept()
{
    ScriptedDialogs dialogs;
    CardTable t;
    fill(t);
    SaveMeeting(t, ReferenceLists(), folder(), "m", m_refused);
    QByteArray original = fileBytes(path("m.dat"));
    original.replace(cp1251("@FAM=БЕЛОВА\r\n"), "");
    QVERIFY(putFile(path("m.dat"), original));
    QVERIFY(putFile(path("m.dat.bak"), "an older backup"));

    dialogs.expectMessage();
    CardTable back;
    QCOMPARE(errorOf([&] { LoadMeeting(back, folder(), "m", m_refused); }), kThreeLines);
    addCard(back, validCard("НОВЫЙ"));
    SaveMeeting(back, ReferenceLists(), folder(), "m", m_refused);
    SaveMeeting(back, ReferenceLists(), folder(), "m", m_refused);
    QCOMPARE(fileBytes(path("m.dat.bak")), QByteArray("an older backup")); // never overwritten
    QCOMPARE(fileBytes(path("m.dat.bak2")), original);
    QVERIFY(!QFileInfo::exists(path("m.dat.bak3"))); // kept once
    QCOMPARE(ListMeetings(folder()), QStringList{"m"});

    // A load that reads every card needs no backup.
    QVERIFY(QFile::remove(path("m.dat.bak")));
    QVERIFY(QFile::remove(path("m.dat.bak2")));
    LoadMeeting(back, folder(), "m", m_refused);
    SaveMeeting(back, ReferenceLists(), folder(), "m", m_refused);
    QVERIFY(!QFileInfo::exists(path("m.dat.bak")));
    dialogs.verifyDone();
}

void TestMeetingFiles::longNameStillGetsItsBackup()
{
    // A name the file system just holds as "<name>.dat" has no room for ".dat.bak.tmp": 255
    // bytes here, 255 characters on Windows.
#ifdef Q_OS_WIN
    const QString name(247, u'Z');
#else
    const QString name(124, u'Ж');
#endif
    QVERIFY(FileSystem::fitsFileName(name + ".dat"));
    QVERIFY(!FileSystem::fitsFileName(name + ".dat.bak.tmp"));
    QVERIFY(putFile(path(name + ".dat"), "<QOR>\r\n[1]\r\n@FAM=x\r\n"));
    ScriptedDialogs dialogs;
    dialogs.expectMessage();
    CardTable t;
    QCOMPARE(errorOf([&] { LoadMeeting(t, folder(), name, m_refused); }).isEmpty(), false);
    addCard(t, validCard("НОВЫЙ"));
    SaveMeeting(t, ReferenceLists(), folder(), name, m_refused);
    const QStringList backups = QDir(folder()).entryList({"*.bak"});
    QCOMPARE(backups.size(), 1);
    QVERIFY(backups.first().startsWith(name.left(100)));
    QCOMPARE(ListMeetings(folder()), QStringList{name});
    dialogs.verifyDone();
}

void TestMeetingFiles::unreadableFileIsKept()
{
    const QByteArray utf8 = "\xef\xbb\xbf<QOR>\r\n[1]\r\n@FAM=x\r\n";
    QVERIFY(putFile(path("m.dat"), utf8));
    CardTable t;
    QVERIFY(!errorOf([&] { LoadMeeting(t, folder(), "m", m_refused); }).isEmpty());
    addCard(t, validCard("НОВЫЙ"));
    SaveMeeting(t, ReferenceLists(), folder(), "m", m_refused);
    QCOMPARE(fileBytes(path("m.dat.bak")), utf8);
}

// A meeting read ahead gives the cards of its file as it stands at the load: a file rewritten
// since is read again, a damaged one refused as ever; a file of several pieces of a megabyte
// (read on worker threads) gives every card in order.
void TestMeetingFiles::preloadedMeeting_data()
{
    QTest::addColumn<int>("cards");
    QTest::addColumn<QString>("afterPreload"); // "", "rewritten" or "damaged"
    QTest::newRow("unchanged") << 3 << "";
    QTest::newRow("several pieces") << 9000 << "";
    QTest::newRow("rewritten after the preload") << 3 << "rewritten";
    QTest::newRow("damaged") << 3 << "damaged";
}

void TestMeetingFiles::preloadedMeeting()
{
    QFETCH(int, cards);
    QFETCH(QString, afterPreload);
    CardTable t;
    for (int i = 0; i < cards; ++i)
        addCard(t, validCard(QStringLiteral("Ф%1").arg(i)));
    SaveMeeting(t, ReferenceLists(), folder(), "М", m_refused);
    PreloadMeeting(folder(), "М");
    if (afterPreload == "rewritten") {
        t.first();
        t.deleteCurrent();
        SaveMeeting(t, ReferenceLists(), folder(), "М", m_refused);
        --cards;
    }
    if (afterPreload == "damaged")
        TestFiles::put(path("М.dat"), "not a meeting\r\n");

    CardTable loaded;
    if (afterPreload == "damaged") {
        QVERIFY_THROWS_EXCEPTION(QorError, LoadMeeting(loaded, folder(), "М", m_refused));
        QVERIFY(m_refused.contains(path("М.dat")));
        return;
    }
    LoadMeeting(loaded, folder(), "М", m_refused);
    QCOMPARE(loaded.totalCount(), cards);
    for (int row = 0; row < cards; ++row)
        QCOMPARE(loaded.text(row, CardFields::FAM), t.text(row, CardFields::FAM));
}

QTEST_GUILESS_MAIN(TestMeetingFiles)
#include "tst_meetingfiles.moc"
