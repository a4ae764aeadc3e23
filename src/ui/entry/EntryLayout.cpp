#include "ui/entry/EntryLayout.h"

#include "data/CardFields.h"
#include "data/ReferenceLists.h"
#include "ui/controls/AccessKeyButton.h"
#include "ui/controls/FieldComboBox.h"
#include "ui/controls/FieldDateEdit.h"
#include "ui/controls/FieldLineEdit.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace {

enum class Kind { List, Text, UpperText, Shown, Date, ImageButton, Button };

// Where a label stands: above the control at its left edge; left of it, right-aligned up to
// a given edge; or left of it, from a given edge on.
enum class LabelAt { None, Above, LeftEndingAt, LeftStartingAt };

using ListOf = const ReferenceList &(*)();

struct ControlDef
{
    const char *name;
    Kind kind;
    int field;        // -1: none
    const char *text; // label, or button caption or hint
    LabelAt labelAt;
    int roomFrom, roomTo; // the stretch a label may take; LeftEndingAt ends at roomTo
    int labelStart;       // LeftStartingAt: where the label begins when its text leaves room
    int x, y, width;
    ListOf list; // null: set when the form opens
};

constexpr int kBoxHeight = 21;
constexpr int kButtonHeight = 25;
constexpr int kImageButton = 22;

using F = CardFields::Index;
using L = LabelAt;
using K = Kind;

// In tab order. Positions in pixels of the client area as designed for an 8-point font.
const ControlDef kControls[] = {
    {"lcbPODKOM", K::List, F::PODKOM, "Подкомиссия (экспертная группа)", L::Above, 8, 320, 0, 8, 24,
     305, nullptr},
    {"edBORNDATE", K::Shown, F::CHANGEDATE, "&Дата ввода", L::Above, 328, 473, 0, 328, 24, 145,
     nullptr},
    {"DBEdit2", K::UpperText, F::FAM, "Фамилия", L::Above, 8, 196, 0, 8, 64, 177, nullptr},
    {"DBEdit3", K::UpperText, F::NAME, "Имя", L::Above, 200, 324, 0, 200, 64, 113, nullptr},
    {"DBEdit4", K::UpperText, F::OTCH, "Отчество", L::Above, 328, 473, 0, 328, 64, 145, nullptr},
    {"DBEdit22", K::UpperText, F::FAM2, "Фамилия (кому)", L::Above, 8, 196, 0, 8, 104, 177,
     nullptr},
    {"DBEdit23", K::UpperText, F::NAME2, "Имя (кому)", L::Above, 200, 324, 0, 200, 104, 113,
     nullptr},
    {"DBEdit24", K::UpperText, F::OTCH2, "Отчество (кому)", L::Above, 328, 473, 0, 328, 104, 145,
     nullptr},
    {"cbSPECvr", K::List, F::SPEC, "Специальность", L::LeftEndingAt, 4, 102, 0, 112, 136, 361,
     &ReferenceLists::doctorSpecialties},
    {"cbSPECsr", K::List, F::SPEC, nullptr, L::None, 0, 0, 0, 112, 136, 361,
     &ReferenceLists::midLevelSpecialties},
    {"cbLPU", K::List, F::LPU, "Место работы", L::LeftEndingAt, 4, 102, 0, 112, 168, 340,
     &ReferenceLists::normalWorkplaces},
    {"btnLPU", K::ImageButton, -1, "Сделать значением по умолчанию", L::None, 0, 0, 0, 451, 168,
     kImageButton, nullptr},
    {"cbLPU_ObrSoc", K::List, F::LPU, nullptr, L::None, 0, 0, 0, 112, 168, 340,
     &ReferenceLists::educationWorkplaces},
    {"DBEdit21", K::Text, F::JOB, "уточнение", L::LeftEndingAt, 4, 102, 0, 112, 192, 340, nullptr},
    {"btnJOB", K::ImageButton, -1, "Сделать значением по умолчанию", L::None, 0, 0, 0, 451, 192,
     kImageButton, nullptr},
    {"DBComboBoxEh4", K::List, F::DOL, "Должность", L::LeftEndingAt, 4, 102, 0, 112, 224, 361,
     &ReferenceLists::positions},
    {"DBComboBoxEh3", K::List, F::CAT, "Имеющаяся квалификационная категория", L::Above, 16, 292, 0,
     16, 264, 265, &ReferenceLists::categories},
    {"DBDateEdit2", K::Date, F::CATDATE, "Дата присвоения", L::Above, 296, 396, 0, 296, 264, 89,
     nullptr},
    {"DBEdit8", K::Text, F::CATNUM, "№ приказа", L::Above, 400, 473, 0, 400, 264, 73, nullptr},
    {"DBComboBoxEh6", K::List, F::DECLCAT, "Заявленная квалификационная категория",
     L::LeftStartingAt, 4, 242, 24, 248, 296, 225, &ReferenceLists::categories},
    {"DBComboBoxEh1", K::List, F::RESOL, "Решение аттестационной комиссии", L::LeftEndingAt, 4, 206,
     0, 216, 328, 257, &ReferenceLists::decisions},
    {"btnPrior", K::Button, -1, "Предыдущая", L::None, 0, 0, 0, 156, 360, 81, nullptr},
    {"btnNext", K::Button, -1, "Следующая", L::None, 0, 0, 0, 244, 360, 73, nullptr},
    {"btnExit", K::Button, -1, "Вы&ход", L::None, 0, 0, 0, 324, 360, 73, nullptr},
    {"btnApply", K::Button, -1, "При&менить", L::None, 0, 0, 0, 404, 360, 69, nullptr},
};

