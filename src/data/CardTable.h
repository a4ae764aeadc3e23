#pragma once

#include "data/CardFilter.h"
#include "data/CardRecord.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CardTable;

// A handle on one field of the table's current card (or of the card being edited or inserted).
// Cheap to copy; valid as long as the table lives.
class CardField
{
public:
    CardField(CardTable *table, int index) : m_table(table), m_index(index) {}

    int index() const { return m_index; }
    const FieldDef &def() const { return CardFields::def(m_index); }
    QString name() const { return def().nameText(); }
    FieldType type() const { return def().type; }
    int size() const { return def().size; }
    bool required() const { return def().required; }
    QString displayLabel() const { return def().labelText(); }
    bool isCalculated() const { return def().calculated; }

    bool hasValue() const;
    bool isNull() const { return !hasValue(); }
    QString asString() const;
    qint32 asInteger() const;
    double asFloat() const;
    double asDayNumber() const { return asFloat(); }
    QDate asDate() const; // invalid without a value

    // Assignments need the edit or insert state; a calculated field cannot be assigned.
    // A text loses trailing blanks and is cut to the field's size; a lone CR or LF becomes a
    // CR LF pair; a character Windows-1251 cannot hold is refused, naming the field.
    void setAsString(const QString &text) const;
    void setAsInteger(qint64 value) const;
    void setAsFloat(double value) const;
    void setAsDayNumber(double value) const { setAsFloat(value); }
    void setAsDate(const QDate &date) const; // an invalid date clears the field
    void clear() const;

private:
    CardTable *m_table;
    int m_index;
};

// The in-memory table of the current meeting's cards. It keeps every card in the current order
// and a view of the cards that pass the filter; operations work on that view.
//
// Views are driven by its signals, and every signal of an operation is sent once the table has
// settled: state, pending card, view and current row all agree with what a slot reads. While
// an operation announces itself, calls back into the table that would change it are refused
// (setCurrentRow, which a view kept in step sends, is ignored: the table's own currentChanged
// follows). While view updates are suppressed only stateChanged is sent; resuming sends one
// reset or change of all rows, and the current card again.
class CardTable : public QObject
{
    Q_OBJECT
public:
    enum class State { Browse, Edit, Insert };
    enum class Handler { BeforePost, AfterPost, AfterDelete, Calculate };
    using Bookmark = quint64; // 0: no card
    using EventHandler = std::function<void(CardTable &)>;
    using CalcHandler = std::function<void(const CardRecord &card, CalculatedValues &out)>;

    explicit CardTable(QObject *parent = nullptr);
    ~CardTable() override;

    // Fields of the current card.
    int fieldCount() const { return CardFields::Count; }
    CardField field(int index);              // throws when there is no such field
    CardField fieldByName(QStringView name); // throws when there is no such field
    CardField operator[](QStringView name) { return fieldByName(name); }

    // States and changes.
    State state() const { return m_state; }
    bool isModified() const { return m_modified; }
    void append();
    // Appends a card with all its values at once and posts it, as append, the assignments and
    // post would: a refused post leaves it pending in insert state. For bulk loads.
    void appendCard(CardRecord card);
    // Makes room for that many more cards, before a bulk load.
    void reserve(int moreCards);
    void edit();
    void post();
    void cancel();
    void deleteCurrent();
    // Deletes the cards of the given visible rows at once: one AfterDelete for all of them, so
    // one save. The current row becomes the first row after them, or the last.
    void deleteRows(QList<int> rows);
    void empty();

    // Moving over the visible cards.
    void first();
    void last();
    void next();
    void prior();
    bool atEnd() const { return m_atEnd; }
    bool atStart() const { return m_atStart; }
    bool isEmpty() const { return m_view.empty(); }
    int count() const { return int(m_view.size()); }
    int totalCount() const { return int(m_order.size()); } // hidden cards included
    int currentRow() const { return m_current; }           // -1 when the view is empty
    // Makes the card shown in that row current. A pending change is settled first; the row
    // names the card it showed before that, even when settling moves the cards.
    void setCurrentRow(int row);

    Bookmark bookmark() const;
    bool bookmarkValid(Bookmark bookmark) const; // the card exists and is visible
    void gotoBookmark(Bookmark bookmark);        // throws when it is not visible
    bool locate(QStringView fieldName, const QString &value);

