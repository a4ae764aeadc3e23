#include "data/CardTable.h"

#include "data/CardOrder.h"
#include "data/CardValue.h"
#include "platform/QorError.h"

#include <algorithm>

namespace {

QString noSuchField(QStringView name)
{
    return QStringLiteral("Поле '%1' не найдено").arg(name);
}

} // namespace

// ---- Field handles -------------------------------------------------------------------------

bool CardField::hasValue() const
{
    return m_table->fieldHasValue(m_index);
}

QString CardField::asString() const
{
    return m_table->fieldText(m_index);
}

qint32 CardField::asInteger() const
{
    if (isCalculated()) {
        bool ok = false;
        const int v = asString().toInt(&ok);
        return ok ? v : 0;
    }
    const CardRecord *r = m_table->currentRecord();
    return r ? CardValue::asInteger(*r, m_index) : 0;
}

double CardField::asFloat() const
{
    if (isCalculated())
        return asString().toDouble();
    const CardRecord *r = m_table->currentRecord();
    return r ? CardValue::asNumber(*r, m_index) : 0.0;
}

void CardField::setAsString(const QString &text) const
{
    CardValue::assignText(m_table->writableRecord(), m_index, text);
    m_table->markModified();
}

void CardField::setAsInteger(qint64 value) const
{
    CardValue::assignInteger(m_table->writableRecord(), m_index, value);
    m_table->markModified();
}

void CardField::setAsFloat(double value) const
{
    CardValue::assignNumber(m_table->writableRecord(), m_index, value);
    m_table->markModified();
}

void CardField::clear() const
{
    m_table->writableRecord().clear(m_index);
    m_table->markModified();
}

// ---- Table ---------------------------------------------------------------------------------

CardTable::CardTable(QObject *parent) : QObject(parent) {}

CardTable::~CardTable() = default;

CardField CardTable::field(int index)
{
    Q_ASSERT(index >= 0 && index < CardFields::Count);
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
    if (m_state != State::Browse)
        return &*m_buffer;
    return m_current >= 0 ? m_view[size_t(m_current)] : nullptr;
}

CardRecord &CardTable::writableRecord()
{
    if (m_state == State::Browse)
        throw QorError(QStringLiteral("Набор данных не в режиме редактирования или вставки"));
    return *m_buffer;
}

void CardTable::markModified()
{
    m_modified = true;
}

CalculatedValues CardTable::calculate(const CardRecord &record) const
{
    CalculatedValues out;
    if (m_calc && m_connected[int(Handler::Calculate)])
        m_calc(record, out);
    return out;
}

bool CardTable::fieldHasValue(int field) const
{
    const CardRecord *r = currentRecord();
    if (!r)
        return false;
    return CardFields::isCalculated(field) ? calculate(*r).hasValue(field) : r->hasValue(field);
}

QString CardTable::fieldText(int field) const
{
    const CardRecord *r = currentRecord();
    if (!r)
        return QString();
    return CardFields::isCalculated(field) ? calculate(*r).text(field)
                                           : CardValue::asText(*r, field);
}

bool CardTable::hasValue(int row, int field) const
{
    const CardRecord *r = recordAt(row);
    if (!r)
        return false;
    return CardFields::isCalculated(field) ? calculate(*r).hasValue(field) : r->hasValue(field);
}

QString CardTable::text(int row, int field) const
{
    const CardRecord *r = recordAt(row);
    if (!r)
        return QString();
    return CardFields::isCalculated(field) ? calculate(*r).text(field)
                                           : CardValue::asText(*r, field);
}

const CardRecord *CardTable::recordAt(int row) const
{
    return row >= 0 && row < count() ? m_view[size_t(row)] : nullptr;
}

// ---- States and changes --------------------------------------------------------------------

void CardTable::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
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
    CardOrder::sort(m_order, m_sortField);
    rebuildView();
    m_current = current ? viewPositionOf(current) : -1;
}

void CardTable::append()
{
    checkBrowseMode();
    m_beforeInsert = bookmark();
    m_buffer.emplace();
    m_modified = false;
    setState(State::Insert);
}

void CardTable::edit()
{
    if (m_state != State::Browse)
        return;
    ensureOrdered();
    if (isEmpty()) { // editing an empty table starts a new card, as the bound boxes expect
        append();
        return;
    }
    m_buffer = *m_view[size_t(m_current)];
    m_modified = false;
    setState(State::Edit);
}

