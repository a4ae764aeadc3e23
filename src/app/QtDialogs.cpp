#include "app/QtDialogs.h"

#include "app/BoxPlacement.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::Icon toQt(Dialogs::Icon icon)
{
    switch (icon) {
    case Dialogs::Icon::Error:
        return QMessageBox::Critical;
    case Dialogs::Icon::Warning:
        return QMessageBox::Warning;
    case Dialogs::Icon::Information:
        return QMessageBox::Information;
    case Dialogs::Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQt(Dialogs::Buttons buttons)
{
    switch (buttons) {
    case Dialogs::Buttons::Ok:
        return QMessageBox::Ok;
    case Dialogs::Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Dialogs::Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Dialogs::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    }
    return QMessageBox::Ok;
}

} // namespace

Dialogs::Answer QtDialogs::message(const QString &caption, const QString &text, Icon icon,
                                   Buttons buttons)
{
    return show(caption, text, icon, buttons, {});
}

Dialogs::Answer QtDialogs::messageOnTop(const QString &caption, const QString &text, Icon icon,
                                        Buttons buttons)
{
    return show(caption, text, icon, buttons, {true, false, QRect()});
}

Dialogs::Answer QtDialogs::cautiousQuestion(const QString &caption, const QString &text, Icon icon,
                                            Buttons buttons, const QRect &keepClear)
{
    return show(caption, text, icon, buttons, {false, true, keepClear});
}

Dialogs::Answer QtDialogs::show(const QString &caption, const QString &text, Icon icon,
                                Buttons buttons, const Manner &manner)
{
    QWidget *over = QApplication::activeWindow();
    QMessageBox box(toQt(icon), caption, text, toQt(buttons), over);
    box.setWindowModality(Qt::ApplicationModal);
    if (manner.onTop)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (manner.cautious) {
        if (QAbstractButton *safe = box.button(QMessageBox::Cancel)
                                        ? box.button(QMessageBox::Cancel)
                                        : box.button(QMessageBox::No))
            box.setDefaultButton(qobject_cast<QPushButton *>(safe));
    }
    BoxPlacement::fitCaption(&box);
    if (!manner.keepClear.isEmpty())
        BoxPlacement::placeClearOf(&box, manner.keepClear, over);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
}

bool QtDialogs::inputText(const QString &caption, const QString &prompt, QString &value,
                          int maxLength)
{
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(value);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Отмена"));
    if (auto *edit = dialog.findChild<QLineEdit *>()) {
        if (maxLength > 0)
            edit->setMaxLength(maxLength);
        edit->selectAll();
        // Wide enough for the caption and for a long name typed: the dialog takes its size from
        // its layout, so the edit line carries the width.
        const QMargins margins = dialog.layout() ? dialog.layout()->contentsMargins() : QMargins();
        edit->setMinimumWidth(qMax(BoxPlacement::captionWidth(&dialog),
                                   dialog.fontMetrics().averageCharWidth() * 56) -
                              margins.left() - margins.right());
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;
    value = dialog.textValue();
    return true;
}

bool QtDialogs::chooseFolder(const QString &caption, QString &folder)
{
    const QString chosen =
        QFileDialog::getExistingDirectory(QApplication::activeWindow(), caption, folder);
    if (chosen.isEmpty())
        return false;
    folder = chosen;
    return true;
}
