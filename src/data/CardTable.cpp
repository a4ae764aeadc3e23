#include "data/CardTable.h"

#include "data/CardOrder.h"
#include "data/CardValue.h"
#include "platform/QorError.h"

#include <algorithm>
#include <exception>
#include <unordered_set>

namespace {

QString noSuchField(QStringView name)
{
    return QStringLiteral("Поле '%1' не найдено").arg(name);
}

// One field's value, to tell whether an assignment changed it.
struct FieldValue
{
    bool has;
    double number;
    QByteArray text;

    static FieldValue of(const CardRecord &r, int field)
    {
        const bool numeric = CardRecord::isNumeric(field);
        return {r.hasValue(field), numeric ? r.number(field) : 0.0,
                numeric ? QByteArray() : r.textBytes(field).toByteArray()};
    }
    bool operator==(const FieldValue &o) const
    {
        return has == o.has && number == o.number && text == o.text;
    }
};

} // namespace

// One change of the table: refuses to start while another is under way, and announces what it
// changed once it has settled. Nothing is announced half-way: the views hear of a change only
// when state, pending card, view and current row agree.
class CardTable::Operation
{
public:
    explicit Operation(CardTable &table) : m_table(table)
    {
        if (m_table.m_busy)
            throw QorError(
                QStringLiteral("Набор данных занят: предыдущая операция ещё не завершена"));
        m_table.m_busy = true;
        m_table.m_news = {};
    }
    // Announces and ends the operation; a failing slot does not keep the others from hearing.
    void finish()
    {
        m_finished = true;
        struct Done
        {
            bool &busy;
            ~Done() { busy = false; }
        } done{m_table.m_busy};
        m_table.announce();
    }
    ~Operation()
    {
        if (m_finished)
            return;
        try {
            finish(); // a failure half-way: the views still learn what did change
        } catch (...) {
        }
    }
    Operation(const Operation &) = delete;
    Operation &operator=(const Operation &) = delete;

private:
    CardTable &m_table;
    bool m_finished = false;
};

CardTable::CardTable(QObject *parent) : QObject(parent) {}

CardTable::~CardTable() = default;

// ---- Fields --------------------------------------------------------------------------------

CardField CardTable::field(int index)
{
    if (index < 0 || index >= CardFields::Count)
        throw QorError(QStringLiteral("Поле с номером %1 не найдено").arg(index));
    return CardField(this, index);
}

CardField CardTable::fieldByName(QStringView name)
{
    const int i = CardFields::indexOf(name);
    if (i < 0)
        throw QorError(noSuchField(name));
    return CardField(this, i);
}

const CardRecord *CardTable::currentRecord() const
{
    if (m_buffer)
        return &*m_buffer;
    return m_current >= 0 ? m_view[size_t(m_current)] : nullptr;
}

CardRecord &CardTable::writableRecord()
{
    if (!m_buffer)
        throw QorError(QStringLiteral("Набор данных не в режиме редактирования или вставки"));
    return *m_buffer;
}

void CardTable::assign(int field, const std::function<void(CardRecord &)> &apply)
{
    if (CardFields::isCalculated(field))
        throw QorError(QStringLiteral("Поле '%1' не может быть изменено")
                           .arg(CardFields::def(field).nameText()));
    CardRecord &record = writableRecord();
    if (viewUpdatesSuppressed()) { // a bulk load: nobody to tell, no time to compare
        apply(record);
        m_modified = true;
        return;
    }
    const FieldValue before = FieldValue::of(record, field);
    apply(record);
    m_modified = true;
    if (FieldValue::of(record, field) == before)
        return;
    emit fieldChanged(field);
    if (field == CardFields::FTYPE)
        emit fieldChanged(CardFields::C_FTYPE);
    else if (field == CardFields::PODKOM)
        emit fieldChanged(CardFields::C_PODKOM);
}

CalculatedValues CardTable::calculate(const CardRecord &record) const
{
    CalculatedValues out;
    if (m_calculate.active())
        m_calculate.run(record, out);
    return out;
}

bool CardTable::hasValue(const CardRecord &card, int field) const
{
    return CardFields::isCalculated(field) ? calculate(card).hasValue(field) : card.hasValue(field);
}

QString CardTable::text(const CardRecord &card, int field) const
{
    return CardFields::isCalculated(field) ? calculate(card).text(field)
                                           : CardValue::asText(card, field);
}

