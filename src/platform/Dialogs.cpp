#include "platform/Dialogs.h"

namespace {

class SilentDialogs final : public Dialogs
{
public:
    Answer message(const QString &, const QString &, Icon, Buttons buttons) override
    {
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
    bool inputText(const QString &, const QString &, QString &, int) override { return false; }
    bool chooseFolder(const QString &, QString &) override { return false; }
};

SilentDialogs g_silent;
Dialogs *g_installed = nullptr;

} // namespace

void Dialogs::error(const QString &caption, const QString &text)
{
    message(caption, text, Icon::Error, Buttons::Ok);
}

void Dialogs::warning(const QString &caption, const QString &text)
{
    message(caption, text, Icon::Warning, Buttons::Ok);
}

void Dialogs::information(const QString &text)
{
    message(QStringLiteral("Сообщение"), text, Icon::Information, Buttons::Ok);
}

Dialogs::Answer Dialogs::question(const QString &text, Buttons buttons, const QString &caption)
{
    return message(caption.isEmpty() ? QStringLiteral("Запрос") : caption, text, Icon::Question,
                   buttons);
}

Dialogs &Dialogs::instance()
{
    return g_installed ? *g_installed : static_cast<Dialogs &>(g_silent);
}

void Dialogs::install(Dialogs *dialogs)
{
    g_installed = dialogs;
}

Dialogs::Silenced::Silenced() : m_installed(g_installed)
{
    g_installed = nullptr;
}

Dialogs::Silenced::~Silenced()
{
    g_installed = m_installed;
}
