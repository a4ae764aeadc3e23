#include "ui/controls/FindDialog.h"

#include "app/CommandGuard.h"
#include "platform/Dialogs.h"

#include "ui/controls/AccessKeyButton.h"
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QComboBox *choiceBox(QWidget *parent, const char *name, const QStringList &items, int chosen)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->addItems(items);
    box->setCurrentIndex(chosen);
    return box;
}

} // namespace

FindDialog::FindDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FindDialog"));
    setWindowTitle(QStringLiteral("Поиск"));
    setModal(true);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    m_pattern = new QComboBox(this);
    m_pattern->setObjectName(QStringLiteral("cbPattern"));
    m_pattern->setEditable(true);
    m_pattern->setInsertPolicy(QComboBox::NoInsert);
    m_pattern->setCompleter(nullptr);
    m_pattern->setMinimumContentsLength(24);
    m_column = new QComboBox(this);
    m_column->setObjectName(QStringLiteral("cbColumn"));
    m_column->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_column->setMinimumContentsLength(24);
    m_match = choiceBox(this, "cbMatch",
                        {QStringLiteral("С любой части поля"), QStringLiteral("Поля целиком"),
                         QStringLiteral("С начала поля")},
                        0);
    m_direction =
        choiceBox(this, "cbDirection",
                  {QStringLiteral("Вверх"), QStringLiteral("Вниз"), QStringLiteral("Все")}, 2);
    m_case = new QCheckBox(QStringLiteral("С учетом ре&гистра"), this);
    m_case->setObjectName(QStringLiteral("chbCase"));
    m_format = new QCheckBox(QStringLiteral("С у&четом формата"), this);
    m_format->setObjectName(QStringLiteral("chbFormat"));
    m_format->setChecked(true);
    m_findNext = new AccessKeyButton(QStringLiteral("На&йти далее"), this);
    m_findNext->setObjectName(QStringLiteral("btnFindNext"));
    m_findNext->setDefault(true);
    m_close = new QPushButton(QStringLiteral("Закрыть"), this);
    m_close->setObjectName(QStringLiteral("btnClose"));
    m_close->setAutoDefault(false);

    auto *fields = new QGridLayout;
    const QList<QPair<QString, QWidget *>> rows = {{QStringLiteral("&Образец:"), m_pattern},
                                                   {QStringLiteral("&Поиск в:"), m_column},
                                                   {QStringLiteral("&Совпадение:"), m_match},
                                                   {QStringLiteral("Прос&мотр:"), m_direction}};
    for (int i = 0; i < rows.size(); ++i) {
        auto *label = new QLabel(rows.at(i).first, this);
        label->setBuddy(rows.at(i).second);
        fields->addWidget(label, i, 0);
        fields->addWidget(rows.at(i).second, i, 1);
    }
    fields->addWidget(m_case, int(rows.size()), 1);
    fields->addWidget(m_format, int(rows.size()) + 1, 1);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_findNext);
    buttons->addWidget(m_close);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_findNext, &QPushButton::clicked, this, &FindDialog::findNext);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pattern, &QComboBox::editTextChanged, this,
            [this](const QString &text) { m_findNext->setEnabled(!text.isEmpty()); });
    m_findNext->setEnabled(false);
}

void FindDialog::prepare(const QList<QPair<QString, int>> &columns, int currentField)
{
    m_column->clear();
    for (const auto &column : columns)
        m_column->addItem(column.first, column.second);
    m_column->addItem(QStringLiteral("<All>"), -1);
    const int current = m_column->findData(currentField);
    m_column->setCurrentIndex(current >= 0 ? current : 0);
    m_pattern->setEditText(QString());
    m_pattern->setFocus();
}

CardFind::Request FindDialog::request() const
{
    CardFind::Request r;
    r.pattern = m_pattern->currentText();
    r.column = m_column->currentData().isValid() ? m_column->currentData().toInt() : -1;
    r.match = CardFind::Match(m_match->currentIndex());
    r.direction = CardFind::Direction(m_direction->currentIndex());
    r.caseSensitive = m_case->isChecked();
    r.asShown = m_format->isChecked();
    return r;
}

QStringList FindDialog::history() const
{
    QStringList texts;
    for (int i = 0; i < m_pattern->count(); ++i)
        texts.append(m_pattern->itemText(i));
    return texts;
}

QString FindDialog::notFoundText(const QString &pattern)
{
    return QStringLiteral("Образец \"%1\" больше не найден.").arg(pattern);
}

void FindDialog::remember(const QString &pattern)
{
    const int known = m_pattern->findText(pattern, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (known == 0)
        return;
    if (known > 0)
        m_pattern->removeItem(known);
    m_pattern->insertItem(0, pattern);
    m_pattern->setCurrentIndex(0);
}

void FindDialog::findNext()
{
    const CardFind::Request r = request();
    if (r.pattern.isEmpty() || !m_finder)
        return;
    remember(r.pattern);
    bool found = true;
    runGuarded([&] { found = m_finder(r); });
    if (!found)
        Dialogs::instance().information(notFoundText(r.pattern));
}

void FindDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (const QScreen *where = screen())
        move(where->availableGeometry().center() - rect().center());
}