bool CardTable::hasValue(int row, int field) const
{
    const CardRecord *r = recordAt(row);
    return r && hasValue(*r, field);
}

QString CardTable::text(int row, int field) const
{
    const CardRecord *r = recordAt(row);
    return r ? text(*r, field) : QString();
}

void CardTable::prefetchAfter(int row) const
{
    if (const CardRecord *card = recordAt(row + 16))
        card->prefetch();
    if (const CardRecord *card = recordAt(row + 8))
        card->prefetchTexts();
}

const CardRecord *CardTable::recordAt(int row) const
{
    return row >= 0 && row < count() ? m_view[size_t(row)] : nullptr;
}

CardTable::Bookmark CardTable::bookmarkAt(int row) const
{
    const CardRecord *r = recordAt(row);
    return r ? r->seq() : 0;
}

const CardRecord *CardTable::recordOf(Bookmark bookmark) const
{
    if (bookmark < m_firstSeq || bookmark - m_firstSeq >= m_cards.size())
        return nullptr;
    return m_cards[size_t(bookmark - m_firstSeq)].get();
}

// ---- States and changes --------------------------------------------------------------------

void CardTable::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    m_news.state = true;
}

void CardTable::checkBrowseMode()
{
    if (m_state == State::Browse)
        return;
    if (m_modified)
        post();
    else
        cancel();
}

void CardTable::settle()
{
    checkBrowseMode();
    ensureOrdered();
}

void CardTable::ensureOrdered()
{
    if (!m_unordered)
        return;
    m_unordered = false;
    const CardRecord *current = m_current >= 0 ? m_view[size_t(m_current)] : nullptr;
    sortOrder();
    rebuildView();
    m_current = current ? viewPositionOf(current) : -1;
}

void CardTable::append()
{
    checkBrowseMode();
    Operation op(*this);
    m_beforeInsert = bookmark();
    m_buffer.emplace();
    m_modified = false;
    setState(State::Insert);
    m_news.content = true;
    op.finish();
}

void CardTable::appendCard(CardRecord card)
{
    append();
    card.setSeq(0);
    *m_buffer = std::move(card);
    m_modified = true;
    post();
}

void CardTable::reserve(int moreCards)
{
    const size_t more = size_t(qMax(moreCards, 0));
    m_cards.reserve(m_cards.size() + more);
    m_order.reserve(m_order.size() + more);
    m_view.reserve(m_view.size() + more);
}

void CardTable::edit()
{
    if (m_state != State::Browse)
        return;
    if (isEmpty()) { // editing an empty table starts a new card, as the bound boxes expect
        append();
        return;
    }
    Operation op(*this);
    ensureOrdered();
    m_buffer = *m_view[size_t(m_current)];
    m_modified = false;
    setState(State::Edit);
    op.finish();
}

void CardTable::checkRequiredFields()
{
    for (int i = 0; i < CardFields::StoredCount; ++i) {
        if (CardFields::def(i).required && !m_buffer->hasValue(i)) {
            emit focusFieldRequested(i);
            throw QorError(QStringLiteral("Поле '%1' должно иметь значение")
                               .arg(CardFields::def(i).labelText()));
        }
    }
}

void CardTable::post()
{
    if (m_state == State::Browse)
        return;
    Operation op(*this);
    runHandler(m_beforePost);
    checkRequiredFields();
    if (m_state == State::Insert)
        storeNewCard();
    else
        storeEditedCard();
    m_modified = false;
    setState(State::Browse);
    m_news.content = true;
    op.finish();
    runHandler(m_afterPost);
}

