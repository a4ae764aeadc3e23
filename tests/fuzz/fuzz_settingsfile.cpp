// Arbitrary bytes as the settings file: the reader must neither crash nor misbehave, and what it
// understood must be written and read back unchanged.
#include "platform/IniDocument.h"

#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// The keys with their values; the order of the keys is the file's business, not the store's.
QStringList describe(const IniDocument &doc)
{
    QStringList keys;
    for (const IniDocument::Key &key : doc.keys()) {
        QString out = u'[' + key.path + QStringLiteral("]\n");
        for (const IniDocument::Value &value : key.values)
            out += value.name + u'=' + value.text + u'\n';
        keys << out;
    }
    keys.sort();
    return keys;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const IniDocument doc =
        IniDocument::parse(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    const QByteArray written = doc.toBytes();
    const IniDocument back = IniDocument::parse(written);
    if (back.firstDamagedLine() != 0 || describe(back) != describe(doc) ||
        back.toBytes() != written) {
        std::fprintf(stderr, "settings changed on their way through the file:\n%s\n---\n%s\n",
                     qPrintable(describe(doc).join(u'\n')), qPrintable(describe(back).join(u'\n')));
        std::abort();
    }
    return 0;
}