    // View updates.
    void suppressViewUpdates();
    void resumeViewUpdates();
    bool viewUpdatesSuppressed() const { return m_suppressed > 0; }

    // View state.
    QString filter() const { return m_filterText; }
    void setFilter(const QString &expression); // throws on an expression it does not know
    QString sortField() const { return m_sortFieldName; }
    void setSortField(const QString &fieldName); // throws on a field it cannot sort by

    // Handlers. A disconnected handler keeps its function and does not run. The calculation
    // has its own setter; setEventHandler refuses it.
    void setEventHandler(Handler handler, EventHandler fn);
    void setCalcHandler(CalcHandler fn);
    void setConnected(Handler handler, bool connected);
    bool isConnected(Handler handler) const;

    // Finishes what is pending before the rows are read in place: posts a changed card
    // (cancels an unchanged one) and puts the cards of a bulk load into the current order.
    void settle();

    // Reading any visible row without moving, for views and writers (after settle()).
    bool hasValue(int row, int field) const;
    QString text(int row, int field) const;
    const CardRecord *recordAt(int row) const;
    // Asks for the cards a few rows after row to be fetched from memory while row is read: a walk
    // over a large meeting in a sorted order would otherwise wait for memory at every card.
    void prefetchAfter(int row) const;
    Bookmark bookmarkAt(int row) const; // 0 outside the view

    // Reading a stored card by its bookmark, visible or not; null when it is gone. Views that
    // keep their own rows read through these.
    const CardRecord *recordOf(Bookmark bookmark) const;
    bool hasValue(const CardRecord &card, int field) const;
    QString text(const CardRecord &card, int field) const;

    // Re-runs the calculation for the views, e.g. when a lookup list changed.
    void refreshCalculated();

signals:
    // The view of visible cards changed; rows are those of the view after the change.
    void rowInserted(int row);
    void rowRemoved(int row);
    void rowMoved(int from, int to); // the card's content may have changed too
    void rowChanged(int row);
    void allRowsChanged();
    void viewReset();
    // Another card is current, or the current card's row changed.
    void currentChanged(int row);
    // The current card's values may differ without a move: an edit cancelled, a new card
    // begun, a post, recalculated texts.
    void currentContentChanged();
    // A field of the current card was assigned a different value; also sent for the
    // calculated field that follows it.
    void fieldChanged(int field);
    void stateChanged(CardTable::State state);
    // Sent just before a post is refused for a missing value, so that a bound control can take
    // the focus.
    void focusFieldRequested(int field);

private:
    friend class CardField;
    friend class ScopedViewUpdates;
    class Operation;

    template <typename Fn> struct HandlerSlot
    {
        Fn run;
        bool connected = true;
        bool active() const { return connected && bool(run); }
    };

    // What an operation tells the views once it has settled.
    struct Announcement
    {
        enum class Rows { None, Inserted, Removed, Moved, Changed, Reset };
        Rows rows = Rows::None;
        int from = -1;
        int to = -1;
        bool state = false;
        bool current = false;
        bool content = false;
    };

    // Field access on the current card or the pending buffer.
    const CardRecord *currentRecord() const;
    CardRecord &writableRecord(); // throws outside edit and insert
    CalculatedValues calculate(const CardRecord &record) const;
    void assign(int field, const std::function<void(CardRecord &)> &apply);

    void checkBrowseMode();
    void checkRequiredFields();
    void storeNewCard();
    void storeEditedCard();
    void moveTo(int row, bool atStart, bool atEnd);
    // Puts cards appended during a bulk load into their places in the current order.
    void ensureOrdered();
    bool viewChangedWhileSuppressed() const;
    void setState(State state);
    // force: announce the current card even when its row number stays, as after a change of
    // the rows under it.
    void setCurrent(int row, bool atStart, bool atEnd, bool force = false);
    void sortOrder(); // m_order by the sort field
    void rebuildView();
    int viewInsertPosition(const CardRecord *record) const;
    int orderPositionOf(const CardRecord *record) const;
    int viewPositionOf(const CardRecord *record) const;
    void runHandler(const HandlerSlot<EventHandler> &handler);