void CardTable::storeNewCard()
{
    auto owned = std::make_unique<CardRecord>(std::move(*m_buffer));
    m_buffer.reset();
    owned->squeeze();
    CardRecord *record = owned.get();
    record->setSeq(m_nextSeq++);
    m_cards.push_back(std::move(owned));
    const OrderedCard entry = ordered(record);
    const bool shown = m_filter.matches(entry.keys);

    if (viewUpdatesSuppressed() && m_sortField >= 0) { // a bulk load: sorted once at the end
        m_unordered = true;
        m_order.push_back(entry);
        if (shown) {
            m_view.push_back(record);
            noteRows(Announcement::Rows::Inserted, count() - 1);
            setCurrent(count() - 1, false, false, true);
        }
        return;
    }

    const auto after = [this](const CardRecord *a, const OrderedCard &b) {
        return CardOrder::less(*a, *b.card, m_sortField);
    };
    m_order.insert(std::upper_bound(m_order.begin(), m_order.end(), record, after), entry);
    if (shown) {
        const int row = viewInsertPosition(record);
        m_view.insert(m_view.begin() + row, record);
        noteRows(Announcement::Rows::Inserted, row);
        setCurrent(row, false, false, true);
    } else if (m_beforeInsert && bookmarkValid(m_beforeInsert)) {
        setCurrent(viewPositionOf(recordOf(m_beforeInsert)), false, false, true);
    } else {
        setCurrent(isEmpty() ? -1 : qMin(qMax(m_current, 0), count() - 1), false, false, true);
    }
}

void CardTable::storeEditedCard()
{
    ensureOrdered();
    CardRecord *record = m_view[size_t(m_current)];
    const int row = m_current;
    const bool moves =
        m_sortField >= 0 && CardOrder::compareValues(*record, *m_buffer, m_sortField) != 0;
    const auto before = [this](const OrderedCard &a, const CardRecord *b) {
        return CardOrder::less(*a.card, *b, m_sortField);
    };
    if (moves) // found by its old value, before that changes
        m_order.erase(m_order.begin() + orderPositionOf(record));
    *record = std::move(*m_buffer);
    m_buffer.reset();
    record->squeeze();
    if (moves)
        m_order.insert(std::lower_bound(m_order.begin(), m_order.end(), record, before),
                       ordered(record));
    else // in its place, with the values the filter tests as they are now
        m_order[size_t(orderPositionOf(record))].keys = CardFilter::keysOf(*record);

    if (!m_filter.matches(*record)) {
        m_view.erase(m_view.begin() + row);
        noteRows(Announcement::Rows::Removed, row);
        setCurrent(isEmpty() ? -1 : qMin(row, count() - 1), false, false, true);
    } else if (moves) {
        m_view.erase(m_view.begin() + row);
        const int to = viewInsertPosition(record);
        m_view.insert(m_view.begin() + to, record);
        noteRows(Announcement::Rows::Moved, row, to);
        setCurrent(to, false, false, true);
    } else {
        noteRows(Announcement::Rows::Changed, row);
    }
}

void CardTable::cancel()
{
    if (m_state == State::Browse)
        return;
    Operation op(*this);
    const bool wasInsert = m_state == State::Insert;
    ensureOrdered();
    m_buffer.reset();
    m_modified = false;
    setState(State::Browse);
    m_news.content = true;
    if (wasInsert && m_beforeInsert && bookmarkValid(m_beforeInsert))
        setCurrent(viewPositionOf(recordOf(m_beforeInsert)), false, false);
    op.finish();
}

void CardTable::deleteCurrent()
{
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    cancel();
    ensureOrdered();
    if (isEmpty())
        throw QorError(QStringLiteral("Невозможно выполнить операцию над пустым набором данных"));

    Operation op(*this);
    const int row = m_current;
    CardRecord *record = m_view[size_t(row)];
    m_view.erase(m_view.begin() + row);
    m_order.erase(m_order.begin() + orderPositionOf(record));
    m_cards[size_t(record->seq() - m_firstSeq)].reset();
    noteRows(Announcement::Rows::Removed, row);
    setCurrent(isEmpty() ? -1 : qMin(row, count() - 1), isEmpty(), isEmpty(), true);
    m_news.content = true;
    op.finish();
    runHandler(m_afterDelete);
}

void CardTable::deleteRows(QList<int> rows)
{
    cancel();
    ensureOrdered();
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.isEmpty() || rows.first() < 0 || rows.last() >= count())
        throw QorError(QStringLiteral("Невозможно выполнить операцию над пустым набором данных"));

    Operation op(*this);
    std::unordered_set<const CardRecord *> gone;
    for (int row : std::as_const(rows))
        gone.insert(m_view[size_t(row)]);
    const auto isGone = [&gone](const CardRecord *record) { return gone.count(record) > 0; };
    m_view.erase(std::remove_if(m_view.begin(), m_view.end(), isGone), m_view.end());
    m_order.erase(std::remove_if(m_order.begin(), m_order.end(),
                                 [&](const OrderedCard &o) { return isGone(o.card); }),
                  m_order.end());
    for (const CardRecord *record : gone)
        m_cards[size_t(record->seq() - m_firstSeq)].reset();
    noteRows(Announcement::Rows::Reset);
    const int next = rows.first();
    setCurrent(isEmpty() ? -1 : qMin(next, count() - 1), isEmpty(), isEmpty(), true);
    m_news.content = true;
    op.finish();
    runHandler(m_afterDelete);
}

