// The entry form typed and tabbed through as a clerk uses it: opening, preparing, moving,
// applying and closing, and the rules of its boxes.
#include "EntryFormKit.h"
#include "support/Failures.h"

#include <QLabel>

using namespace Qt::StringLiterals;
using F = CardFields::Index;
using Answer = Dialogs::Answer;

class TestEntryForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestEnvironment::isolateHome(); }
    void newCardClosedAtOnceAsksAndNoRemovesIt();
    void foreignSpecialtyIsClearedAndApplyEnabled_data();
    void foreignSpecialtyIsClearedAndApplyEnabled();
    void navigationPostsWithoutAsking_data();
    void navigationPostsWithoutAsking();
    void movesThroughHiddenCardsAndReturns_data();
    void movesThroughHiddenCardsAndReturns();
    void appliedNewCardKeepsTitleAndRemembersType();
    void requiredFieldsInFieldOrder_data();
    void requiredFieldsInFieldOrder();
    void categoryDateRule_data();
    void categoryDateRule();
    void couplingOfFollowingNewCards_data();
    void couplingOfFollowingNewCards();
    void workplaceDefaultOnlyFromVisibleList_data();
    void workplaceDefaultOnlyFromVisibleList();
    void failedSaveThenSecondApplySavesAgain();
    void leavingNameBoxes_data();
    void leavingNameBoxes();
    void keyboardOnly();
    void layoutLeavesNothingClipped();
};

void TestEntryForm::newCardClosedAtOnceAsksAndNoRemovesIt()
{
    EntryFormKit kit;
    addCard(kit.table(), 1, 404, u"А"_s);
    kit.run(true, [&] {
        QCOMPARE(kit.form->windowTitle(), u"Новая карточка"_s);
        QVERIFY(kit.applyEnabled());
        QVERIFY(!kit.w("btnPrior")->isVisible());
        QCOMPARE(kit.value(F::CHANGEDATE), u"15.03.2017 14:30:00"_s);
        kit.dialogs.expectMessage(Answer::No);
        kit.click("btnExit");
        QCOMPARE(kit.dialogs.log().value(0).caption, u"Запрос"_s);
        QCOMPARE(kit.asked(), QStringList{u"Сохранить эту карточку?"_s});
    });
    QCOMPARE(kit.table().totalCount(), 1);
    QCOMPARE(kit.table().state(), CardTable::State::Browse);
}

void TestEntryForm::foreignSpecialtyIsClearedAndApplyEnabled_data()
{
    QTest::addColumn<int>("ftype");
    QTest::addColumn<QString>("specialty");
    QTest::newRow("mid-level key on a doctor") << 1 << "2011.103";
    QTest::newRow("doctors' key on a mid-level card") << 2 << "2011.27";
    QTest::newRow("empty") << 1 << "";
}

void TestEntryForm::foreignSpecialtyIsClearedAndApplyEnabled()
{
    QFETCH(int, ftype);
    QFETCH(QString, specialty);
    EntryFormKit kit;
    addCard(kit.table(), ftype, ftype == 1 ? 404 : 410, u"А"_s);
    kit.change(F::SPEC, specialty);
    kit.run(false, [&] {
        QCOMPARE(kit.w("cbSPECvr")->isVisible(), ftype == 1);
        QVERIFY(!kit.table().field(F::SPEC).hasValue());
        QVERIFY(kit.applyEnabled());
        kit.dialogs.expectMessage(Answer::No);
        kit.form->close(); // the close box
        QCOMPARE(kit.asked(), QStringList{u"Карточка была изменена. Сохранить изменения?"_s});
    });
    QCOMPARE(kit.value(F::SPEC), specialty);
}

void TestEntryForm::navigationPostsWithoutAsking_data()
{
    QTest::addColumn<int>("cards");
    QTest::newRow("one card: both buttons disable themselves") << 1;
    QTest::newRow("two cards") << 2;
}

