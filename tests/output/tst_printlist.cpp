#include "OutputTestKit.h"
#include "output/PrintList.h"
#include "output/RtfReport.h"
#include "platform/DocumentOpener.h"
#include "platform/FileSystem.h"
#include "support/Failures.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace OutputTestKit;

namespace {

// The columns of the card list in their initial order.
QList<PrintColumn> allColumns()
{
    static const int order[] = {CardFields::C_FTYPE,    CardFields::FAM,      CardFields::NAME,
                                CardFields::OTCH,       CardFields::C_PODKOM, CardFields::LPU,
                                CardFields::CHANGEDATE, CardFields::JOB,      CardFields::DOL,
                                CardFields::CAT,        CardFields::CATDATE,  CardFields::CATNUM,
                                CardFields::DECLCAT,    CardFields::RESOL,    CardFields::SPEC,
                                CardFields::FAM2,       CardFields::NAME2,    CardFields::OTCH2};
    QList<PrintColumn> columns;
    for (int field : order)
        columns.append({CardFields::def(field).labelText(), CardFields::def(field).nameText()});
    return columns;
}

const QList<PrintColumn> kFamName = {{QStringLiteral("Фамилия"), QStringLiteral("FAM")},
                                     {QStringLiteral("Имя"), QStringLiteral("NAME")}};

QByteArray escaped(const QString &text)
{
    return RtfEscape(text);
}

} // namespace

class TestPrintList : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void filterOrderAndMovedColumns();
    void emptyListDoesNothing();
    void lockedReportTakesNextName();
    void resultIsReadOnly();
    void noRtfApplicationSaysWhere();
    void emptyingKeepsFoldersAndFollowsNoLink();
    void reportFolderMustBeOwn_data();
    void reportFolderMustBeOwn();
    void temporaryFolderWithoutSession();
    void realReaderShowsEveryCard();

private:
    QString print(CardTable &t, const QList<PrintColumn> &columns = kFamName)
    {
        return PrintList(PrintListTitle(QStringLiteral("Март")), columns, t);
    }

    // The report folder: in the session's runtime folder here, under %TEMP% on Windows.
    QString tovik() const
    {
#ifdef Q_OS_WIN
        return QDir::toNativeSeparators(m_tmp->path() + QStringLiteral("/tovik"));
#else
        return m_runtime->path() + QStringLiteral("/tovik");
#endif
    }
    QString inTovik(const QString &name) const { return tovik() + QDir::separator() + name; }
    static bool endsIn(const QString &path, const QString &name)
    {
        return path.endsWith(QDir::separator() + name);
    }

    QTemporaryDir m_base;
    std::unique_ptr<QTemporaryDir> m_runtime;
    std::unique_ptr<QTemporaryDir> m_tmp;
    QStringList m_opened;
    bool m_openSucceeds = true;
};

void TestPrintList::init()
{
    // mkdtemp: private to the user
    m_runtime = std::make_unique<QTemporaryDir>(m_base.filePath(QStringLiteral("runtime-XXXXXX")));
    m_tmp = std::make_unique<QTemporaryDir>(m_base.filePath(QStringLiteral("tmp-XXXXXX")));
    qputenv("XDG_RUNTIME_DIR", m_runtime->path().toLocal8Bit());
    qputenv("TMPDIR", m_tmp->path().toLocal8Bit());
    qputenv("TMP", QDir::toNativeSeparators(m_tmp->path()).toLocal8Bit());
    qputenv("TEMP", QDir::toNativeSeparators(m_tmp->path()).toLocal8Bit());
    m_opened.clear();
    m_openSucceeds = true;
    DocumentOpener::install([this](const QString &path) {
        m_opened << path;
        return m_openSucceeds;
    });
}

void TestPrintList::cleanup()
{
    DocumentOpener::install({});
    // Read-only reports would not stop the removal, but the folders are left writable anyway.
    FileSystem::setFaultHook({});
}

void TestPrintList::filterOrderAndMovedColumns()
{
    CardTable t;
    addPerson(t, QStringLiteral("Яковлев"), QStringLiteral("Олег"), 1);
    addPerson(t, QStringLiteral("Борисова"), QStringLiteral("Анна"), 2);
    addPerson(t, QStringLiteral("Абрамов"), QStringLiteral("Иван"), 1);
    t.setFilter(QStringLiteral("FTYPE=1"));
    t.setSortField(QStringLiteral("FAM"));

    const QString path = print(t, {kFamName.at(1), kFamName.at(0)});
    QCOMPARE(path, inTovik(QStringLiteral("R0.rtf")));
    QCOMPARE(m_opened, QStringList{path});
    const QByteArray rtf = CardFileTestKit::fileBytes(path);
    const QByteArray expected = "\\cell " + escaped("Имя") + "\\cell " + escaped("Фамилия") +
                                "\\cell \\row 1\\cell " + escaped("Иван") + "\\cell " +
                                escaped("Абрамов") + "\\cell \\row 2\\cell " + escaped("Олег") +
                                "\\cell " + escaped("Яковлев") + "\\cell \\row \\pard \\par }";
    QVERIFY2(rtf.endsWith(expected), rtf.constData());
    QVERIFY(!rtf.contains(escaped("Борисова")));
}

