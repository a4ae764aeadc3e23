#pragma once

// The entry form on a meeting of a temporary program folder, driven as a clerk drives it: by
// objectName, offscreen, with scripted boxes and a fixed clock.
#include "data/CardTestData.h"
#include "data/MeetingFiles.h"
#include "data/TDM1.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"
#include "ui/entry/TfmVvod.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

// Types text into widget key by key, Cyrillic included ("\b" is Backspace).
inline void typeKeys(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c == u'\b') {
            QTest::keyClick(widget, Qt::Key_Backspace);
            continue;
        }
        const auto key = Qt::Key(c.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Press, widget, key, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, key, QString(c), Qt::NoModifier);
    }
}

class EntryFormKit
{
public:
    explicit EntryFormKit(Variant variant = Variant::Normal)
        : clock(QDateTime(QDate(2017, 3, 15), QTime(14, 30)))
    {
        DM1 = new TDM1;
        DM1->setVariant(variant);
        form = new TfmVvod;
    }
    ~EntryFormKit()
    {
        delete form;
        delete DM1;
        DM1 = nullptr;
    }

    CardTable &table() { return DM1->cdsQor(); }
    QString value(int field) { return table().field(field).asString(); }
    void set(int field, const QString &text) { table().field(field).setAsString(text); }
    // Changes a field of the current card and posts it.
    void change(int field, const QString &text)
    {
        table().edit();
        set(field, text);
        table().post();
    }

    // From now on every post and delete saves the meeting; saves counts them.
    void saveMeeting()
    {
        DM1->setSaveAction([this] {
            SaveMeeting(table(), DM1->lists(), folder.path() + u'/', QStringLiteral("М"));
            ++saves;
        });
    }
    // The cards of the meeting file, by surname, in file order.
    QStringList savedSurnames(int field = CardFields::FAM)
    {
        CardTable saved;
        LoadMeeting(saved, folder.path() + u'/', QStringLiteral("М"));
        QStringList out;
        for (int row = 0; row < saved.count(); ++row)
            out << saved.text(row, CardFields::FAM) + u'=' + saved.text(row, field);
        return out;
    }

    template <typename T = QWidget> T *w(const char *name)
    {
        return form->findChild<T *>(QString::fromLatin1(name));
    }
    QString focused() const
    {
        QWidget *f = QApplication::focusWidget();
        // A list box has its edit line focused; the box is what the form knows.
        while (f && f->objectName().isEmpty())
            f = f->parentWidget();
        return f ? f->objectName() : QString();
    }
    void click(const char *button) { QTest::mouseClick(w<QPushButton>(button), Qt::LeftButton); }
    void focus(const char *name) { w(name)->setFocus(Qt::MouseFocusReason); }
    void type(const char *name, const QString &text)
    {
        focus(name);
        if (auto *edit = w<QLineEdit>(name))
            edit->selectAll();
        typeKeys(QApplication::focusWidget(), text);
    }
    void tab(Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, mods);
    }
    bool applyEnabled() { return w<QPushButton>("btnApply")->isEnabled(); }
    // The texts of the boxes asked since the last call.
    QStringList asked()
    {
        QStringList out;
        for (const ScriptedDialogs::Box &box : dialogs.log())
            out << box.text;
        dialogs.verifyDone();
        return out;
    }

    // Opens the form and runs script inside its modal loop once it is active. A script that
    // leaves the form open (a failed check) closes it without asking.
    void run(bool newCard, const std::function<void()> &script)
    {
        bool ran = false;
        QTimer::singleShot(0, form, [&] {
            if (QTest::qWaitForWindowActive(form))
                script();
            ran = true;
            if (form->isVisible())
                form->done(QDialog::Rejected);
        });
        form->openCard(newCard);
        QVERIFY(ran);
    }

    TestEnvironment::FixedClock clock;
    ScriptedDialogs dialogs;
    QTemporaryDir folder;
    TfmVvod *form;
    int saves = 0;
};
