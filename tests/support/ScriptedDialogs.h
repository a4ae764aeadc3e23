#pragma once

#include "platform/Dialogs.h"

#include <QList>
#include <QString>

// Answers the program's boxes from a queue and logs every box asked. A box that no answer was
// queued for is a failure, and so is an answer left unused when the scripted dialogs end.
// Installs itself for its lifetime.
class ScriptedDialogs : public Dialogs
{
public:
    struct Box
    {
        QString kind; // "message", "input", "folder"
        QString caption;
        QString text;
        Icon icon = Icon::Information;
        Buttons buttons = Buttons::Ok;
        QString value = QString(); // what an input box offered
        int maxLength = 0;
        bool cautious = false; // the safe answer is the default
        QRect keepClear = QRect();
    };

    ScriptedDialogs();
    ~ScriptedDialogs() override;

    // Queue the answers, in the order the boxes will be asked.
    void expectMessage(Answer answer = Answer::Ok);
    void expectInput(bool accepted, const QString &text = QString());
    void expectFolder(bool accepted, const QString &folder = QString());

    const QList<Box> &log() const { return m_log; }
    int pending() const { return int(m_queue.size()); }
    // Empties the log and checks that every queued answer was used.
    void verifyDone();

    Answer message(const QString &caption, const QString &text, Icon icon,
                   Buttons buttons) override;
    Answer cautiousQuestion(const QString &caption, const QString &text, Icon icon, Buttons buttons,
                            const QRect &keepClear) override;
    bool inputText(const QString &caption, const QString &prompt, QString &value,
                   int maxLength) override;
    bool chooseFolder(const QString &caption, QString &folder) override;

private:
    struct Reply
    {
        QString kind;
        Answer answer = Answer::Ok;
        bool accepted = false;
        QString text;
    };
    Reply take(const Box &box);

    QList<Reply> m_queue;
    QList<Box> m_log;
};
