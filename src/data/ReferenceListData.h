#pragma once

#include "data/ReferenceList.h"

#include <QByteArray>
#include <QString>

// Reads the list data compiled into the program (resources/lists/*.json).
namespace ReferenceListData {

// The list stored in the resource ":/lists/<name>.json". The data is part of the program, so a
// missing or damaged resource stops it: no user could do anything about it.
ReferenceList load(const QString &name);

// Parses a JSON array of {"key": ..., "text": ...} objects. Returns false and leaves a reason in
// error when the data is not such an array or an entry lacks a non-empty key or text.
bool parse(const QByteArray &json, QList<ReferenceEntry> &entries, QString &error);

} // namespace ReferenceListData