void CardTable::empty()
{
    Operation op(*this);
    m_buffer.reset();
    m_modified = false;
    m_unordered = false;
    setState(State::Browse);
    m_view.clear();
    m_order.clear();
    m_cards.clear();
    m_firstSeq = m_nextSeq;
    noteRows(Announcement::Rows::Reset);
    setCurrent(-1, true, true, true);
    m_news.content = true;
    op.finish();
}

// ---- Moving --------------------------------------------------------------------------------

void CardTable::setCurrent(int row, bool atStart, bool atEnd, bool force)
{
    // An empty view is at its start and at its end, however it became empty.
    m_atStart = atStart || row < 0;
    m_atEnd = atEnd || row < 0;
    if (row == m_current && !force)
        return;
    m_current = row;
    m_news.current = true;
}

void CardTable::moveTo(int row, bool atStart, bool atEnd)
{
    Operation op(*this);
    setCurrent(row, atStart, atEnd);
    op.finish();
}

void CardTable::first()
{
    settle();
    moveTo(isEmpty() ? -1 : 0, true, isEmpty());
}

void CardTable::last()
{
    settle();
    moveTo(count() - 1, isEmpty(), true);
}

void CardTable::next()
{
    settle();
    if (m_atEnd)
        return;
    if (m_current + 1 < count())
        moveTo(m_current + 1, false, false);
    else
        moveTo(m_current, false, true);
}

void CardTable::prior()
{
    settle();
    if (m_atStart)
        return;
    if (m_current > 0)
        moveTo(m_current - 1, false, false);
    else
        moveTo(m_current, true, false);
}

void CardTable::setCurrentRow(int row)
{
    // A view keeping in step while the table announces a change: the table's own
    // currentChanged, which follows, puts it right.
    if (m_busy)
        return;
    if (row < 0 || row >= count() || (row == m_current && m_state == State::Browse))
        return;
    // The row as the caller saw it: settling a pending card may move the cards under it.
    const CardRecord *target = m_view[size_t(row)];
    settle();
    const int to = viewPositionOf(target);
    if (to >= 0)
        moveTo(to, false, false);
}

CardTable::Bookmark CardTable::bookmark() const
{
    return m_current >= 0 ? m_view[size_t(m_current)]->seq() : 0;
}

bool CardTable::bookmarkValid(Bookmark bookmark) const
{
    const CardRecord *r = recordOf(bookmark);
    return r && viewPositionOf(r) >= 0;
}

void CardTable::gotoBookmark(Bookmark bookmark)
{
    settle();
    const CardRecord *r = recordOf(bookmark);
    const int row = r ? viewPositionOf(r) : -1;
    if (row < 0)
        throw QorError(QStringLiteral("Запись не найдена"));
    moveTo(row, false, false);
}

bool CardTable::locate(QStringView fieldName, const QString &value)
{
    const int field = CardFields::indexOf(fieldName);
    if (field < 0)
        throw QorError(noSuchField(fieldName));
    settle();
    for (int row = 0; row < count(); ++row) {
        if (hasValue(row, field) && text(row, field) == value) {
            moveTo(row, false, false);
            return true;
        }
    }
    return false;
}

// ---- View state ----------------------------------------------------------------------------

int CardTable::viewInsertPosition(const CardRecord *record) const
{
    const auto it = std::lower_bound(m_view.begin(), m_view.end(), record,
                                     [this](const CardRecord *a, const CardRecord *b) {
                                         return CardOrder::less(*a, *b, m_sortField);
                                     });
    return int(it - m_view.begin());
}

int CardTable::orderPositionOf(const CardRecord *record) const
{
    const auto it = std::lower_bound(m_order.begin(), m_order.end(), record,
                                     [this](const OrderedCard &a, const CardRecord *b) {
                                         return CardOrder::less(*a.card, *b, m_sortField);
                                     });
    if (it != m_order.end() && it->card == record)
        return int(it - m_order.begin());
    // Never expected: the order is kept sorted. Fall back to a search rather than corrupt it.
    return int(std::find_if(m_order.begin(), m_order.end(),
                            [record](const OrderedCard &o) { return o.card == record; }) -
               m_order.begin());
}

