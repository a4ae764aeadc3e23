#pragma once

#include <QHeaderView>

#include <functional>

// The title row of the card grid: every title a button, the sort marker on the titles the grid
// names, and a cut title shown whole in a tooltip.
class CardGridHeader : public QHeaderView
{
    Q_OBJECT
public:
    explicit CardGridHeader(QWidget *parent = nullptr);

    // Asked for every title when it is drawn: whether it carries the sort marker.
    void setSortMarkerRule(std::function<bool(int logicalIndex)> rule) { m_rule = std::move(rule); }
    bool hasSortMarker(int logicalIndex) const { return m_rule && m_rule(logicalIndex); }

protected:
    void initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const override;
    bool viewportEvent(QEvent *event) override;

private:
    int titleRoom(int logicalIndex) const;

    std::function<bool(int)> m_rule;
};