void CardTable::post()
{
    if (m_state == State::Browse)
        return;

    runHandler(Handler::BeforePost);
    for (int i = 0; i < CardFields::StoredCount; ++i) {
        if (CardFields::def(i).required && !m_buffer->hasValue(i)) {
            emit focusFieldRequested(i);
            throw QorError(QStringLiteral("Поле '%1' должно иметь значение")
                               .arg(CardFields::def(i).labelText()));
        }
    }

    if (m_state == State::Insert) {
        auto owned = std::make_unique<CardRecord>(std::move(*m_buffer));
        CardRecord *record = owned.get();
        record->setSeq(m_nextSeq++);
        m_cards.emplace(record->seq(), std::move(owned));
        m_buffer.reset();
        m_modified = false;
        if (viewUpdatesSuppressed() && m_sortField >= 0) {
            m_unordered = true;
            m_structureChangedWhileSuppressed = true;
            m_order.push_back(record);
            if (m_filter.matches(*record)) {
                m_view.push_back(record);
                setCurrent(count() - 1, false, false, true);
            }
            setState(State::Browse);
            runHandler(Handler::AfterPost);
            return;
        }
        m_order.insert(std::upper_bound(m_order.begin(), m_order.end(), record,
                                        [this](const CardRecord *a, const CardRecord *b) {
                                            return CardOrder::less(*a, *b, m_sortField);
                                        }),
                       record);
        if (m_filter.matches(*record)) {
            const int row = viewInsertPosition(record);
            beginInsert(row);
            m_view.insert(m_view.begin() + row, record);
            endInsert(row);
            setCurrent(row, false, false, true);
        } else if (m_beforeInsert && bookmarkValid(m_beforeInsert)) {
            setCurrent(viewPositionOf(m_cards.at(m_beforeInsert).get()), false, false, true);
        } else {
            setCurrent(isEmpty() ? -1 : qMin(qMax(m_current, 0), count() - 1), false, false, true);
        }
    } else {
        ensureOrdered();
        CardRecord *record = m_view[size_t(m_current)];
        const int row = m_current;
        const bool moves =
            m_sortField >= 0 && CardOrder::compareValues(*record, *m_buffer, m_sortField) != 0;
        if (moves)
            m_order.erase(m_order.begin() + orderPositionOf(record));
        *record = std::move(*m_buffer);
        m_buffer.reset();
        m_modified = false;
        if (viewUpdatesSuppressed())
            m_dataChangedWhileSuppressed = true; // the card may come back to the same row
        if (moves) {
            m_order.insert(std::lower_bound(m_order.begin(), m_order.end(), record,
                                            [this](const CardRecord *a, const CardRecord *b) {
                                                return CardOrder::less(*a, *b, m_sortField);
                                            }),
                           record);
        }
        if (!m_filter.matches(*record)) {
            beginRemove(row);
            m_view.erase(m_view.begin() + row);
            endRemove(row);
            setCurrent(isEmpty() ? -1 : qMin(row, count() - 1), false, false, true);
        } else if (moves) {
            beginRemove(row);
            m_view.erase(m_view.begin() + row);
            endRemove(row);
            const int to = viewInsertPosition(record);
            beginInsert(to);
            m_view.insert(m_view.begin() + to, record);
            endInsert(to);
            setCurrent(to, false, false, true);
        } else {
            changedRow(row);
        }
    }
    setState(State::Browse);
    runHandler(Handler::AfterPost);
}

void CardTable::cancel()
{
    if (m_state == State::Browse)
        return;
    const bool wasInsert = m_state == State::Insert;
    ensureOrdered();
    m_buffer.reset();
    m_modified = false;
    setState(State::Browse);
    if (wasInsert && m_beforeInsert && bookmarkValid(m_beforeInsert))
        setCurrent(viewPositionOf(m_cards.at(m_beforeInsert).get()), false, false);
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

    const int row = m_current;
    CardRecord *record = m_view[size_t(row)];
    beginRemove(row);
    m_view.erase(m_view.begin() + row);
    endRemove(row);
    m_order.erase(m_order.begin() + orderPositionOf(record));
    m_cards.erase(record->seq());
    setCurrent(isEmpty() ? -1 : qMin(row, count() - 1), isEmpty(), isEmpty(), true);
    runHandler(Handler::AfterDelete);
}

void CardTable::empty()
{
    m_buffer.reset();
    m_modified = false;
    m_unordered = false;
    setState(State::Browse);
    beginReset();
    m_view.clear();
    m_order.clear();
    m_cards.clear();
    endReset();
    setCurrent(-1, true, true, true);
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
    if (!viewUpdatesSuppressed())
        emit currentChanged(row);
}

void CardTable::first()
{
    checkBrowseMode();
    ensureOrdered();
    setCurrent(isEmpty() ? -1 : 0, true, isEmpty());
}

void CardTable::last()
{
    checkBrowseMode();
    ensureOrdered();
    setCurrent(count() - 1, isEmpty(), true);
}

void CardTable::next()
{
    checkBrowseMode();
    ensureOrdered();
    if (m_atEnd)
        return;
    if (m_current + 1 < count())
        setCurrent(m_current + 1, false, false);
    else
        setCurrent(m_current, false, true);
}

void CardTable::prior()
{
    checkBrowseMode();
    ensureOrdered();
    if (m_atStart)
        return;
    if (m_current > 0)
        setCurrent(m_current - 1, false, false);
    else
        setCurrent(m_current, true, false);
}

void CardTable::setCurrentRow(int row)
{
    ensureOrdered();
    if (row < 0 || row >= count() || (row == m_current && m_state == State::Browse))
        return;
    checkBrowseMode();
    setCurrent(qMin(row, count() - 1), false, false);
}

CardTable::Bookmark CardTable::bookmark() const
{
    if (m_state == State::Edit)
        return m_view[size_t(m_current)]->seq();
    return m_current >= 0 ? m_view[size_t(m_current)]->seq() : 0;
}

