#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

// Every modal box the program shows goes through this interface. The program installs the
// Qt implementation; tests install a scripted one that answers from a queue and logs each box.
class Dialogs
{
public:
    enum class Answer { Ok, Cancel, Yes, No };
    enum class Buttons { Ok, OkCancel, YesNoCancel, YesNo };
    enum class Icon { Error, Warning, Information, Question };

    virtual ~Dialogs() = default;

    // A message box: caption, text, icon and buttons; returns the button pressed
    // (closing the box counts as Cancel, or No where there is no Cancel).
    virtual Answer message(const QString &caption, const QString &text, Icon icon,
                           Buttons buttons) = 0;

    // A message box kept on top of other windows, for a program that has no window of its own
    // left to show it over. By default an ordinary message box.
    virtual Answer messageOnTop(const QString &caption, const QString &text, Icon icon,
                                Buttons buttons)
    {
        return message(caption, text, icon, buttons);
    }

    // A question about something that cannot be undone by the program: its safe answer (Cancel,
    // or No) is the default, so that Enter or Space pressed by habit destroys nothing. Laid where
    // it does not cover keepClear (screen coordinates; empty: anywhere), the row it asks about.
    virtual Answer cautiousQuestion(const QString &caption, const QString &text, Icon icon,
                                    Buttons buttons, const QRect &keepClear = QRect())
    {
        Q_UNUSED(keepClear);
        return message(caption, text, icon, buttons);
    }
    // An input box with one edit line; false when cancelled.
    virtual bool inputText(const QString &caption, const QString &prompt, QString &value,
                           int maxLength) = 0;

    // A folder picker; false when cancelled.
    virtual bool chooseFolder(const QString &caption, QString &folder) = 0;

    // The shortcuts every caller uses.
    void error(const QString &caption, const QString &text);
    void warning(const QString &caption, const QString &text);
    void information(const QString &text);
    Answer question(const QString &text, Buttons buttons, const QString &caption = QString());

    // The process-wide instance. Never null: until one is installed, a silent one answers
    // every box with its default, so that code without a user interface never blocks.
    static Dialogs &instance();
    static void install(Dialogs *dialogs); // not owned; nullptr restores the silent one

    // For its lifetime no box is shown: each is answered by its default, as before one is
    // installed. For reading files whose problems are reported otherwise.
    class Silenced
    {
    public:
        Silenced();
        ~Silenced();
        Silenced(const Silenced &) = delete;
        Silenced &operator=(const Silenced &) = delete;

    private:
        Dialogs *m_installed;
    };
};