void TestEntryForm::navigationPostsWithoutAsking()
{
    QFETCH(int, cards);
    EntryFormKit kit;
    for (const QString &fam : QStringList{u"А"_s, u"Б"_s}.mid(0, cards))
        addCard(kit.table(), 1, 404, fam);
    kit.table().first();
    kit.saveMeeting();
    kit.run(false, [&] {
        QVERIFY(kit.w("btnNext")->isEnabled() && kit.w("btnPrior")->isEnabled());
        kit.type("DBEdit8", u"7"_s);
        kit.click("btnNext");
        QCOMPARE(kit.form->windowTitle(), cards == 1 ? u"А X X"_s : u"Б X X"_s);
        QCOMPARE(kit.w("btnNext")->isEnabled(), cards > 1);
        // Past the last card the next key goes to the card's first box, not back a card.
        if (cards == 1)
            QCOMPARE(kit.focused(), u"lcbPODKOM"_s);
        QVERIFY(!kit.applyEnabled());
        kit.click("btnPrior");
        QCOMPARE(kit.form->windowTitle(), u"А X X"_s);
        QCOMPARE(kit.w("btnPrior")->isEnabled(), cards > 1);
        QCOMPARE(kit.asked(), QStringList());
    });
    QCOMPARE(kit.savedSurnames(F::CATNUM).value(0), u"А=7"_s);
    QCOMPARE(kit.saves, 1);
}

void TestEntryForm::movesThroughHiddenCardsAndReturns_data()
{
    QTest::addColumn<int>("moves");
    QTest::addColumn<QString>("currentAfter");
    QTest::newRow("closed on a hidden card") << 1 << "А";
    QTest::newRow("closed on a card the filter shows") << 2 << "В";
}

void TestEntryForm::movesThroughHiddenCardsAndReturns()
{
    QFETCH(int, moves);
    QFETCH(QString, currentAfter);
    EntryFormKit kit;
    addCard(kit.table(), 1, 404, u"А"_s);
    addCard(kit.table(), 2, 410, u"Б"_s);
    kit.change(F::SPEC, u"2011.103"_s);
    addCard(kit.table(), 1, 404, u"В"_s);
    kit.table().setFilter(u"FTYPE=1"_s);
    kit.run(false, [&] {
        for (int i = 0; i < moves; ++i)
            kit.click("btnNext");
        kit.click("btnExit");
        QCOMPARE(kit.asked(), QStringList());
    });
    QCOMPARE(kit.table().filter(), u"FTYPE=1"_s);
    QCOMPARE(kit.value(F::FAM), currentAfter);
}

// Fills the required fields of the card being entered from `from` up to `to`, in field order.
static void fillRequired(EntryFormKit &kit, int to = CardFields::StoredCount, int from = 0)
{
    const QStringList values = {"1",        "404",   "",         "ИВАНОВА", "ИРИНА", "ПЕТРОВНА",
                                "ИВАНОВОЙ", "ИРИНЕ", "ПЕТРОВНЕ", "2011.27", "84\t",  "",
                                "24",       "",      "",         "",        "1",     "1"};
    for (int field = from; field < to; ++field) {
        if (!values.at(field).isEmpty())
            kit.set(field, values.at(field));
    }
}

void TestEntryForm::appliedNewCardKeepsTitleAndRemembersType()
{
    EntryFormKit kit;
    kit.saveMeeting();
    kit.run(true, [&] {
        fillRequired(kit);
        kit.click("btnApply");
        QCOMPARE(kit.form->windowTitle(), u"Новая карточка"_s);
        QVERIFY(!kit.applyEnabled());
        kit.click("btnExit"); // nothing changed since: no question
        QCOMPARE(kit.asked(), QStringList());
    });
    QCOMPARE(kit.savedSurnames(), QStringList{u"ИВАНОВА=ИВАНОВА"_s});
    QCOMPARE(DM1->defaults().lines(), (QStringList{u"@FTYPE=1"_s, u"@PODKOM=404"_s}));
}

