#include "data/ReferenceListData.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QtGlobal>

// The resource object of a static library is linked in only when something refers to it.
static void initListResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(lists);
        return true;
    }();
    Q_UNUSED(done);
}

namespace ReferenceListData {

bool parse(const QByteArray &json, QList<ReferenceEntry> &entries, QString &error)
{
    entries.clear();
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        error = parseError.errorString();
        return false;
    }
    if (!doc.isArray()) {
        error = QStringLiteral("not an array");
        return false;
    }
    const QJsonArray array = doc.array();
    entries.reserve(array.size());
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QJsonObject object = array.at(i).toObject();
        const QJsonValue key = object.value(QLatin1String("key"));
        const QJsonValue text = object.value(QLatin1String("text"));
        if (!key.isString() || !text.isString() || key.toString().isEmpty() ||
            text.toString().isEmpty()) {
            error = QStringLiteral("entry %1 lacks a key or a text").arg(i + 1);
            entries.clear();
            return false;
        }
        entries.append(ReferenceEntry{text.toString(), key.toString()});
    }
    return true;
}

ReferenceList load(const QString &name)
{
    initListResources();
    const QString path = QStringLiteral(":/lists/%1.json").arg(name);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("Reference list %s is missing", qPrintable(path));
    QList<ReferenceEntry> entries;
    QString error;
    if (!parse(file.readAll(), entries, error))
        qFatal("Reference list %s is damaged: %s", qPrintable(path), qPrintable(error));
    return ReferenceList(std::move(entries));
}

} // namespace ReferenceListData
