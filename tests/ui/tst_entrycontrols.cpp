// The bound boxes on their own: what they show of the current card, what they store of what
// is typed, and what they refuse.
#include "EntryFormKit.h"

#include "data/ReferenceLists.h"
#include "ui/controls/CalendarPopup.h"
#include "ui/controls/FieldComboBox.h"
#include "ui/controls/FieldDateEdit.h"
#include "ui/controls/FieldLineEdit.h"

#include <QCalendarWidget>
#include <QTextCharFormat>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using F = CardFields::Index;

class TestEntryControls : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestEnvironment::isolateHome(); }
    void init();
    void cleanup() { delete window; }
    void textBox_data();
    void textBox();
    void listBox();
    void dateBox_data();
    void dateBox();
    void dateBoxRefusesLeavingWithNoDate();

private:
    // One box of each kind over a table with one card, in an active window.
    CardTable table;
    ScriptedDialogs dialogs;
    QWidget *window = nullptr;
    FieldLineEdit *name = nullptr;
    FieldLineEdit *number = nullptr;
    FieldComboBox *held = nullptr;
    FieldDateEdit *date = nullptr;
};

void TestEntryControls::init()
{
    table.empty();
    addCard(table, 1, 404, u"ИВАНОВА"_s);
    window = new QWidget;
    auto *layout = new QVBoxLayout(window);
    layout->addWidget(name = new FieldLineEdit(F::FAM));
    layout->addWidget(number = new FieldLineEdit(F::CATNUM));
    layout->addWidget(held = new FieldComboBox(F::CAT));
    layout->addWidget(date = new FieldDateEdit(F::CATDATE));
    name->setUpperCase(true);
    held->setFieldList(&ReferenceLists::categories());
    name->bind(&table);
    number->bind(&table);
    held->bind(&table);
    date->bind(&table);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

void TestEntryControls::textBox_data()
{
    QTest::addColumn<bool>("upper");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("hasValue");
    QTest::newRow("capitals") << true << "ёлкина-Smith"
                              << "ЁЛКИНА-SMITH" << true;
    QTest::newRow("a character 1251 lacks is refused") << true << "АБ\u01c4В"
                                                       << "АБВ" << true;
    QTest::newRow("signs 1251 holds") << false << "№ 5 €"
                                      << "№ 5 €" << true;
    QTest::newRow("emptied: no value") << true << "А\b"
                                       << "" << false;
    QTest::newRow("only blanks: no value") << false << "   "
                                           << "   " << false;
}

void TestEntryControls::textBox()
{
    QFETCH(bool, upper);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, hasValue);
    FieldLineEdit *box = upper ? name : number;
    box->setFocus();
    box->selectAll();
    typeKeys(box, typed);
    QCOMPARE(box->text(), shown);
    QCOMPARE(table.state(), CardTable::State::Edit);
    const CardField field = table.field(box->fieldIndex());
    QCOMPARE(field.hasValue(), hasValue);
    QCOMPARE(field.asString(), shown.trimmed());
    QCOMPARE(box->maxLength(), field.size());
}

void TestEntryControls::listBox()
{
    table.edit();
    table.field(F::CAT).setAsString(u"выс"_s); // letter case ignored
    QCOMPARE(held->currentText(), u"ВЫСШАЯ КАТЕГОРИЯ"_s);
    table.field(F::CAT).setAsString(u"9"_s);
    QCOMPARE(held->currentText(), QString());
    table.cancel();
    // Typed with the focus on the box, as after Tab; Delete empties a field that may be empty.
    held->setFocus(Qt::TabFocusReason);
    typeKeys(QApplication::focusWidget(), u"вы"_s);
    QCOMPARE(held->lineEdit()->selectedText(), u"СШАЯ КАТЕГОРИЯ"_s);
    QCOMPARE(table.field(F::CAT).asString(), u"ВЫС"_s);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    QVERIFY(!table.field(F::CAT).hasValue());
}

void TestEntryControls::dateBox_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");
    QTest::newRow("short form") << "12.04.2012" << QDate(2012, 4, 12);
    QTest::newRow("without leading zeros") << "1.2.2012" << QDate(2012, 2, 1);
    QTest::newRow("no such day") << "29.02.2017" << QDate();
    QTest::newRow("two-digit year, this century") << "15.03.20" << QDate(2020, 3, 15);
    QTest::newRow("two-digit year, the last") << "1.2.45" << QDate(1945, 2, 1);
    QTest::newRow("eight digits") << "15032020" << QDate(2020, 3, 15);
    QTest::newRow("six digits") << "150329" << QDate(2029, 3, 15);
    QTest::newRow("slashes") << "15/03/2020" << QDate(2020, 3, 15);
    QTest::newRow("dashes") << "15-03-2020" << QDate(2020, 3, 15);
    QTest::newRow("no such day, no dots") << "31022020" << QDate();
    QTest::newRow("letters are not typed") << "12.04.2012г" << QDate(2012, 4, 12);
}

void TestEntryControls::dateBox()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    this->date->setFocus();
    typeKeys(this->date, text);
    QCOMPARE(this->date->isAcceptable(), date.isValid());
    QCOMPARE(table.field(F::CATDATE).asDate(), date);
    if (!date.isValid())
        return;
    QTest::keyClick(this->date, Qt::Key_Tab);
    QCOMPARE(this->date->text(), date.toString(u"dd.MM.yyyy"_s));
}

void TestEntryControls::dateBoxRefusesLeavingWithNoDate()
{
    date->setFocus();
    typeKeys(date, u"12.13"_s);
    dialogs.expectMessage();
    QTest::keyClick(date, Qt::Key_Tab);
    QVERIFY(date->hasFocus());
    QCOMPARE(dialogs.log().value(0).text, u"''12.13'' - неверная дата."_s);
    // Clicked away: the focus comes back once it has settled, with the same refusal.
    dialogs.expectMessage();
    QTest::mouseClick(number, Qt::LeftButton);
    QTRY_VERIFY(date->hasFocus());
    QCOMPARE(dialogs.log().size(), 2);
    dialogs.verifyDone();
    table.cancel(); // the card without a date comes back: so does the empty box
    QCOMPARE(date->text(), QString());
    // The calendar chooses a day; Saturday and Sunday are marked.
    QTest::keyClick(date, Qt::Key_F4);
    QCalendarWidget *calendar = date->calendarPopup()->calendar();
    QCOMPARE(calendar->weekdayTextFormat(Qt::Sunday).foreground().color(), QColor(Qt::red));
    emit calendar->activated(QDate(2016, 5, 7));
    QCOMPARE(date->text(), u"07.05.2016"_s);
    QCOMPARE(table.field(F::CATDATE).asDate(), QDate(2016, 5, 7));
    QTest::keyClick(date, Qt::Key_Tab);
    QVERIFY(!date->hasFocus());
}

QTEST_MAIN(TestEntryControls)
#include "tst_entrycontrols.moc"