QWidget *createControl(const ControlDef &def, QWidget *form)
{
    const QString text = QString::fromUtf8(def.text);
    switch (def.kind) {
    case Kind::List: {
        auto *box = new FieldComboBox(def.field, form);
        if (def.list)
            box->setFieldList(&def.list());
        return box;
    }
    case Kind::Text:
    case Kind::UpperText:
    case Kind::Shown: {
        auto *box = new FieldLineEdit(def.field, form);
        box->setUpperCase(def.kind == Kind::UpperText);
        if (def.kind == Kind::Shown) {
            box->setEnabled(false); // shows the entry date and time, never edited
            box->setFocusPolicy(Qt::NoFocus);
        }
        return box;
    }
    case Kind::Date:
        return new FieldDateEdit(def.field, form);
    case Kind::ImageButton: {
        auto *button = new QPushButton(form);
        button->setIcon(form->style()->standardIcon(QStyle::SP_DialogSaveButton));
        button->setToolTip(text);
        button->setAccessibleName(text);
        return button;
    }
    case Kind::Button:
        return new AccessKeyButton(text, form);
    }
    return nullptr;
}

int controlHeight(Kind kind)
{
    return kind == Kind::Button ? kButtonHeight
                                : (kind == Kind::ImageButton ? kImageButton : kBoxHeight);
}

// How much the designed layout must grow for the form's font: every label within its room,
// every caption and date within its control, every box as high as a line of text needs.
double scaleFor(const QWidget *form, const QList<QLabel *> &labels,
                const QList<QWidget *> &controls)
{
    double scale = 1.0;
    const auto need = [&scale](double needed, double room) {
        if (room > 0)
            scale = qMax(scale, needed / room);
    };
    const QFontMetrics metrics = form->fontMetrics();
    need(metrics.height() + 6, kBoxHeight);
    for (qsizetype i = 0; i < controls.size(); ++i) {
        const ControlDef &def = kControls[i];
        if (labels[i])
            need(labels[i]->sizeHint().width(), def.roomTo - def.roomFrom - 4);
        if (def.kind == Kind::Button)
            need(controls[i]->sizeHint().width(), def.width);
        if (def.kind == Kind::Date)
            need(metrics.horizontalAdvance(QStringLiteral("00.00.00000")) + metrics.height() + 12,
                 def.width);
    }
    return scale;
}