int CardTable::viewPositionOf(const CardRecord *record) const
{
    if (!m_filter.matches(*record))
        return -1;
    if (m_unordered) {
        const auto it = std::find(m_view.begin(), m_view.end(), record);
        return it == m_view.end() ? -1 : int(it - m_view.begin());
    }
    const int row = viewInsertPosition(record);
    return row < count() && m_view[size_t(row)] == record ? row : -1;
}

void CardTable::sortOrder()
{
    std::vector<CardRecord *> cards;
    cards.reserve(m_order.size());
    for (const OrderedCard &o : m_order)
        cards.push_back(o.card);
    const std::vector<quint32> places = CardOrder::order(cards, m_sortField);
    std::vector<OrderedCard> sorted(m_order.size());
    constexpr size_t kAhead = 16; // the places are all over the old order: fetched ahead
    for (size_t i = 0; i < places.size(); ++i) {
#if defined(__GNUC__) || defined(__clang__)
        if (i + kAhead < places.size())
            __builtin_prefetch(&m_order[places[i + kAhead]]);
#endif
        sorted[i] = m_order[places[i]];
    }
    m_order = std::move(sorted);
}

void CardTable::rebuildView()
{
    m_view.clear();
    if (m_filter.isEmpty()) {
        m_view.resize(m_order.size());
        for (size_t i = 0; i < m_order.size(); ++i)
            m_view[i] = m_order[i].card;
    } else {
        for (const OrderedCard &o : m_order) {
            if (m_filter.matches(o.keys))
                m_view.push_back(o.card);
        }
    }
    noteRows(Announcement::Rows::Reset);
}

void CardTable::setFilter(const QString &expression)
{
    CardFilter parsed = CardFilter::parse(expression);
    settle();
    Operation op(*this);
    m_filterText = expression;
    m_filter = std::move(parsed);
    rebuildView();
    setCurrent(isEmpty() ? -1 : 0, true, isEmpty(), true);
    op.finish();
}

void CardTable::setSortField(const QString &fieldName)
{
    int field = -1;
    if (!fieldName.isEmpty()) {
        field = CardFields::indexOf(fieldName);
        if (field < 0)
            throw QorError(noSuchField(fieldName));
        if (CardFields::isCalculated(field))
            throw QorError(QStringLiteral("Нельзя упорядочить карточки по вычисляемому полю '%1'")
                               .arg(fieldName));
    }
    checkBrowseMode();
    Operation op(*this);
    m_unordered = false; // sorted below in any case
    const CardRecord *current = m_current >= 0 ? m_view[size_t(m_current)] : nullptr;
    m_sortField = field;
    m_sortFieldName = field < 0 ? QString() : CardFields::def(field).nameText();
    sortOrder();
    rebuildView();
    const int row = current ? viewPositionOf(current) : -1;
    setCurrent(row >= 0 ? row : (isEmpty() ? -1 : 0), false, isEmpty(), true);
    op.finish();
}

// ---- Handlers ------------------------------------------------------------------------------

void CardTable::setEventHandler(Handler handler, EventHandler fn)
{
    switch (handler) {
    case Handler::BeforePost:
        m_beforePost.run = std::move(fn);
        return;
    case Handler::AfterPost:
        m_afterPost.run = std::move(fn);
        return;
    case Handler::AfterDelete:
        m_afterDelete.run = std::move(fn);
        return;
    case Handler::Calculate:
        break;
    }
    throw QorError(QStringLiteral("Обработчик вычисления полей задаётся отдельно"));
}

void CardTable::setCalcHandler(CalcHandler fn)
{
    m_calculate.run = std::move(fn);
    refreshCalculated();
}

void CardTable::setConnected(Handler handler, bool connected)
{
    switch (handler) {
    case Handler::BeforePost:
        m_beforePost.connected = connected;
        return;
    case Handler::AfterPost:
        m_afterPost.connected = connected;
        return;
    case Handler::AfterDelete:
        m_afterDelete.connected = connected;
        return;
    case Handler::Calculate:
        m_calculate.connected = connected;
        refreshCalculated();
        return;
    }
}