bool CardTable::bookmarkValid(Bookmark bookmark) const
{
    const auto it = m_cards.find(bookmark);
    return it != m_cards.end() && viewPositionOf(it->second.get()) >= 0;
}

void CardTable::gotoBookmark(Bookmark bookmark)
{
    checkBrowseMode();
    ensureOrdered();
    const auto it = m_cards.find(bookmark);
    const int row = it == m_cards.end() ? -1 : viewPositionOf(it->second.get());
    if (row < 0)
        throw QorError(QStringLiteral("Запись не найдена"));
    setCurrent(row, false, false);
}

bool CardTable::locate(QStringView fieldName, const QString &value)
{
    const int field = CardFields::indexOf(fieldName);
    if (field < 0)
        throw QorError(noSuchField(fieldName));
    checkBrowseMode();
    ensureOrdered();
    for (int row = 0; row < count(); ++row) {
        if (hasValue(row, field) && text(row, field) == value) {
            setCurrent(row, false, false);
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
                                     [this](const CardRecord *a, const CardRecord *b) {
                                         return CardOrder::less(*a, *b, m_sortField);
                                     });
    if (it != m_order.end() && *it == record)
        return int(it - m_order.begin());
    // Never expected: the order is kept sorted. Fall back to a search rather than corrupt it.
    return int(std::find(m_order.begin(), m_order.end(), record) - m_order.begin());
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

void CardTable::rebuildView()
{
    beginReset();
    m_view.clear();
    if (m_filter.isEmpty()) {
        m_view = m_order;
    } else {
        for (CardRecord *r : m_order) {
            if (m_filter.matches(*r))
                m_view.push_back(r);
        }
    }
    endReset();
}

void CardTable::setFilter(const QString &expression)
{
    CardFilter parsed = CardFilter::parse(expression);
    checkBrowseMode();
    ensureOrdered();
    m_filterText = expression;
    m_filter = std::move(parsed);
    rebuildView();
    setCurrent(isEmpty() ? -1 : 0, true, isEmpty(), true);
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
    m_unordered = false; // sorted below in any case
    const Bookmark current = bookmark();
    m_sortField = field;
    m_sortFieldName = field < 0 ? QString() : CardFields::def(field).nameText();
    CardOrder::sort(m_order, m_sortField);
    rebuildView();
    const int row = current ? viewPositionOf(m_cards.at(current).get()) : -1;
    setCurrent(row >= 0 ? row : (isEmpty() ? -1 : 0), false, isEmpty(), true);
}

// ---- Handlers ------------------------------------------------------------------------------

void CardTable::setEventHandler(Handler handler, EventHandler fn)
{
    Q_ASSERT(handler != Handler::Calculate);
    m_handlers[int(handler)] = std::move(fn);
}

void CardTable::setCalcHandler(CalcHandler fn)
{
    m_calc = std::move(fn);
    refreshCalculated();
}

void CardTable::setConnected(Handler handler, bool connected)
{
    m_connected[int(handler)] = connected;
    if (handler == Handler::Calculate)
        refreshCalculated();
}

bool CardTable::isConnected(Handler handler) const
{
    return m_connected[int(handler)];
}

void CardTable::runHandler(Handler handler)
{
    const int i = int(handler);
    if (m_connected[i] && m_handlers[i])
        m_handlers[i](*this);
}

void CardTable::refreshCalculated()
{
    if (isEmpty())
        return;
    if (viewUpdatesSuppressed())
        m_dataChangedWhileSuppressed = true;
    else
        emit allRowsChanged();
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
    if (viewChangedWhileSuppressed()) {
        emit viewAboutToBeReset();
        emit viewReset();
    } else if (m_dataChangedWhileSuppressed) {
        emit allRowsChanged();
    }
    m_structureChangedWhileSuppressed = false;
    m_dataChangedWhileSuppressed = false;
    m_viewBeforeSuppress = {};
    emit currentChanged(m_current);
}

void CardTable::beginInsert(int row)
{
    if (viewUpdatesSuppressed())
        m_structureChangedWhileSuppressed = true;
    else
        emit rowsAboutToBeInserted(row, row);
}

void CardTable::endInsert(int row)
{
    if (!viewUpdatesSuppressed())
        emit rowsInserted(row, row);
}

void CardTable::beginRemove(int row)
{
    if (viewUpdatesSuppressed())
        m_structureChangedWhileSuppressed = true;
    else
        emit rowsAboutToBeRemoved(row, row);
}

void CardTable::endRemove(int row)
{
    if (!viewUpdatesSuppressed())
        emit rowsRemoved(row, row);
}

void CardTable::changedRow(int row)
{
    if (viewUpdatesSuppressed())
        m_dataChangedWhileSuppressed = true;
    else
        emit rowChanged(row);
}

void CardTable::beginReset()
{
    if (viewUpdatesSuppressed())
        m_structureChangedWhileSuppressed = true;
    else
        emit viewAboutToBeReset();
}

void CardTable::endReset()
{
    if (!viewUpdatesSuppressed())
        emit viewReset();
}
