#pragma once

#include "data/CardRecord.h"
#include "platform/OrderedChunks.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
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
// ReadCardsFrom in its two parts, so that the table takes the cards built already while worker
// threads build the later ones: the cards in pieces, in the file's order, then posted.
class CardPieceSource
{
public:
    virtual ~CardPieceSource() = default;
    // The next piece of cards; false after the last. What building it threw is thrown here.
    virtual bool next(std::vector<CardRecord> &piece) = 0;
    // About how many cards all pieces hold, for room made at once; known after the first piece.
    virtual int expectedCards() const = 0;
};

// The cards of a meeting file's bytes, built in pieces of about a megabyte, each from a card's
// header line, on worker threads. Throws QorError for bytes without the magic line. The bytes
// must outlive it.
class CardPieces : public CardPieceSource
{
public:
    CardPieces(QByteArrayView bytes, const QString &path);
    bool next(std::vector<CardRecord> &piece) override;
    int expectedCards() const override { return m_expectedCards; }

private:
    QByteArrayView m_bytes;
    QList<qsizetype> m_starts; // where each piece begins, then the end
    int m_expectedCards = 0;
    OrderedChunks<std::vector<CardRecord>> m_pieces; // made last: it reads the above
};

// Posts the cards of every piece to the table, in order; returns how many were dropped.
int PostCards(CardTable &table, CardPieceSource &pieces);
