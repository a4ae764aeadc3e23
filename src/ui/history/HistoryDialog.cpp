#include "ui/history/HistoryDialog.h"

#include "app/CommandGuard.h"
#include "data/CardTableModel.h"
#include "data/CardTextFormat.h"
#include "data/TDM1.h"
#include "platform/BusyCursor.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/QorError.h"
#include "ui/controls/CardGrid.h"
#include "ui/main/CardColumns.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QTableWidgetItem *cell(const QString &text, Qt::Alignment alignment = Qt::AlignRight)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

} // namespace

HistoryDialog::HistoryDialog(const QString &meeting, const QString &meetingFile,
                             const QString &historyFolder, QWidget *parent)
    : QDialog(parent), m_meetingFile(meetingFile), m_historyFolder(historyFolder),
      m_model(new CardTableModel(&m_preview, this)), m_list(new QTableWidget(this)),
      m_grid(new CardGrid(this)),
      m_restoreButton(new QPushButton(QStringLiteral("&Восстановить"), this))
{
    setObjectName(QStringLiteral("fmHistory"));
    setWindowTitle(QStringLiteral("История заседания \"%1\"").arg(meeting));
    setModal(true);
    // The calculated columns as the main list shows them.
    m_preview.setCalcHandler([](const CardRecord &card, CalculatedValues &out) {
        if (DM1)
            DM1->cdsQorCalcFields(card, out);
    });

    m_list->setObjectName(QStringLiteral("lvVersions"));
    m_list->setColumnCount(5);
    m_list->setHorizontalHeaderLabels({QStringLiteral("Действовала до"), QStringLiteral("Карточек"),
                                       QStringLiteral("Добавлено после"),
                                       QStringLiteral("Удалено после"),
                                       QStringLiteral("Изменено после")});
    m_list->verticalHeader()->hide();
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setTabKeyNavigation(false);
    m_list->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->horizontalHeader()->setStretchLastSection(true);

    m_grid->setObjectName(QStringLiteral("gridVersion"));
    m_grid->setCardModel(m_model);
    m_grid->setColumns(cardListColumns());

    auto *closeButton = new QPushButton(QStringLiteral("Закрыть"), this);
    closeButton->setObjectName(QStringLiteral("btnClose"));
    m_restoreButton->setObjectName(QStringLiteral("btnRestore"));
    m_restoreButton->setToolTip(QStringLiteral("Сделать выбранную версию содержимым заседания; "
                                               "заседание в нынешнем виде сохранится как версия"));
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_restoreButton, &QPushButton::clicked, this,
            [this] { runGuarded([this] { restoreChosen(); }); });
    connect(m_list, &QTableWidget::currentCellChanged, this,
            [this](int row) { runGuarded([this, row] { showVersion(row); }); });

    auto *split = new QSplitter(Qt::Vertical, this);
    split->addWidget(m_list);
    auto *below = new QWidget(split);
    auto *belowLayout = new QVBoxLayout(below);
    belowLayout->setContentsMargins(0, 0, 0, 0);
    auto *caption =
        new QLabel(QStringLiteral("Карточки выбранной версии (только просмотр):"), below);
    caption->setBuddy(m_grid);
    belowLayout->addWidget(caption);
    belowLayout->addWidget(m_grid);
    split->addWidget(below);
    split->setStretchFactor(1, 2);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_restoreButton);
    buttons->addWidget(closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);
    resize(760, 520);

    fill();
}

HistoryDialog::~HistoryDialog() = default;

void HistoryDialog::fill()
{
    const BusyCursor busy;
    m_versions = MeetingHistory::versions(m_historyFolder);
    QByteArray current;
    try {
        current = FileSystem::readWhole(m_meetingFile);
    } catch (const QorError &) {
        // No meeting file to compare with: every card of a version counts as removed since.
    }
    const MeetingHistory::Comparer comparer(current);
    m_list->setRowCount(int(m_versions.size()));
    m_damaged.clear();
    for (int row = 0; row < m_versions.size(); ++row) {
        const MeetingHistory::Version &v = m_versions.at(row);
        MeetingHistory::Comparison c;
        try {
            c = comparer.compare(FileSystem::readWhole(v.path));
        } catch (const QorError &) {
            c.damaged = true;
        }
        m_damaged.append(c.damaged);
        m_list->setItem(
            row, 0, cell(v.time.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")), Qt::AlignLeft));
        if (c.damaged) {
            m_list->setItem(row, 1, cell(QStringLiteral("повреждена"), Qt::AlignLeft));
            for (int column = 2; column < 5; ++column)
                m_list->setItem(row, column, cell(QString()));
            continue;
        }
        m_list->setItem(row, 1, cell(QString::number(c.cards)));
        m_list->setItem(row, 2, cell(QString::number(c.added)));
        m_list->setItem(row, 3, cell(QString::number(c.removed)));
        m_list->setItem(row, 4, cell(QString::number(c.changed)));
    }
    m_restoreButton->setEnabled(false);
    if (!m_versions.isEmpty())
        m_list->setCurrentCell(0, 0);
}

void HistoryDialog::showVersion(int row)
{
    const BusyCursor busy;
    m_preview.empty();
    const bool usable = row >= 0 && row < m_versions.size() && !m_damaged.at(row);
    m_restoreButton->setEnabled(usable);
    if (!usable)
        return;
    const Dialogs::Silenced quiet; // its cards were checked when the list was made
    ReadCardsFrom(m_preview, FileSystem::readWhole(m_versions.at(row).path),
                  m_versions.at(row).path);
    m_preview.first();
}

void HistoryDialog::restoreChosen()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_versions.size() || m_damaged.at(row) || !m_restore)
        return;
    m_restore(m_versions.at(row).path);
    accept();
}
