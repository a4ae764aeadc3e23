#include "app/settings/WindowState.h"

#include "app/settings/NumberList.h"
#include "app/settings/SettingsStore.h"
#include "platform/QorError.h"

namespace {

const QString kSubKey = QStringLiteral("TfmMain");
const QString kFormVersion = QStringLiteral("FormVersion");
const QString kFlags = QStringLiteral("Flags");
const QString kShowCmd = QStringLiteral("ShowCmd");
const QString kPixelsPerInch = QStringLiteral("PixelsPerInch");
const QString kMinMaxPos = QStringLiteral("MinMaxPos");
const QString kNormPos = QStringLiteral("NormPos");
const QString kVisible = QStringLiteral("Visible");

QString sizedName(const QString &name, const QSize &screen)
{
    return name + QStringLiteral("(%1x%2)").arg(screen.width()).arg(screen.height());
}

// The value under the name with the screen size, or under the plain name when that one is
// missing or empty.
QString readPosition(const SettingReader &read, const QString &name, const QSize &screen)
{
    const QString sized = read(sizedName(name, screen), QString());
    return sized.isEmpty() ? read(name, QString()) : sized;
}

QString boolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

void readBool(const SettingReader &read, const QString &name, bool *value)
{
    const QString text = read(name, boolText(*value));
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        *value = true;
    else if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        *value = false;
}

void readWidth(const SettingReader &read, const QString &name, int *value)
{
    // A width that is not a number keeps the box as it is: a width of 0 would hide it for good,
    // as the next save would store the 0.
    *value = NumberList::toInt(read(name, QString::number(*value)), *value);
}

} // namespace

WindowStateRestore restoreWindowState(const SettingReader &read, const WindowPlacement &current,
                                      const ControlProperties &properties, const ScreenInfo &screen)
{
    WindowStateRestore result;
    result.placement = current;
    result.properties = properties;
    if (NumberList::toInt(read(kFormVersion, QStringLiteral("0")), 0) < 0) {
        result.stopped = true;
        return result;
    }

    // Position.
    WindowPlacement &stored = result.placement;
    stored.flags = NumberList::toInt(read(kFlags, QString::number(current.flags)), current.flags);
    const QString minMaxText = readPosition(read, kMinMaxPos, screen.size);
    const QString normText = readPosition(read, kNormPos, screen.size);
    const auto minMax = NumberList::parse(minMaxText);
    stored.minPosition = QPoint(NumberList::at(minMax, 0, 0), NumberList::at(minMax, 1, 0));
    stored.maxPosition = QPoint(NumberList::at(minMax, 2, 0), NumberList::at(minMax, 3, 0));
    const auto norm = NumberList::parse(normText);
    const WindowRect &now = current.normalRect;
    stored.normalRect = {NumberList::at(norm, 0, now.left), NumberList::at(norm, 1, now.top),
                         NumberList::at(norm, 2, now.right), NumberList::at(norm, 3, now.bottom)};
    if (!minMaxText.isEmpty() || !normText.isEmpty()) {
        const QString ppiText = read(kPixelsPerInch, QString::number(screen.pixelsPerInch));
        const int ppi = NumberList::toInt(ppiText, screen.pixelsPerInch);
        result.applyPlacement =
            ppi == screen.pixelsPerInch && stored.normalRect.left < stored.normalRect.right;
    }
    if (result.applyPlacement)
        result.movedOntoScreen = fitOntoScreens(&stored.normalRect, screen.available);
    else
        result.placement = current;

    // State.
    switch (NumberList::toInt(read(kShowCmd, QStringLiteral("0")), 0)) {
    case 2:
    case 6:
    case 7:
        result.showState = WindowShowState::MinimizeApplication;
        break;
    case 3:
        result.showState = WindowShowState::Maximized;
        break;
    default:
        result.showState = WindowShowState::Normal;
        break;
    }

    // Properties: a failure here ends the restore without a message.
    ControlProperties &p = result.properties;
    try {
        readBool(read, QStringLiteral("aStatusBar_Checked"), &p.aStatusBarChecked);
        readBool(read, QStringLiteral("aToolBar_Checked"), &p.aToolBarChecked);
        readBool(read, QStringLiteral("StatusBar_Visible"), &p.statusBarVisible);
        readBool(read, QStringLiteral("ToolBar1_Visible"), &p.toolBar1Visible);
        readWidth(read, QStringLiteral("lcbFTYPE_Width"), &p.lcbFTYPEWidth);
        readWidth(read, QStringLiteral("lcbPODKOM_Width"), &p.lcbPODKOMWidth);
    } catch (const QorError &) {
        result.propertiesComplete = false;
    }
    return result;
}

WindowStateRestore restoreWindowState(SettingsStore &store, const WindowPlacement &current,
                                      const ControlProperties &properties, const ScreenInfo &screen)
{
    const SettingReader read = [&store](const QString &name, const QString &def) {
        return store.ReadSetting(SettingsStore::settingsKeyPath(), kSubKey, name, def);
    };
    return restoreWindowState(read, current, properties, screen);
}

QList<QPair<QString, QString>> windowStateValues(const WindowPlacement &placement,
                                                 bool applicationMinimized,
                                                 const ControlProperties &properties,
                                                 const ScreenInfo &screen,
                                                 WindowStateSaveMoment moment)
{
    const int showCmd = applicationMinimized ? int(ShowMinimized) : placement.showCmd;
    const QString minMax =
        NumberList::format({placement.minPosition.x(), placement.minPosition.y(),
                            placement.maxPosition.x(), placement.maxPosition.y()});
    const WindowRect &r = placement.normalRect;
    const QString norm = NumberList::format({r.left, r.top, r.right, r.bottom});
    const bool atDestruction = moment == WindowStateSaveMoment::Destruction;
    return {
        {kFormVersion, QStringLiteral("0")},
        {kFlags, QString::number(placement.flags)},
        {kShowCmd, QString::number(showCmd)},
        {kPixelsPerInch, QString::number(screen.pixelsPerInch)},
        {kMinMaxPos, minMax},
        {sizedName(kMinMaxPos, screen.size), minMax},
        {kNormPos, norm},
        {sizedName(kNormPos, screen.size), norm},
        {kVisible, atDestruction ? QStringLiteral("1") : QStringLiteral("0")},
        {QStringLiteral("aStatusBar_Checked"), boolText(properties.aStatusBarChecked)},
        {QStringLiteral("aToolBar_Checked"), boolText(properties.aToolBarChecked)},
        {QStringLiteral("StatusBar_Visible"), boolText(properties.statusBarVisible)},
        {QStringLiteral("ToolBar1_Visible"), boolText(properties.toolBar1Visible)},
        {QStringLiteral("lcbFTYPE_Width"), QString::number(properties.lcbFTYPEWidth)},
        {QStringLiteral("lcbPODKOM_Width"), QString::number(properties.lcbPODKOMWidth)},
    };
}

void saveWindowState(SettingsStore &store, const WindowPlacement &placement,
                     bool applicationMinimized, const ControlProperties &properties,
                     const ScreenInfo &screen, WindowStateSaveMoment moment)
{
    store.writeSettings(
        SettingsStore::settingsKeyPath(), kSubKey,
        windowStateValues(placement, applicationMinimized, properties, screen, moment));
}
