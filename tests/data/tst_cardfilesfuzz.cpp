// Feeds the reader many random and mutated files. It must never crash or hang, and every card it
// keeps must write and read back unchanged, so that saving a meeting never loses what a load took.
#include "CardFileTestKit.h"
#include "data/CardTextFormat.h"
#include "data/ReferenceLists.h"
#include "platform/FileSystem.h"
#include "platform/QorError.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace CardFileTestKit;

namespace {

const char *const kTokens[] = {"\r",
                               "\n",
                               "\r\n",
                               "\n\r",
                               "[",
                               "]",
                               "[]",
                               "[1]",
                               "=",
                               "@",
                               "-",
                               "--",
                               "#13#10",
                               "#13",
                               "#10",
                               "\t",
                               " ",
                               "   ",
                               "@FAM=",
                               "@fam=",
                               "@FTYPE=",
                               "@PODKOM=",
                               "@CATDATE=",
                               "@CHANGEDATE=",
                               "@CHANGEDATE=0-000001",
                               "@CATDATE=0-5",
                               "@LPU=84\t",
                               "@JOB=",
                               "@C_FTYPE=1",
                               "<QOR>",
                               "1e5",
                               "inf",
                               "nan",
                               "0",
                               "-0",
                               "2147483648",
                               "99999999",
                               "2958465-99999",
                               "\xff",
                               "\x98",
                               "\x00",
                               "\xc0\xc1",
                               "@DOL=24",
                               "@SPEC=2011.27",
                               "@PODKOM=404"};

QByteArray token(QRandomGenerator &rng)
{
    const char *t = kTokens[rng.bounded(int(std::size(kTokens)))];
    return t[0] ? QByteArray(t) : QByteArray(1, '\0');
}

QByteArray seedFile()
{
    CardTable t;
    addCard(t, exampleCard());
    addCard(t, validCard("ТАБОВ", {{CardFields::LPU, "84\t"}, {CardFields::JOB, "a\r\nb"}}));
    addCard(t, validCard(QString(40, u'Щ'), {{CardFields::CATNUM, QString(18, u'7') + "\r\n"}}));
    addCard(t, validCard("ПУСТОВ", {{CardFields::JOB, ""}, {CardFields::CHANGEDATE, "0.5"}}));
    QTemporaryDir dir;
    const QString path = dir.filePath("seed.dat");
    WriteCards(t, ReferenceLists(), path);
    // A line break the field's size cuts in two, which no table can write.
    QByteArray block = fileBytes(path).split('[').at(1);
    block.replace("CATNUM=245-", "CATNUM=" + QByteArray(19, '7') + "#13#10");
    return fileBytes(path) + "[" + block;
}

QByteArray mutate(QByteArray bytes, QRandomGenerator &rng)
{
    const int edits = 1 + rng.bounded(8);
    for (int e = 0; e < edits; ++e) {
        const int at = bytes.isEmpty() ? 0 : rng.bounded(int(bytes.size()) + 1);
        switch (rng.bounded(6)) {
        case 0: // flip a byte
            if (at < bytes.size())
                bytes[at] = char(rng.bounded(256));
            break;
        case 1:
            bytes.insert(at, token(rng));
            break;
        case 2:
            bytes.remove(at, rng.bounded(40));
            break;
        case 3: { // duplicate a stretch
            const QByteArray part = bytes.mid(at, rng.bounded(200));
            bytes.insert(rng.bounded(int(bytes.size()) + 1), part);
            break;
        }
        case 4:
            bytes.truncate(qMax(7, at));
            break;
        default: // a run of tokens
            for (int i = rng.bounded(6); i >= 0; --i)
                bytes.insert(at, token(rng));
            break;
        }
    }
    return bytes;
}

QByteArray randomFile(QRandomGenerator &rng)
{
    QByteArray bytes = rng.bounded(4) ? QByteArray("<QOR>\r\n") : QByteArray();
    for (int i = rng.bounded(300); i > 0; --i)
        bytes += rng.bounded(2) ? token(rng) : QByteArray(1, char(rng.bounded(256)));
    return bytes;
}

bool passesListTests(const CardTable &t, int row, const ReferenceLists &lists)
{
    const CardRecord *card = t.recordAt(row);
    const QString podkom = card->hasValue(CardFields::PODKOM)
                               ? QString::number(qint64(card->number(CardFields::PODKOM)))
                               : QString();
    const QString &specialty = card->text(CardFields::SPEC);
    return lists.subcommissions().containsKey(podkom) &&
           (ReferenceLists::doctorSpecialties().containsKey(specialty) ||
            ReferenceLists::midLevelSpecialties().containsKey(specialty)) &&
           ReferenceLists::positions().containsKey(card->text(CardFields::DOL));
}

} // namespace

class TestCardFilesFuzz : public QObject
{
    Q_OBJECT

private slots:
    void readerSurvivesAndKeptCardsRoundTrip();
};

void TestCardFilesFuzz::readerSurvivesAndKeptCardsRoundTrip()
{
    // Thousands of files are written here; none must wait for the disk.
    FileSystem::setFaultHook([](FileSystem::Step step, const QString &) {
        return step == FileSystem::Step::Sync || step == FileSystem::Step::SyncFolder
                   ? FileSystem::kSkip
                   : 0;
    });
    QRandomGenerator rng(20170315);
    QTemporaryDir dir;
    const QString input = dir.filePath("input.dat");
    const QString once = dir.filePath("once.dat");
    const QString twice = dir.filePath("twice.dat");
    const ReferenceLists lists;
    const QByteArray seed = seedFile();
    int kept = 0;
    int refused = 0;
    int invalid = 0;

    for (int round = 0; round < 1500; ++round) {
        const QByteArray bytes = rng.bounded(5) ? mutate(seed, rng) : randomFile(rng);
        QVERIFY(putFile(input, bytes));
        CardTable t;
        try {
            refused += ReadCards(t, input); // the silent dialogs answer every warning
        } catch (const QorError &e) {
            QVERIFY(e.message().contains("не является правильным файлом данных"));
            QCOMPARE(t.totalCount(), 0);
            ++invalid;
            continue;
        }
        for (int row = t.count() - 1; row >= 0; --row) {
            if (!passesListTests(t, row, lists)) {
                t.setCurrentRow(row);
                t.deleteCurrent();
            }
        }
        kept += t.count();

        const int written = WriteCards(t, lists, once);
        QCOMPARE(written, t.count());
        CardTable back;
        if (ReadCards(back, once) != 0 || describeAll(back) != describeAll(t)) {
            qWarning("round %d, input (hex): %s", round, bytes.toHex().constData());
            QCOMPARE(describeAll(back), describeAll(t));
            QFAIL("a kept card was refused on reading it back");
        }
        WriteCards(back, lists, twice);
        QCOMPARE(fileBytes(twice), fileBytes(once));
    }
    FileSystem::setFaultHook({});
    qInfo("kept %d cards, refused %d, invalid files %d", kept, refused, invalid);
    QVERIFY(kept > 1000); // the check must have had cards to check
    QVERIFY(refused > 100);
    QVERIFY(invalid > 50);
}

QTEST_GUILESS_MAIN(TestCardFilesFuzz)
#include "tst_cardfilesfuzz.moc"