void TestEntryForm::requiredFieldsInFieldOrder_data()
{
    QTest::addColumn<int>("missing");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("focus"); // the box that takes the focus
    QTest::newRow("card type: no box") << int(F::FTYPE) << "Врач или средний медработник"
                                       << "btnApply";
    QTest::newRow("subcommission") << int(F::PODKOM) << "Подкомиссия"
                                   << "lcbPODKOM";
    QTest::newRow("surname (кому)") << int(F::FAM2) << "Фамилия  (кому)"
                                    << "DBEdit22";
    QTest::newRow("specialty") << int(F::SPEC) << "Специальность"
                               << "cbSPECvr";
    QTest::newRow("workplace") << int(F::LPU) << "Место работы"
                               << "cbLPU";
    QTest::newRow("decision") << int(F::RESOL) << "Решение аттестационной комиссии"
                              << "DBComboBoxEh1";
}

void TestEntryForm::requiredFieldsInFieldOrder()
{
    QFETCH(int, missing);
    QFETCH(QString, label);
    QFETCH(QString, focus);
    EntryFormKit kit;
    kit.run(true, [&] {
        fillRequired(kit, missing);
        kit.dialogs.expectMessage();
        kit.click("btnApply");
        QCOMPARE(kit.asked(), QStringList{"Поле '" + label + "' должно иметь значение."});
        QCOMPARE(kit.focused(), focus);
        QVERIFY(kit.applyEnabled());
        QCOMPARE(kit.table().state(), CardTable::State::Insert);
    });
}

void TestEntryForm::categoryDateRule_data()
{
    const QDate today(2017, 3, 15);
    const QString rule = u"Неправильная дата присвоения категории!"_s;
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("error");
    QTest::newRow("today") << today.toString("dd.MM.yyyy") << "";
    QTest::newRow("fifty years back") << today.addDays(-18250).toString("dd.MM.yyyy") << "";
    QTest::newRow("tomorrow") << today.addDays(1).toString("dd.MM.yyyy") << rule;
    QTest::newRow("a day too early") << today.addDays(-18251).toString("dd.MM.yyyy") << rule;
    QTest::newRow("emptied") << ""
                             << "";
    QTest::newRow("no date") << "31.02.2017"
                             << "''31.02.2017'' - неверная дата.";
}

void TestEntryForm::categoryDateRule()
{
    QFETCH(QString, typed);
    QFETCH(QString, error);
    EntryFormKit kit;
    addCard(kit.table(), 1, 404, u"А"_s);
    kit.change(F::CATDATE, u"01.01.2010"_s);
    kit.run(false, [&] {
        kit.type("DBDateEdit2", typed.isEmpty() ? u"\b"_s : typed);
        if (!error.isEmpty())
            kit.dialogs.expectMessage();
        kit.click("btnApply");
        QCOMPARE(kit.asked(), error.isEmpty() ? QStringList() : QStringList{error});
        QCOMPARE(kit.applyEnabled(), !error.isEmpty());
        if (!error.isEmpty())
            QCOMPARE(kit.focused(), error.startsWith("''") ? "DBDateEdit2" : "btnApply");
    });
    QCOMPARE(kit.value(F::CATDATE), error.isEmpty() ? typed : u"01.01.2010"_s);
}

void TestEntryForm::couplingOfFollowingNewCards_data()
{
    QTest::addColumn<QString>("rememberedType");
    QTest::addColumn<QString>("rememberedPodkom");
    QTest::addColumn<int>("firstType");
    QTest::addColumn<QString>("typed");  // chooses the subcommission of the first card
    QTest::addColumn<int>("chosen");     // the subcommission it chooses
    QTest::addColumn<int>("chosenType"); // the card type of the first and the next card
    QTest::newRow("doctors") << ""
                             << "" << 0 << "(в" << 401 << 1;
    QTest::newRow("mid-level") << ""
                               << "" << 0 << "(с" << 410 << 2;
    // The first card takes what is remembered as it is, also a subcommission not in the list.
    QTest::newRow("remembered as is") << "1"
                                      << "601" << 1 << "(в" << 401 << 1;
}

