#include "ui/main/MeetingList.h"

#include "app/AppTitle.h"
#include "app/CommandGuard.h"
#include "data/MeetingFiles.h"
#include "data/MeetingHistory.h"
#include "data/TDM1.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/QorError.h"
#include "ui/history/HistoryDialog.h"
#include "ui/main/DataModule.h"
#include "ui/main/MeetingName.h"

#include <QComboBox>
#include <QDir>

MeetingList::MeetingList(QComboBox *cbKom, const QString &folder, QObject *parent)
    : QObject(parent), m_cbKom(cbKom), m_folder(folder)
{}

QStringList MeetingList::names() const
{
    QStringList list;
    for (int i = 0; i < m_cbKom->count(); ++i)
        list.append(m_cbKom->itemText(i));
    return list;
}

void MeetingList::preloadFirst(const QString &folder)
{
    PreloadMeeting(folder, ListMeetings(folder).value(0));
}

void MeetingList::fill()
{
    const QStringList meetings = ListMeetings(m_folder);
    m_cbKom->clear();
    m_cbKom->addItems(meetings);
    m_cbKom->setCurrentIndex(meetings.isEmpty() ? -1 : 0);
}

void MeetingList::openSelected()
{
    // Files no meeting can be made of are named, not passed over in silence.
    const QStringList unnamed =
        FileSystem::namesOutsideSystemEncoding(m_folder, QStringLiteral(".dat"));
    if (!unnamed.isEmpty())
        Dialogs::instance().warning(
            applicationTitle(),
            QStringLiteral("Файлы заседаний, имена которых записаны не в кодировке системы "
                           "(так их сохраняет архиватор Windows), не открываются и не показаны в "
                           "списке: %1.\r\nПереименуйте их, например командой «convmv -f cp1251 "
                           "-t utf8 --notest *.dat» в папке программы.")
                .arg(unnamed.join(QStringLiteral(", "))));
    cbKomChange();
}

void MeetingList::cbKomChange()
{
    if (!mayLeave()) {
        m_cbKom->setCurrentIndex(
            m_cbKom->findText(m_current, Qt::MatchFixedString | Qt::MatchCaseSensitive));
        return;
    }
    m_current = m_cbKom->currentIndex() >= 0 ? m_cbKom->currentText() : QString();
    loadCurrent();
}

void MeetingList::loadCurrent()
{
    // Without the category date rule: a stored card is shown as it is. switched() follows also
    // when the load fails.
    try {
        CardTable &table = dataModule().cdsQor();
        ScopedHandlerDisconnect dateRule(table, CardTable::Handler::BeforePost);
        LoadMeeting(table, m_folder, m_current);
    } catch (...) {
        emit switched();
        throw;
    }
    emit switched();
}

void MeetingList::btnAddClick()
{
    TDM1 &dm = dataModule();
    if (!mayLeave())
        return;
    QString entered = MeetingName::proposed(Clock::now().date());
    if (!Dialogs::instance().inputText(QStringLiteral("Добавить заседание комиссии"),
                                       QStringLiteral("Введите название заседания:"), entered,
                                       MeetingName::kInputMaxLength))
        return;
    const QString name = MeetingName::accept(entered, names());
    m_cbKom->addItem(name);
    m_cbKom->setCurrentIndex(m_cbKom->count() - 1);
    cbKomChange();
    SaveMeeting(dm.cdsQor(), dm.lists(), m_folder, name);
}

void MeetingList::tblDelClick()
{
    const QString name = m_current;
    const QString question = QStringLiteral("Вы уверены, что хотите удалить засединие комиссии "
                                            "\"%1\" вместе со всеми его данными?")
                                 .arg(name);
    if (Dialogs::instance().cautiousQuestion(QStringLiteral("Запрос"), question,
                                             Dialogs::Icon::Question,
                                             Dialogs::Buttons::OkCancel) != Dialogs::Answer::Ok)
        return;
    if (!removeMeetingFile(name))
        throw QorError(QStringLiteral("Не удалось удалить файл \"%1.dat\"!").arg(name));
    dataModule().dropUnsavedChanges(); // the changes went with their meeting

    m_cbKom->removeItem(m_cbKom->currentIndex());
    if (m_cbKom->count() == 0) {
        m_current.clear();
        LoadMeeting(dataModule().cdsQor(), m_folder, m_current);
    }
    m_cbKom->setCurrentIndex(m_cbKom->count() > 0 ? 0 : -1);
    cbKomChange();
}

bool MeetingList::removeMeetingFile(const QString &name) const
{
    if (name.isEmpty()) // no meeting: never the file ".dat"
        return false;
    const QString file = meetingFilePath(m_folder, name);
    if (!FileSystem::fileExists(file))
        return false;
    // From the trash a meeting deleted by mistake can be put back.
    if (!FileSystem::moveToTrash(file)) {
        try {
            FileSystem::removeFile(file);
        } catch (const QorError &) {
            return false;
        }
    }
    RefusedMeetings::instance().remove(file);
    // Its versions go with it, to be restored beside it; where there is no trash they stay.
    const QString history = MeetingHistory::folderOf(m_folder, name);
    if (FileSystem::anythingExists(history))
        FileSystem::moveToTrash(QDir::cleanPath(history));
    return true;
}

void MeetingList::showHistory(QWidget *parent)
{
    if (m_current.isEmpty())
        throw QorError(QStringLiteral("Сначала добавьте заседание!"));
    HistoryDialog dialog(m_current, meetingFilePath(m_folder, m_current),
                         MeetingHistory::folderOf(m_folder, m_current), parent);
    dialog.setRestorer([this](const QString &version) { restoreVersion(version); });
    dialog.exec();
}

void MeetingList::restoreVersion(const QString &versionPath)
{
    if (!mayLeave())
        return;
    const QString file = meetingFilePath(m_folder, m_current);
    MeetingHistory::restore(file, MeetingHistory::folderOf(m_folder, m_current), versionPath);
    loadCurrent();
}

void MeetingList::saveCurrent()
{
    if (m_current.isEmpty())
        return;
    TDM1 &dm = dataModule();
    SaveMeeting(dm.cdsQor(), dm.lists(), m_folder, m_current);
}

bool MeetingList::mayLeave()
{
    TDM1 &dm = dataModule();
    if (!dm.hasUnsavedChanges() || runGuarded([&dm] { dm.saveAgain(); }))
        return true;
    const QString question =
        QStringLiteral("Изменения в заседании \"%1\" не сохранены и будут потеряны. Продолжить?")
            .arg(m_current);
    if (Dialogs::instance().cautiousQuestion(QStringLiteral("Запрос"), question,
                                             Dialogs::Icon::Question,
                                             Dialogs::Buttons::OkCancel) != Dialogs::Answer::Ok)
        return false;
    dm.dropUnsavedChanges();
    return true;
}
