#pragma once

#include "ui/controls/CardFind.h"

#include <QDialog>
#include <QList>
#include <QPair>

#include <functional>

class QCheckBox;
class QComboBox;
class QPushButton;

// The grid's find dialog "Поиск". Made once and kept, so that its choices and the texts searched
// for stay for the run; every opening empties the search text and pre-selects a column.
// "На&йти далее" (and Enter) asks the finder for the next match and leaves the dialog open;
// when there is none, an information box says so.
class FindDialog : public QDialog
{
    Q_OBJECT
public:
    using Finder = std::function<bool(const CardFind::Request &request)>;

    explicit FindDialog(QWidget *parent = nullptr);

    void setFinder(Finder finder) { m_finder = std::move(finder); }

    // The columns as (title, field) in display order; the field of the column to pre-select.
    void prepare(const QList<QPair<QString, int>> &columns, int currentField);

    CardFind::Request request() const;
    QStringList history() const;

    void findNext();

    static QString notFoundText(const QString &pattern);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void remember(const QString &pattern);

    QComboBox *m_pattern;
    QComboBox *m_column;
    QComboBox *m_match;
    QComboBox *m_direction;
    QCheckBox *m_case;
    QCheckBox *m_format;
    QPushButton *m_findNext;
    QPushButton *m_close;
    Finder m_finder;
};