void TestPrintList::emptyListDoesNothing()
{
    ScriptedDialogs dialogs;
    CardTable t;
    addPerson(t, QStringLiteral("А"), QStringLiteral("Б"), 2);
    t.setFilter(QStringLiteral("FTYPE=1"));
    QCOMPARE(print(t), QString());
    QVERIFY(m_opened.isEmpty());
    QVERIFY(QDir(m_runtime->path()).isEmpty());
}

void TestPrintList::lockedReportTakesNextName()
{
    CardTable t;
    addPerson(t, QStringLiteral("А"), QStringLiteral("Б"));
    const QString first = print(t);
    QVERIFY(endsIn(first, QStringLiteral("R0.rtf")));
    {
        // The word processor still holds R0.rtf.
        FileSystem::setFaultHook([](FileSystem::Step step, const QString &path) {
            return step == FileSystem::Step::Remove && path.endsWith(QStringLiteral("R0.rtf"))
                       ? EBUSY
                       : 0;
        });
        QVERIFY(endsIn(print(t), QStringLiteral("R1.rtf")));
        FileSystem::setFaultHook({});
    }
    QVERIFY(endsIn(print(t), QStringLiteral("R0.rtf")));
    QCOMPARE(QDir(QFileInfo(first).path()).entryList(QDir::Files), QStringList{"R0.rtf"});
}

void TestPrintList::resultIsReadOnly()
{
    CardTable t;
    addPerson(t, QStringLiteral("А"), QStringLiteral("Б"));
    const QFileInfo info(print(t));
    QVERIFY(info.isFile());
    QVERIFY(!(info.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther)));
}

void TestPrintList::noRtfApplicationSaysWhere()
{
    m_openSucceeds = false;
    ScriptedDialogs dialogs;
    dialogs.expectMessage();
    CardTable t;
    addPerson(t, QStringLiteral("А"), QStringLiteral("Б"));
    const QString path = print(t);
    QCOMPARE(dialogs.log().size(), 1);
    QCOMPARE(dialogs.log().first().caption, QStringLiteral("Сообщение"));
    QCOMPARE(dialogs.log().first().icon, Dialogs::Icon::Information);
    QVERIFY(dialogs.log().first().text.contains(u'"' + path + u'"'));
    dialogs.verifyDone();
}

void TestPrintList::emptyingKeepsFoldersAndFollowsNoLink()
{
    QTemporaryDir outside;
    const QString keep = outside.filePath(QStringLiteral("keep.txt"));
    QVERIFY(CardFileTestKit::putFile(keep, "x"));
    const QString tovik = this->tovik();
    QVERIFY(QDir().mkpath(tovik + QStringLiteral("/sub")));
    for (const char *name : {"/R0.rtf", "/old.txt", "/sub/R5.rtf"})
        QVERIFY(CardFileTestKit::putFile(tovik + QLatin1String(name), "x"));
    QFile::setPermissions(tovik + QStringLiteral("/old.txt"), QFile::ReadOwner);
#ifndef Q_OS_WIN // QFile::link makes shell shortcuts there, plain files
    QVERIFY(QFile::link(outside.path(), tovik + QStringLiteral("/folderlink")));
    QVERIFY(QFile::link(keep, tovik + QStringLiteral("/filelink")));
#endif

    CardTable t;
    addPerson(t, QStringLiteral("А"), QStringLiteral("Б"));
    QVERIFY(endsIn(print(t), QStringLiteral("R0.rtf")));

    QVERIFY(QFileInfo::exists(keep));
    QCOMPARE(QDir(tovik).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
             (QStringList{"R0.rtf", "sub"}));
    QVERIFY(QDir(tovik + QStringLiteral("/sub")).isEmpty());
}

void TestPrintList::reportFolderMustBeOwn_data()
{
    QTest::addColumn<QString>("kind");
#ifndef Q_OS_WIN // QFile::link makes shell shortcuts there, plain files
    QTest::newRow("a link to another folder") << "link";
#endif
    QTest::newRow("a file") << "file";
    QTest::newRow("another user's folder") << "foreign";
}