void TestEntryForm::couplingOfFollowingNewCards()
{
    QFETCH(QString, rememberedType);
    QFETCH(QString, rememberedPodkom);
    QFETCH(int, firstType);
    QFETCH(QString, typed);
    QFETCH(int, chosen);
    QFETCH(int, chosenType);
    EntryFormKit kit;
    DM1->defaults().setValue(u"@FTYPE"_s, rememberedType);
    DM1->defaults().setValue(u"@PODKOM"_s, rememberedPodkom);
    kit.run(true, [&] {
        QCOMPARE(kit.table().field(F::FTYPE).asInteger(), firstType);
        QCOMPARE(kit.value(F::PODKOM), rememberedPodkom);
        QCOMPARE(kit.w("cbSPECvr")->isVisible(), firstType == 1);
        QCOMPARE(kit.focused(), u"lcbPODKOM"_s);
        typeKeys(QApplication::focusWidget(), typed);
        QCOMPARE(kit.value(F::PODKOM), QString::number(chosen));
        // The entries typing passes ("(" is a doctors' group) leave the card type alone; the
        // entry chosen on leaving sets it.
        QCOMPARE(kit.table().field(F::FTYPE).asInteger(), firstType);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(kit.table().field(F::FTYPE).asInteger(), chosenType);
        fillRequired(kit, CardFields::StoredCount, F::FAM);
        kit.set(F::SPEC, chosenType == 1 ? u"2011.27"_s : u"2011.103"_s);
        kit.click("btnNext");
        QCOMPARE(kit.table().totalCount(), 1);
        QCOMPARE(kit.value(F::PODKOM), QString::number(chosen));
        QCOMPARE(kit.table().field(F::FTYPE).asInteger(), chosenType);
        QCOMPARE(kit.w("cbSPECvr")->isVisible(), chosenType == 1);
        QCOMPARE(kit.focused(), u"DBEdit2"_s);
        kit.dialogs.expectMessage(Answer::No);
        kit.click("btnExit");
        kit.asked();
    });
    QCOMPARE(kit.table().totalCount(), 1);
}

void TestEntryForm::workplaceDefaultOnlyFromVisibleList_data()
{
    QTest::addColumn<bool>("education");
    QTest::addColumn<QString>("remembered");
    QTest::addColumn<bool>("applied");
    QTest::newRow("normal, own") << false << "84\t" << true;
    QTest::newRow("normal, other variant's") << false << "600001" << false;
    QTest::newRow("education, own") << true << "600001" << true;
    QTest::newRow("education, other variant's") << true << "84\t" << false;
}

void TestEntryForm::workplaceDefaultOnlyFromVisibleList()
{
    QFETCH(bool, education);
    QFETCH(QString, remembered);
    QFETCH(bool, applied);
    EntryFormKit kit(education ? Variant::EducationSocial : Variant::Normal);
    DM1->defaults().setValue(u"@LPU"_s, remembered);
    DM1->defaults().setValue(u"@JOB"_s, u"хирургия"_s);
    kit.run(true, [&] {
        QCOMPARE(kit.w("cbLPU_ObrSoc")->isVisible(), education);
        QCOMPARE(kit.w("cbLPU")->isVisible(), !education);
        QCOMPARE(kit.value(F::LPU), applied ? remembered : QString());
        QCOMPARE(kit.value(F::JOB), u"хирургия"_s);
        kit.set(F::LPU, QString()); // remembering the empty workplace forgets it
        kit.dialogs.expectMessage();
        kit.click("btnLPU");
        QCOMPARE(kit.asked(), QStringList{u"Учреждение \"\" запомнено как место работы по "
                                          u"умолчанию."_s});
    });
    QCOMPARE(DM1->defaults().lines(), QStringList{u"@JOB=хирургия"_s});
}

