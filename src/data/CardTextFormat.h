#pragma once

#include "data/CardRecord.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

class CardTable;
class ReferenceLists;

// The card text format of meeting files and the export file: the magic line "<QOR>", then a
// block per card: "[n]", one "@NAME=value" line per stored field that has a value, an empty
// line. Windows-1251, CR LF.

// Writes the visible cards of the table, in the current order, to the file at path, replacing
// it; returns the number of cards written. Each card must pass the list tests first; the first
// that does not stops the write with its message, and the file then holds the magic line and
// the complete blocks of the cards before it. The current card is not moved.
int WriteCards(CardTable &table, const ReferenceLists &lists, const QString &path);
// The bytes WriteCards writes when every card passes the list tests; no list test is made.
// For checks of the format itself.
QByteArray CardFileBytes(CardTable &table);

// Appends the cards of the file at path to the table, each through the table's post with
// whatever handlers the caller left connected. A card that cannot be posted is dropped and
// reported in a warning box; returns how many were dropped. A file whose first line is not the
// magic line is refused before anything is added.
int ReadCards(CardTable &table, const QString &path);
// The same over a file's bytes already read; path names the file in messages.
int ReadCardsFrom(CardTable &table, QByteArrayView bytes, const QString &path);
// ReadCardsFrom in its two parts. The cards of the bytes built, without a table, so that it can
// run on a worker thread (throws QorError for a file without the magic line); then the cards
// posted to the table, returning how many were dropped.
std::vector<CardRecord> ParseCards(QByteArrayView bytes, const QString &path);
int PostCards(CardTable &table, std::vector<CardRecord> cards);
