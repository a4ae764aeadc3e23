// Opens the entry form on a filled doctor's card of a temporary meeting and saves a picture of
// it to the path given as the argument.
#include "app/Application.h"
#include "data/MeetingFiles.h"
#include "data/TDM1.h"
#include "platform/Clock.h"
#include "support/TestEnvironment.h"
#include "ui/controls/FieldDateEdit.h"
#include "ui/entry/TfmVvod.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

int main(int argc, char *argv[])
{
    TestEnvironment::isolateHome();
    QApplication app(argc, argv);
    Application::prepare(app);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("entry.png");

    QTemporaryDir folder;
    DM1 = new TDM1;
    CardTable &t = DM1->cdsQor();
    t.append();
    const struct
    {
        int field;
        const char *value;
    } values[] = {
        {CardFields::FTYPE, "1"},
        {CardFields::PODKOM, "404"},
        {CardFields::FAM, "ОБРАЗЦОВА"},
        {CardFields::NAME, "АННА"},
        {CardFields::OTCH, "СЕРГЕЕВНА"},
        {CardFields::FAM2, "ОБРАЗЦОВОЙ"},
        {CardFields::NAME2, "АННЕ"},
        {CardFields::OTCH2, "СЕРГЕЕВНЕ"},
        {CardFields::SPEC, "2011.27"},
        {CardFields::LPU, "84\t"},
        {CardFields::JOB, "отделение кардиологии"},
        {CardFields::DOL, "24"},
        {CardFields::CAT, "1"},
        {CardFields::CATNUM, "245-к"},
        {CardFields::DECLCAT, "ВЫС"},
        {CardFields::RESOL, "1"},
    };
    for (const auto &v : values)
        t.field(v.field).setAsString(QString::fromUtf8(v.value));
    t.field(CardFields::CHANGEDATE)
        .setAsDayNumber(Clock::toDayNumber(QDateTime(QDate(2017, 3, 15), QTime(14, 30))));
    t.field(CardFields::CATDATE).setAsDate(QDate(2012, 4, 12));
    t.post();
    DM1->setSaveAction(
        [&] { SaveMeeting(t, DM1->lists(), folder.path() + u'/', QStringLiteral("Заседание")); });

    // With a second argument the picture is of the screen: "lookup" shows the workplaces found
    // by typing "обл бол", anything else the calendar dropped down.
    const QString mode = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    const bool screen = !mode.isEmpty();
    auto *form = new TfmVvod;
    if (mode == u"lookup")
        QTimer::singleShot(400, form, [form] {
            QWidget *box = form->findChild<QWidget *>(QStringLiteral("cbLPU"));
            box->setFocus();
            for (const QChar c : QStringLiteral("обл бол")) {
                QWidget *target = QApplication::activePopupWidget()
                                      ? QApplication::activePopupWidget()->focusWidget()
                                      : box;
                QKeyEvent press(QEvent::KeyPress, c.toUpper().unicode(), Qt::NoModifier, c);
                QApplication::sendEvent(target, &press);
            }
        });
    else if (screen)
        QTimer::singleShot(400, form, [form] {
            form->findChild<FieldDateEdit *>(QStringLiteral("DBDateEdit2"))->showCalendar();
        });
    QTimer::singleShot(1200, form, [form, out, screen] {
        if (screen)
            QGuiApplication::primaryScreen()->grabWindow(0).save(out);
        else
            form->grab().save(out);
        QApplication::closeAllWindows();
        form->reject(); // without the close question: a picture changes no card
    });
    form->openCard(false);
    delete form;
    delete DM1;
    DM1 = nullptr;
    return 0;
}