void TestEntryForm::failedSaveThenSecondApplySavesAgain()
{
    // A card stored whose save failed is not in its file: a second Apply saves again, and says
    // so again while the save still fails, rather than report a success that is none.
    EntryFormKit kit;
    addCard(kit.table(), 1, 404, u"А"_s);
    addCard(kit.table(), 1, 404, u"Старая"_s, u"999"_s); // a position no longer in the list
    kit.table().first();
    kit.saveMeeting();
    const QString refused = u"Для \"Старая\" нужно выбрать должность из нового перечня!"_s;
    kit.run(false, [&] {
        kit.type("DBEdit8", u"1"_s);
        kit.dialogs.expectMessage();
        kit.click("btnApply");
        QCOMPARE(kit.asked(), QStringList{refused});
        QVERIFY(kit.applyEnabled());
        kit.dialogs.expectMessage();
        kit.click("btnApply");
        QCOMPARE(kit.asked(), QStringList{refused});
        QVERIFY(kit.applyEnabled());
        // The card shown is unchanged: the clerk moves on to the refused card unhindered.
        kit.click("btnNext");
        QCOMPARE(kit.asked(), QStringList());
        QCOMPARE(kit.form->windowTitle(), u"Старая X X"_s);
    });
    kit.table().first();
    QCOMPARE(kit.value(F::CATNUM), u"1"_s);
    QVERIFY(!kit.savedSurnames(F::CATNUM).contains(u"А=1"_s));

    // The disk full at the first save, room again at the second Apply: the card is written.
    kit.table().last();
    kit.table().deleteCurrent(); // the old card goes: every save could succeed now
    kit.run(false, [&] {
        kit.type("DBEdit8", u"2"_s);
        {
            Failures::InjectFault full(FileSystem::Step::Write, 1, Failures::Fault::DiskFull);
            kit.dialogs.expectMessage();
            kit.click("btnApply");
        }
        QCOMPARE(kit.asked(), QStringList{u"Диск полон."_s});
        kit.click("btnApply");
        QCOMPARE(kit.asked(), QStringList());
        QVERIFY(!kit.applyEnabled());
    });
    QCOMPARE(kit.savedSurnames(F::CATNUM), QStringList{u"А=2"_s});
}

void TestEntryForm::leavingNameBoxes_data()
{
    QTest::addColumn<QString>("typedSurname"); // empty: tabbed through unchanged
    QTest::addColumn<QString>("surname");
    QTest::addColumn<QString>("surnameKomu");
    QTest::addColumn<bool>("byApply"); // Alt+М with the focus still in the box, not Tab
    QTest::newRow("tabbed through") << ""
                                    << "ИВАНОВА"
                                    << "ИВАНОВОЙ" << false;
    QTest::newRow("changed, in lower case") << "петрова"
                                            << "ПЕТРОВА"
                                            << "ПЕТРОВА" << false;
    QTest::newRow("emptied") << "\b"
                             << ""
                             << "" << false;
    QTest::newRow("changed, then Alt+М") << "петровская"
                                         << "ПЕТРОВСКАЯ"
                                         << "ПЕТРОВСКАЯ" << true;
}