void TestPrintList::reportFolderMustBeOwn()
{
    QFETCH(QString, kind);
    QTemporaryDir other;
    const QString victim = other.filePath(QStringLiteral("precious.doc"));
    QVERIFY(CardFileTestKit::putFile(victim, "x"));
    const QString tovik = this->tovik();
    if (kind == QLatin1String("link")) {
        QVERIFY(QFile::link(other.path(), tovik));
    } else if (kind == QLatin1String("file")) {
        QVERIFY(CardFileTestKit::putFile(tovik, "x"));
    } else {
#ifdef Q_OS_WIN
        QSKIP("folders are handed to another user by their access lists on Windows");
#else
        if (::geteuid() != 0)
            QSKIP("only root can hand a folder to another user");
        QVERIFY(QDir().mkdir(tovik));
        QVERIFY(::chown(QFile::encodeName(tovik).constData(), 65534, 65534) == 0);
        QVERIFY(CardFileTestKit::putFile(tovik + QStringLiteral("/precious.doc"), "x"));
        QVERIFY(::chown(QFile::encodeName(tovik + "/precious.doc").constData(), 65534, 65534) == 0);
#endif
    }

    CardTable t;
    addPerson(t, QStringLiteral("А"), QStringLiteral("Б"));
    QCOMPARE(Failures::errorOf([&] { print(t); }),
             QStringLiteral("Папка \"%1\" является ссылкой или принадлежит другому "
                            "пользователю: программа в неё не пишет!")
                 .arg(tovik));
    QVERIFY(QFileInfo::exists(victim));
    if (kind == QLatin1String("foreign"))
        QVERIFY(QFileInfo::exists(tovik + QStringLiteral("/precious.doc")));
    QVERIFY(m_opened.isEmpty());
}

void TestPrintList::temporaryFolderWithoutSession()
{
#ifdef Q_OS_WIN
    QSKIP("Windows has no session runtime folder: the report folder is always under %TEMP%");
#else
    const QString own = m_tmp->path() + QStringLiteral("/QorClient-%1").arg(::geteuid());
    // A runtime folder others may enter is not the session's private one.
    QVERIFY(QFile::setPermissions(m_runtime->path(), QFile::ReadOwner | QFile::WriteOwner |
                                                         QFile::ExeOwner | QFile::ReadOther |
                                                         QFile::ExeOther));
    QVERIFY(QDir().mkdir(own));
    QVERIFY(QFile::setPermissions(own, QFileDevice::Permissions(0x7777)));
    CardTable t;
    addPerson(t, QStringLiteral("А"), QStringLiteral("Б"));
    QCOMPARE(print(t), own + QStringLiteral("/tovik/R0.rtf"));
    struct stat info;
    QCOMPARE(::stat(QFile::encodeName(own).constData(), &info), 0);
    QCOMPARE(int(info.st_mode & 0777), 0700);

    // Someone else's link in its place stops the print before anything is deleted.
    qunsetenv("XDG_RUNTIME_DIR");
    QVERIFY(QDir(own).removeRecursively());
    QTemporaryDir other;
    QVERIFY(QFile::link(other.path(), own));
    QVERIFY(!Failures::errorOf([&] { print(t); }).isEmpty());
#endif
}

void TestPrintList::realReaderShowsEveryCard()
{
#ifdef Q_OS_WIN
    QSKIP("unrtf reads RTF on Linux only; the Linux build reads the same bytes back");
#endif
    CardTable t;
    QStringList expected = {QStringLiteral("Список для заседания комиссии \"Март\""),
                            QStringLiteral("№ п/п")};
    const QList<PrintColumn> columns = allColumns();
    for (const PrintColumn &column : columns)
        expected << column.title;
    for (int i = 0; i < 12; ++i) {
        CardFileTestKit::addCard(
            t, CardFileTestKit::validCard(QStringLiteral("ФАМИЛИЯ%1").arg(i, 2, 10, QChar('0')),
                                          {{CardFields::JOB, QStringLiteral("Отдел {%1}").arg(i)},
                                           {CardFields::CATNUM, QStringLiteral("№ %1-к").arg(i)}}));
    }
    t.setSortField(QStringLiteral("FAM"));
    for (int row = 0; row < t.count(); ++row) {
        expected << QString::number(row + 1);
        for (const PrintColumn &column : columns) {
            const QString text = t.text(row, CardFields::indexOf(column.fieldName));
            if (!text.isEmpty())
                expected << text;
        }
    }

    QString error;
    const QStringList text = rtfText(print(t, columns), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const QString missing = missingInOrder(text, expected);
    QVERIFY2(missing.isEmpty(),
             qPrintable(missing + QStringLiteral(" missing in:\n") + text.join(u'\n')));
}

QTEST_GUILESS_MAIN(TestPrintList)
#include "tst_printlist.moc"