    // What changed in the view; while views are suppressed, only remembered.
    void noteRows(Announcement::Rows rows, int from = -1, int to = -1);
    void announce();

    // Owns the cards, by bookmark: the card of bookmark b is at b - m_firstSeq (null once
    // deleted). Bookmarks only grow, so that an old bookmark never names another card.
    std::vector<std::unique_ptr<CardRecord>> m_cards;
    quint64 m_firstSeq = 1;
    // A card in the current order with the values the filter tests: a filter walks this one
    // array instead of the memory of every card.
    struct OrderedCard
    {
        CardRecord *card;
        CardFilter::Keys keys;
    };
    static OrderedCard ordered(CardRecord *card) { return {card, CardFilter::keysOf(*card)}; }
    std::vector<OrderedCard> m_order; // every card, in the current order
    std::vector<CardRecord *> m_view; // the cards that pass the filter, in the current order
    quint64 m_nextSeq = 1;

    State m_state = State::Browse;
    std::optional<CardRecord> m_buffer; // the card being edited or inserted; set outside Browse
    Bookmark m_beforeInsert = 0;        // current card when an insert began
    bool m_modified = false;
    int m_current = -1;
    bool m_atStart = true;
    bool m_atEnd = true;

    QString m_filterText;
    CardFilter m_filter;
    QString m_sortFieldName;
    int m_sortField = -1;

    HandlerSlot<EventHandler> m_beforePost;
    HandlerSlot<EventHandler> m_afterPost;
    HandlerSlot<EventHandler> m_afterDelete;
    HandlerSlot<CalcHandler> m_calculate;

    bool m_busy = false; // an operation is changing the table or announcing itself
    Announcement m_news; // what the running operation will announce

    int m_suppressed = 0;
    // While view updates are suppressed and a sort field is set, new cards are only appended
    // and sorted once when order next matters: a bulk load then costs one sort, not one
    // insertion into the middle of the order per card.
    bool m_unordered = false;
    bool m_structureChangedWhileSuppressed = false;
    std::vector<quint64> m_viewBeforeSuppress; // the cards the views were showing, by bookmark
    bool m_dataChangedWhileSuppressed = false;
};

// Suppresses a table's view updates for its lifetime.
class ScopedViewUpdates
{
public:
    explicit ScopedViewUpdates(CardTable &table) : m_table(table) { m_table.suppressViewUpdates(); }
    ~ScopedViewUpdates() { m_table.resumeViewUpdates(); }
    ScopedViewUpdates(const ScopedViewUpdates &) = delete;
    ScopedViewUpdates &operator=(const ScopedViewUpdates &) = delete;

private:
    CardTable &m_table;
};

// Disconnects a handler for its lifetime and restores the previous connection, also on failure.
class ScopedHandlerDisconnect
{
public:
    ScopedHandlerDisconnect(CardTable &table, CardTable::Handler handler)
        : m_table(table), m_handler(handler), m_was(table.isConnected(handler))
    {
        m_table.setConnected(handler, false);
    }
    ~ScopedHandlerDisconnect() { m_table.setConnected(m_handler, m_was); }
    ScopedHandlerDisconnect(const ScopedHandlerDisconnect &) = delete;
    ScopedHandlerDisconnect &operator=(const ScopedHandlerDisconnect &) = delete;

private:
    CardTable &m_table;
    CardTable::Handler m_handler;
    bool m_was;
};

// Remembers the current card and returns to it at the end of a scope, when it is still visible.
class ScopedCurrentCard
{
public:
    explicit ScopedCurrentCard(CardTable &table) : m_table(table), m_bookmark(table.bookmark()) {}
    ~ScopedCurrentCard()
    {
        // Only in browse state: going there would otherwise post a pending change, which may
        // fail, and nothing may be thrown from here.
        if (m_bookmark && m_table.state() == CardTable::State::Browse &&
            m_table.bookmarkValid(m_bookmark)) {
            try {
                m_table.gotoBookmark(m_bookmark);
            } catch (...) {
            }
        }
    }
    ScopedCurrentCard(const ScopedCurrentCard &) = delete;
    ScopedCurrentCard &operator=(const ScopedCurrentCard &) = delete;

private:
    CardTable &m_table;
    CardTable::Bookmark m_bookmark;
};