bool CardTable::isConnected(Handler handler) const
{
    switch (handler) {
    case Handler::BeforePost:
        return m_beforePost.connected;
    case Handler::AfterPost:
        return m_afterPost.connected;
    case Handler::AfterDelete:
        return m_afterDelete.connected;
    case Handler::Calculate:
        return m_calculate.connected;
    }
    return false;
}

void CardTable::runHandler(const HandlerSlot<EventHandler> &handler)
{
    if (handler.active())
        handler.run(*this);
}

void CardTable::refreshCalculated()
{
    if (viewUpdatesSuppressed()) {
        if (!isEmpty())
            m_dataChangedWhileSuppressed = true;
        return;
    }
    if (!isEmpty())
        emit allRowsChanged();
    emit currentContentChanged();
}

// ---- Announcing ----------------------------------------------------------------------------

void CardTable::noteRows(Announcement::Rows rows, int from, int to)
{
    using Rows = Announcement::Rows;
    if (rows == Rows::Moved && from == to)
        rows = Rows::Changed;
    if (viewUpdatesSuppressed()) {
        // A moved card may come back to the same row: its new content must still be shown.
        if (rows == Rows::Changed || rows == Rows::Moved)
            m_dataChangedWhileSuppressed = true;
        if (rows != Rows::Changed)
            m_structureChangedWhileSuppressed = true;
        return;
    }
    // One operation changes the rows once; a reset covers anything noted before it.
    if (m_news.rows == Rows::None || rows == Rows::Reset)
        m_news = {rows, from, to, m_news.state, m_news.current, m_news.content};
    else
        m_news.rows = Rows::Reset;
}

void CardTable::announce()
{
    using Rows = Announcement::Rows;
    const Announcement news = m_news;
    m_news = {};
    std::exception_ptr failure;
    const auto tell = [&failure](const auto &emitOne) {
        try {
            emitOne();
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    };
    if (!viewUpdatesSuppressed()) {
        switch (news.rows) {
        case Rows::None:
            break;
        case Rows::Inserted:
            tell([&] { emit rowInserted(news.from); });
            break;
        case Rows::Removed:
            tell([&] { emit rowRemoved(news.from); });
            break;
        case Rows::Moved:
            tell([&] { emit rowMoved(news.from, news.to); });
            break;
        case Rows::Changed:
            tell([&] { emit rowChanged(news.from); });
            break;
        case Rows::Reset:
            tell([&] { emit viewReset(); });
            break;
        }
    }
    if (news.state)
        tell([&] { emit stateChanged(m_state); });
    if (!viewUpdatesSuppressed()) {
        if (news.current)
            tell([&] { emit currentChanged(m_current); });
        if (news.content)
            tell([&] { emit currentContentChanged(); });
    }
    if (failure)
        std::rethrow_exception(failure);
}

// ---- View updates --------------------------------------------------------------------------

void CardTable::suppressViewUpdates()
{
    if (m_suppressed++ > 0)
        return;
    m_viewBeforeSuppress.clear();
    m_viewBeforeSuppress.reserve(m_view.size());
    for (const CardRecord *r : m_view)
        m_viewBeforeSuppress.push_back(r->seq());
}

bool CardTable::viewChangedWhileSuppressed() const
{
    // A filter lifted and put back, as every save does, leaves the views showing the same
    // cards: they need no reset, which would cost them their scroll position and selection.
    if (!m_structureChangedWhileSuppressed)
        return false;
    if (m_view.size() != m_viewBeforeSuppress.size())
        return true;
    for (size_t i = 0; i < m_view.size(); ++i) {
        if (m_view[i]->seq() != m_viewBeforeSuppress[i])
            return true;
    }
    return false;
}

void CardTable::resumeViewUpdates()
{
    Q_ASSERT(m_suppressed > 0);
    if (m_suppressed <= 0)
        return;
    if (m_suppressed == 1)
        ensureOrdered(); // while still suppressed: the views hear of it below, once
    if (--m_suppressed > 0)
        return;
    const bool reset = viewChangedWhileSuppressed();
    const bool changed = m_dataChangedWhileSuppressed;
    m_structureChangedWhileSuppressed = false;
    m_dataChangedWhileSuppressed = false;
    m_viewBeforeSuppress = {};
    if (reset)
        emit viewReset();
    else if (changed)
        emit allRowsChanged();
    emit currentChanged(m_current);
    emit currentContentChanged();
}