void TestEntryForm::leavingNameBoxes()
{
    QFETCH(QString, typedSurname);
    QFETCH(QString, surname);
    QFETCH(QString, surnameKomu);
    QFETCH(bool, byApply);
    EntryFormKit kit;
    addCard(kit.table(), 1, 404, u"ИВАНОВА"_s);
    kit.run(false, [&] {
        // Tabbing through an unchanged surname starts editing all the same.
        kit.focus("DBEdit2");
        kit.tab();
        QVERIFY(kit.applyEnabled());
        // The clerk corrects the "(кому)" form, goes back and leaves the surname.
        kit.type("DBEdit22", u"ивановой"_s);
        kit.focus("DBEdit2");
        if (!typedSurname.isEmpty())
            kit.type("DBEdit2", typedSurname);
        if (byApply)
            for (const auto action : {QTest::Press, QTest::Release})
                QTest::sendKeyEvent(action, kit.w("DBEdit2"), Qt::Key(u'М'), u"м"_s,
                                    Qt::AltModifier);
        else
            kit.tab();
        QCOMPARE(kit.focused(), byApply ? u"DBEdit2"_s : u"DBEdit3"_s);
        QCOMPARE(kit.value(F::FAM), surname);
        QCOMPARE(kit.value(F::FAM2), surnameKomu);
        QCOMPARE(kit.w<QLineEdit>("DBEdit22")->text(), surnameKomu);
    });
}

void TestEntryForm::keyboardOnly()
{
    EntryFormKit kit;
    addCard(kit.table(), 1, 404, u"А"_s);
    kit.run(false, [&] {
        const QStringList order = QString("lcbPODKOM DBEdit2 DBEdit3 DBEdit4 DBEdit22 DBEdit23 "
                                          "DBEdit24 cbSPECvr cbLPU btnLPU DBEdit21 btnJOB "
                                          "DBComboBoxEh4 DBComboBoxEh3 DBDateEdit2 DBEdit8 "
                                          "DBComboBoxEh6 DBComboBoxEh1 btnPrior btnNext btnExit")
                                      .split(' ');
        QStringList seen = {kit.focused()};
        while (seen.size() < order.size()) {
            kit.tab();
            seen << kit.focused();
        }
        QCOMPARE(seen, order);
        // Esc and Enter in a box neither close nor apply; Alt+Х asks.
        kit.type("DBEdit8", u"5"_s);
        for (const auto key : {Qt::Key_Escape, Qt::Key_Return})
            QTest::keyClick(kit.w("DBEdit8"), key);
        QVERIFY(kit.form->isVisible() && kit.applyEnabled());
        const auto alt = [&](char16_t letter) {
            const QString text(QChar{letter});
            for (const auto action : {QTest::Press, QTest::Release})
                QTest::sendKeyEvent(action, kit.w("DBEdit8"),
                                    Qt::Key(QChar(letter).toUpper().unicode()), text,
                                    Qt::AltModifier);
        };
        // An access key presses its button at once, before any key typed after it.
        kit.dialogs.expectMessage(Answer::Cancel);
        alt(u'х');
        QCOMPARE(kit.dialogs.pending(), 0);
        QVERIFY(kit.form->isVisible());
        alt(u'м');
        QVERIFY(!kit.applyEnabled());
        kit.type("DBEdit8", u"6"_s);
        kit.dialogs.expectMessage(Answer::Yes);
        alt(u'х');
        QVERIFY(!kit.form->isVisible());
        QCOMPARE(kit.asked().size(), 2);
    });
    QCOMPARE(kit.value(F::CATNUM), u"6"_s);
}

void TestEntryForm::layoutLeavesNothingClipped()
{
    EntryFormKit kit;
    const auto children = kit.form->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget *child : children) {
        QVERIFY2(kit.form->rect().contains(child->geometry()), qPrintable(child->objectName()));
        auto *label = qobject_cast<QLabel *>(child);
        if (!label)
            continue;
        QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
        for (QWidget *other : children) {
            if (other != child &&
                !QStringList{"cbSPECsr", "cbLPU_ObrSoc"}.contains(other->objectName()))
                QVERIFY2(!child->geometry().intersects(other->geometry()),
                         qPrintable(label->text() + " / " + other->objectName()));
        }
        QCOMPARE(label->buddy()->accessibleName(), label->text().remove('&'));
    }
}

QTEST_MAIN(TestEntryForm)
#include "tst_entryform.moc"
