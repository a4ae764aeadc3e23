#pragma once

#include "data/CardTable.h"
#include "data/CardTableModel.h"
#include "platform/QorError.h"

#include <QItemSelectionModel>
#include <QStringList>

#include <memory>

// Everything a slot can read of a card table: state, current row, bookmark and every field of
// the current card.
struct TableSnapshot
{
    CardTable::State state = CardTable::State::Browse;
    int row = -1;
    int count = 0;
    CardTable::Bookmark bookmark = 0;
    QStringList fields; // "=text" for a field with a value, "-" without

    static TableSnapshot of(CardTable &t)
    {
        TableSnapshot s{t.state(), t.currentRow(), t.count(), t.bookmark(), {}};
        for (int i = 0; i < t.fieldCount(); ++i) {
            const CardField f = t.field(i);
            s.fields << (f.hasValue() ? QStringLiteral("=") + f.asString() : QStringLiteral("-"));
        }
        return s;
    }
    bool operator==(const TableSnapshot &o) const
    {
        return state == o.state && row == o.row && count == o.count && bookmark == o.bookmark &&
               fields == o.fields;
    }
    QString toString() const
    {
        return QStringLiteral("state %1 row %2/%3 bookmark %4 [%5]")
            .arg(int(state))
            .arg(row)
            .arg(count)
            .arg(bookmark)
            .arg(fields.join(u'|'));
    }
};

// Listens to every signal of a table and takes a snapshot at each: a table that announces only
// once it has settled shows the same snapshot at every signal as after the call returns.
class TableObserver
{
public:
    explicit TableObserver(CardTable &table) : m_table(table)
    {
        using T = CardTable;
        listen(&T::rowInserted, "rowInserted");
        listen(&T::rowRemoved, "rowRemoved");
        listen(&T::rowMoved, "rowMoved");
        listen(&T::rowChanged, "rowChanged");
        listen(&T::allRowsChanged, "allRowsChanged");
        listen(&T::viewReset, "viewReset");
        listen(&T::currentChanged, "currentChanged");
        listen(&T::currentContentChanged, "currentContentChanged");
        listen(&T::fieldChanged, "fieldChanged");
        listen(&T::stateChanged, "stateChanged");
    }
    TableObserver(const TableObserver &) = delete;
    TableObserver &operator=(const TableObserver &) = delete;

    // Empty when every snapshot matches the table now; otherwise what differed.
    QString mismatch() const
    {
        const TableSnapshot now = TableSnapshot::of(m_table);
        for (int i = 0; i < m_seen.size(); ++i) {
            if (!(m_seen[i] == now))
                return QStringLiteral("at %1: %2, afterwards: %3")
                    .arg(m_signals[i], m_seen[i].toString(), now.toString());
        }
        return QString();
    }
    int count() const { return int(m_seen.size()); }
    // What a slot read that disagreed with the table's own answers at that moment.
    const QStringList &violations() const { return m_violations; }

private:
    template <typename Signal> void listen(Signal signal, const char *name)
    {
        QObject::connect(&m_table, signal, m_context.get(), [this, name] { seen(name); });
    }

    void seen(const char *signalName)
    {
        const QString name = QString::fromLatin1(signalName);
        const TableSnapshot s = TableSnapshot::of(m_table);
        m_signals << name;
        m_seen << s;
        const auto violation = [&](const char *what) {
            m_violations << name + QStringLiteral(": ") + QLatin1String(what) +
                                QStringLiteral(" (") + s.toString() + u')';
        };
        if (s.row < -1 || s.row >= s.count || (s.count == 0) != (s.row == -1))
            violation("current row outside the view");
        if (s.bookmark != m_table.bookmarkAt(s.row))
            violation("bookmark is not the current row's card");
        if (s.state == CardTable::State::Browse) {
            for (int f = 0; f < m_table.fieldCount(); ++f) {
                const QString row = m_table.hasValue(s.row, f)
                                        ? QStringLiteral("=") + m_table.text(s.row, f)
                                        : QStringLiteral("-");
                if (s.fields[f] != row)
                    violation("a field differs from its row");
            }
        }
    }

    CardTable &m_table;
    std::unique_ptr<QObject> m_context = std::make_unique<QObject>();
    QList<TableSnapshot> m_seen;
    QStringList m_signals;
    QStringList m_violations;
};

// A selection kept in step with the table both ways, as a card list does: choosing a row makes
// its card current, and the table's current card becomes the selected row.
class TwoWaySelection
{
public:
    TwoWaySelection(CardTable &table, CardTableModel &model) : m_selection(&model)
    {
        QObject::connect(&m_selection, &QItemSelectionModel::currentRowChanged,
                         [&table](const QModelIndex &current) {
                             if (!current.isValid())
                                 return;
                             try {
                                 table.setCurrentRow(current.row());
                             } catch (const QorError &) {
                             }
                         });
        QObject::connect(&table, &CardTable::currentChanged, [this, &model](int row) {
            m_selection.setCurrentIndex(row < 0 ? QModelIndex() : model.index(row, 0),
                                        QItemSelectionModel::ClearAndSelect |
                                            QItemSelectionModel::Rows);
        });
    }
    int currentRow() const
    {
        return m_selection.currentIndex().isValid() ? m_selection.currentIndex().row() : -1;
    }
    QItemSelectionModel &selection() { return m_selection; }

private:
    QItemSelectionModel m_selection;
};
