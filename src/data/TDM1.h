#pragma once

#include "data/CardTable.h"
#include "data/DefaultsList.h"
#include "data/ReferenceLists.h"

#include <QHash>
#include <QObject>

// The data module: owns the card table `cdsQor`, the remembered entry defaults and the
// lists in use, and the table's handlers. One instance, `DM1`, lives from start-up to exit.
class TDM1 : public QObject
{
    Q_OBJECT
public:
    explicit TDM1(QObject *parent = nullptr);
    ~TDM1() override;

    CardTable &cdsQor() { return m_cdsQor; }
    DefaultsList &defaults() { return m_defaults; }

    const ReferenceLists &lists() const { return m_lists; }
    void setVariant(Variant variant);

    // The subcommission filter list of the main window, which the calculated subcommission
    // text looks up; null while the main window does not exist. The texts are taken as the list
    // stands now: set it again after the list changes.
    void setSubcommissionLookup(const ReferenceList *list);

    // What the after-post and after-delete handler does: saving the current meeting.
    // Set by whoever owns the current meeting; nothing is saved while it is empty.
    void setSaveAction(std::function<void()> save) { m_save = std::move(save); }

    // Whether the last save of the current meeting failed: its last changes are in the table
    // only. Saving again, from the entry form's Apply or before the meeting is left, clears it;
    // so does dropping the changes with their meeting.
    bool hasUnsavedChanges() const { return m_unsaved; }
    void dropUnsavedChanges() { m_unsaved = false; }
    void saveAgain() { cdsQorAfterPost(m_cdsQor); }

    // The handlers, as the table runs them.
    void cdsQorBeforePost(CardTable &table);
    void cdsQorAfterPost(CardTable &table);
    void cdsQorCalcFields(const CardRecord &card, CalculatedValues &out) const;

    // The category date rule: how far back a category date may lie.
    static constexpr int kCategoryDateSpanDays = 18250;

private:
    CardTable m_cdsQor;
    DefaultsList m_defaults;
    ReferenceLists m_lists;
    // The calculated subcommission text of each subcommission number the lookup list holds:
    // one hash per card, not a number written, folded and looked up.
    QHash<qint64, QString> m_subcommissionTexts;
    std::function<void()> m_save;
    bool m_unsaved = false;
};

// The process-wide data module; null outside client mode.
extern TDM1 *DM1;
