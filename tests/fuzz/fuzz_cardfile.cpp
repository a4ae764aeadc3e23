// Arbitrary bytes as a card file: the reader must neither crash nor misbehave, and every card
// it reads must be written and read back unchanged.
#include "data/CardTable.h"
#include "data/CardTextFormat.h"
#include "platform/QorError.h"

#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Every stored field of every card, as text, with whether it has a value.
QStringList describe(const CardTable &table)
{
    QStringList cards;
    for (int row = 0; row < table.count(); ++row) {
        QString card;
        for (int field = 0; field < CardFields::StoredCount; ++field)
            card += table.hasValue(row, field) ? u'=' + table.text(row, field) + u'|' : "-|";
        cards << card;
    }
    return cards;
}

[[noreturn]] void fail(const char *what, const QStringList &before, const QStringList &after)
{
    std::fprintf(stderr, "%s\nread:\n%s\nread back:\n%s\n", what,
                 qPrintable(before.join(u'\n')), qPrintable(after.join(u'\n')));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    CardTable read;
    try {
        ReadCardsFrom(read, QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)),
                      QStringLiteral("fuzz.dat"));
    } catch (const QorError &) {
        return 0; // not a card file: refused before anything was added
    }
    const QStringList cards = describe(read);
    CardTable back;
    int refused = 0;
    try {
        refused = ReadCardsFrom(back, CardFileBytes(read), QStringLiteral("back.dat"));
    } catch (const QorError &) {
        fail("the written file was refused", cards, {});
    }
    if (refused != 0)
        fail("cards of the written file were refused", cards, describe(back));
    const QStringList again = describe(back);
    if (again != cards)
        fail("cards changed on their way through a file", cards, again);
    return 0;
}