QRect labelRect(const ControlDef &def, const QSize &label, double k)
{
    const auto at = [k](int v) { return int(v * k + 0.5); };
    const int w = label.width();
    const int h = label.height();
    const int middle = at(def.y) + (at(kBoxHeight) - h) / 2;
    switch (def.labelAt) {
    case LabelAt::Above:
        return QRect(at(def.x), at(def.y) - 2 - h, w, h);
    case LabelAt::LeftEndingAt:
        return QRect(at(def.roomTo) - w, middle, w, h);
    case LabelAt::LeftStartingAt:
        // From its edge, unless its text needs more of the room before the box.
        return QRect(qMin(at(def.labelStart), at(def.roomTo) - w), middle, w, h);
    case LabelAt::None:
        break;
    }
    return QRect();
}

template <typename T> void take(QWidget *form, const char *name, T *&member)
{
    member = form->findChild<T *>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
    Q_ASSERT(member);
}

} // namespace

EntryControls buildEntryControls(QWidget *form)
{
    QList<QWidget *> controls;
    QList<QLabel *> labels;
    QWidget *previous = nullptr;
    QLabel *lastLabel = nullptr;
    for (const ControlDef &def : kControls) {
        QWidget *control = createControl(def, form);
        control->setObjectName(QString::fromLatin1(def.name));
        QLabel *label = nullptr;
        if (def.labelAt != LabelAt::None) {
            label = lastLabel = new QLabel(QString::fromUtf8(def.text), form);
            label->setObjectName(QStringLiteral("label_") + QString::fromLatin1(def.name));
            if (def.labelAt == LabelAt::LeftEndingAt)
                label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            label->setBuddy(control);
        }
        // A box that shares its place with another shares its label too.
        if (def.field >= 0 && lastLabel)
            control->setAccessibleName(lastLabel->text().remove(u'&'));
        if (auto *button = qobject_cast<QPushButton *>(control))
            button->setAutoDefault(false); // Enter applies nothing
        if (control->focusPolicy() != Qt::NoFocus) {
            if (previous)
                QWidget::setTabOrder(previous, control);
            previous = control;
        }
        controls << control;
        labels << label;
    }

    const double k = scaleFor(form, labels, controls);
    const auto at = [k](int v) { return int(v * k + 0.5); };
    for (qsizetype i = 0; i < controls.size(); ++i) {
        const ControlDef &def = kControls[i];
        const int height = controlHeight(def.kind);
        controls[i]->setGeometry(at(def.x), at(def.y), at(def.width), at(height));
        if (labels[i])
            labels[i]->setGeometry(labelRect(def, labels[i]->sizeHint(), k));
    }
    form->setFixedSize(at(kEntryFormWidth), at(kEntryFormHeight));

    EntryControls c{};
    take(form, "lcbPODKOM", c.lcbPODKOM);
    take(form, "edBORNDATE", c.edBORNDATE);
    take(form, "DBEdit2", c.DBEdit2);
    take(form, "DBEdit3", c.DBEdit3);
    take(form, "DBEdit4", c.DBEdit4);
    take(form, "DBEdit22", c.DBEdit22);
    take(form, "DBEdit23", c.DBEdit23);
    take(form, "DBEdit24", c.DBEdit24);
    take(form, "cbSPECvr", c.cbSPECvr);
    take(form, "cbSPECsr", c.cbSPECsr);
    take(form, "cbLPU", c.cbLPU);
    take(form, "btnLPU", c.btnLPU);
    take(form, "cbLPU_ObrSoc", c.cbLPU_ObrSoc);
    take(form, "DBEdit21", c.DBEdit21);
    take(form, "btnJOB", c.btnJOB);
    take(form, "DBComboBoxEh4", c.DBComboBoxEh4);
    take(form, "DBComboBoxEh3", c.DBComboBoxEh3);
    take(form, "DBDateEdit2", c.DBDateEdit2);
    take(form, "DBEdit8", c.DBEdit8);
    take(form, "DBComboBoxEh6", c.DBComboBoxEh6);
    take(form, "DBComboBoxEh1", c.DBComboBoxEh1);
    take(form, "btnPrior", c.btnPrior);
    take(form, "btnNext", c.btnNext);
    take(form, "btnExit", c.btnExit);
    take(form, "btnApply", c.btnApply);
    c.btnApply->setEnabled(false);
    c.btnLPU->setAccessibleDescription(QStringLiteral("Место работы"));
    c.btnJOB->setAccessibleDescription(QStringLiteral("Уточнение места работы"));
    return c;
}
