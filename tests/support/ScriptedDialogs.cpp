#include "support/ScriptedDialogs.h"

#include <QTest>

ScriptedDialogs::ScriptedDialogs()
{
    Dialogs::install(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    Dialogs::install(nullptr);
    if (!m_queue.isEmpty())
        qWarning("ScriptedDialogs: %d queued answer(s) never used", int(m_queue.size()));
}

void ScriptedDialogs::expectMessage(Answer answer)
{
    m_queue.append({QStringLiteral("message"), answer, false, QString()});
}

void ScriptedDialogs::expectInput(bool accepted, const QString &text)
{
    m_queue.append({QStringLiteral("input"), Answer::Ok, accepted, text});
}

void ScriptedDialogs::expectFolder(bool accepted, const QString &folder)
{
    m_queue.append({QStringLiteral("folder"), Answer::Ok, accepted, folder});
}

void ScriptedDialogs::verifyDone()
{
    const int left = int(m_queue.size());
    m_queue.clear();
    m_log.clear();
    QCOMPARE_EQ(left, 0);
}

ScriptedDialogs::Reply ScriptedDialogs::take(const Box &box)
{
    m_log.append(box);
    if (m_queue.isEmpty() || m_queue.first().kind != box.kind) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected %1 box \"%2\": %3")
                                    .arg(box.kind, box.caption, box.text)),
                     __FILE__, __LINE__);
        return {box.kind, Answer::Cancel, false, QString()};
    }
    return m_queue.takeFirst();
}

Dialogs::Answer ScriptedDialogs::message(const QString &caption, const QString &text, Icon icon,
                                         Buttons buttons)
{
    return take({QStringLiteral("message"), caption, text, icon, buttons}).answer;
}

Dialogs::Answer ScriptedDialogs::cautiousQuestion(const QString &caption, const QString &text,
                                                  Icon icon, Buttons buttons,
                                                  const QRect &keepClear)
{
    return take({QStringLiteral("message"), caption, text, icon, buttons, QString(), 0, true,
                 keepClear})
        .answer;
}

bool ScriptedDialogs::inputText(const QString &caption, const QString &prompt, QString &value,
                                int maxLength)
{
    const Reply r = take({QStringLiteral("input"), caption, prompt, Icon::Question,
                          Buttons::OkCancel, value, maxLength});
    if (r.accepted)
        value = r.text;
    return r.accepted;
}

bool ScriptedDialogs::chooseFolder(const QString &caption, QString &folder)
{
    const Reply r =
        take({QStringLiteral("folder"), caption, folder, Icon::Question, Buttons::OkCancel});
    if (r.accepted)
        folder = r.text;
    return r.accepted;
}
