#include "app/settings/SettingsStore.h"
#include "app/settings/WindowState.h"
#include "platform/IniRegistry.h"
#include "platform/QorError.h"
#include "support/TestEnvironment.h"

#include <QHash>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(WindowShowState)
Q_DECLARE_METATYPE(WindowRect)

char *toString(const WindowRect &r)
{
    return QTest::toString(
        QStringLiteral("{%1,%2,%3,%4}").arg(r.left).arg(r.top).arg(r.right).arg(r.bottom));
}

namespace {

using Values = QHash<QString, QString>;

// A store of "TfmMain" values that records what was read.
struct FakeValues
{
    Values values;
    QStringList read;
    QString failOn;

    SettingReader reader()
    {
        return [this](const QString &name, const QString &def) {
            read.append(name);
            if (name == failOn)
                throw QorError("fail");
            return values.value(name, def);
        };
    }
};

WindowPlacement designed()
{
    WindowPlacement p;
    p.normalRect = {200, 150, 1000, 750};
    return p;
}

ScreenInfo screen(int width = 1920, int height = 1080, int ppi = 96)
{
    ScreenInfo s;
    s.size = QSize(width, height);
    s.pixelsPerInch = ppi;
    s.available = {QRect(0, 0, width, height - 40)};
    return s;
}

} // namespace

class TstWindowState : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestEnvironment::isolateHome(); }

    void screenSizeNamesPreferred_data()
    {
        QTest::addColumn<Values>("stored");
        QTest::addColumn<QSize>("screenSize");
        QTest::addColumn<WindowRect>("expected");
        const Values both = {{"NormPos(1920x1080)", "10,20,810,620"}, {"NormPos", "30,40,530,440"}};
        QTest::newRow("same screen size")
            << both << QSize(1920, 1080) << WindowRect{10, 20, 810, 620};
        QTest::newRow("other screen size")
            << both << QSize(1280, 1024) << WindowRect{30, 40, 530, 440};
        QTest::newRow("sized name empty")
            << Values{{"NormPos(1920x1080)", ""}, {"NormPos", "30,40,530,440"}} << QSize(1920, 1080)
            << WindowRect{30, 40, 530, 440};
        QTest::newRow("spaces and commas") << Values{{"NormPos", "30 40,,530  440"}}
                                           << QSize(1920, 1080) << WindowRect{30, 40, 530, 440};
        QTest::newRow("missing and bad numbers keep current")
            << Values{{"NormPos", "30,x40,530"}} << QSize(1920, 1080)
            << WindowRect{30, 150, 530, 750};
        QTest::newRow("only MinMaxPos found")
            << Values{{"MinMaxPos", "-1,-1,-8,-8"}} << QSize(1920, 1080) << designed().normalRect;
    }
    void screenSizeNamesPreferred()
    {
        QFETCH(Values, stored);
        QFETCH(QSize, screenSize);
        QFETCH(WindowRect, expected);
        FakeValues fake{stored, {}, {}};
        const auto result = restoreWindowState(fake.reader(), designed(), {},
                                               screen(screenSize.width(), screenSize.height()));
        QVERIFY(result.applyPlacement);
        QCOMPARE(result.placement.normalRect, expected);
    }

    void placementNotApplied_data()
    {
        QTest::addColumn<Values>("stored");
        QTest::newRow("first run") << Values{};
        QTest::newRow("other pixels per inch")
            << Values{{"NormPos", "10,20,810,620"}, {"PixelsPerInch", "120"}, {"ShowCmd", "3"}};
        QTest::newRow("left not less than right") << Values{{"NormPos", "810,20,810,620"}};
        QTest::newRow("left past current right") << Values{{"NormPos", "1200"}};
    }
    void placementNotApplied()
    {
        QFETCH(Values, stored);
        FakeValues fake{stored, {}, {}};
        const auto result = restoreWindowState(fake.reader(), designed(), {}, screen());
        QVERIFY(!result.applyPlacement);
        QCOMPARE(result.placement.normalRect, designed().normalRect);
        // The state applies whatever happened to the position.
        const bool maximised = stored.value("ShowCmd") == "3";
        QCOMPARE(result.showState,
                 maximised ? WindowShowState::Maximized : WindowShowState::Normal);
    }

    void showCommands_data()
    {
        QTest::addColumn<QString>("showCmd");
        QTest::addColumn<WindowShowState>("state");
        for (const char *n : {"1", "5", "9", "0", "4", "8", "-1", "x", "3.0"})
            QTest::newRow(n) << n << WindowShowState::Normal;
        for (const char *n : {"2", "6", "7"})
            QTest::newRow(n) << n << WindowShowState::MinimizeApplication;
        QTest::newRow("3") << "3" << WindowShowState::Maximized;
    }
    void showCommands()
    {
        QFETCH(QString, showCmd);
        QFETCH(WindowShowState, state);
        FakeValues fake{{{"ShowCmd", showCmd}}, {}, {}};
        QCOMPARE(restoreWindowState(fake.reader(), designed(), {}, screen()).showState, state);
    }

    void negativeFormVersionStopsAtOnce()
    {
        FakeValues fake{
            {{"FormVersion", "-1"}, {"ShowCmd", "3"}, {"NormPos", "1,2,300,400"}}, {}, {}};
        const auto result = restoreWindowState(fake.reader(), designed(), {}, screen());
        QVERIFY(result.stopped);
        QVERIFY(!result.applyPlacement);
        QCOMPARE(result.showState, WindowShowState::Normal);
        QCOMPARE(fake.read, QStringList({"FormVersion"}));
    }

    void properties()
    {
        ControlProperties current;
        current.lcbFTYPEWidth = 145;
        current.lcbPODKOMWidth = 300;
        FakeValues fake{{{"aStatusBar_Checked", "false"},
                         {"aToolBar_Checked", "Yes"},
                         {"StatusBar_Visible", "FALSE"},
                         {"lcbFTYPE_Width", "180"},
                         {"lcbPODKOM_Width", "широко"}},
                        {},
                        {}};
        const auto p = restoreWindowState(fake.reader(), designed(), current, screen()).properties;
        QCOMPARE(p.aStatusBarChecked, false);
        QCOMPARE(p.aToolBarChecked, true); // not "True" or "False": unchanged
        QCOMPARE(p.statusBarVisible, false);
        QCOMPARE(p.toolBar1Visible, true); // missing: the current value
        QCOMPARE(p.lcbFTYPEWidth, 180);
        QCOMPARE(p.lcbPODKOMWidth, 300); // not a number: the box keeps its width
    }

    void failureWhileReadingPropertiesEndsQuietly()
    {
        FakeValues fake{{{"NormPos", "10,20,810,620"},
                         {"ShowCmd", "3"},
                         {"aStatusBar_Checked", "False"},
                         {"StatusBar_Visible", "False"}},
                        {},
                        "aToolBar_Checked"};
        const auto result = restoreWindowState(fake.reader(), designed(), {}, screen());
        QVERIFY(!result.propertiesComplete);
        QVERIFY(result.applyPlacement);
        QCOMPARE(result.showState, WindowShowState::Maximized);
        QCOMPARE(result.properties.aStatusBarChecked, false);
        QCOMPARE(result.properties.statusBarVisible, true); // after the failure: untouched
    }

    void failureWhileReadingPlacementPropagates()
    {
        FakeValues fake{{}, {}, "NormPos"};
        QVERIFY_THROWS_EXCEPTION(QorError,
                                 restoreWindowState(fake.reader(), designed(), {}, screen()));
    }

    void storedValues()
    {
        WindowPlacement p;
        p.flags = 2;
        p.showCmd = ShowMaximized;
        p.maxPosition = QPoint(-8, -8);
        p.normalRect = WindowRect::fromQRect(QRect(10, 20, 800, 600));
        ControlProperties props;
        props.toolBar1Visible = false;
        props.lcbFTYPEWidth = 145;
        props.lcbPODKOMWidth = 280;
        const auto values = windowStateValues(p, true, props, screen(1920, 1080, 120),
                                              WindowStateSaveMoment::CloseRequest);
        const QList<QPair<QString, QString>> expected = {{"FormVersion", "0"},
                                                         {"Flags", "2"},
                                                         {"ShowCmd", "2"},
                                                         {"PixelsPerInch", "120"},
                                                         {"MinMaxPos", "-1,-1,-8,-8"},
                                                         {"MinMaxPos(1920x1080)", "-1,-1,-8,-8"},
                                                         {"NormPos", "10,20,810,620"},
                                                         {"NormPos(1920x1080)", "10,20,810,620"},
                                                         {"Visible", "0"},
                                                         {"aStatusBar_Checked", "True"},
                                                         {"aToolBar_Checked", "True"},
                                                         {"StatusBar_Visible", "True"},
                                                         {"ToolBar1_Visible", "False"},
                                                         {"lcbFTYPE_Width", "145"},
                                                         {"lcbPODKOM_Width", "280"}};
        QCOMPARE(values, expected);
        const auto atEnd =
            windowStateValues(p, false, props, screen(), WindowStateSaveMoment::Destruction);
        QCOMPARE(atEnd.at(2).second, "3");
        QCOMPARE(atEnd.at(8).second, "1");
    }

    void roundTripThroughTheStore()
    {
        QTemporaryDir dir;
        SettingsStore store(std::make_unique<IniRegistry>(dir.filePath("hkcu.ini")));
        // First run: nothing stored, nothing applied, and reading creates no sub-key.
        const auto first = restoreWindowState(store, designed(), {}, screen());
        QVERIFY(!first.applyPlacement && !first.stopped && first.propertiesComplete);
        QCOMPARE(IniRegistry(dir.filePath("hkcu.ini"))
                     .keyExists(SettingsStore::settingsKeyPath() + "\\TfmMain"),
                 RegistryBackend::Result::Missing);

        WindowPlacement p = designed();
        p.normalRect = {40, 50, 940, 750};
        p.showCmd = ShowMaximized;
        ControlProperties props;
        props.statusBarVisible = false;
        props.lcbPODKOMWidth = 222;
        saveWindowState(store, p, false, props, screen(), WindowStateSaveMoment::CloseRequest);
        // Saved on a bigger screen once: the plain names now hold that one.
        WindowPlacement big = p;
        big.normalRect = {1000, 100, 2000, 900};
        saveWindowState(store, big, false, props, screen(2560, 1440),
                        WindowStateSaveMoment::CloseRequest);

        const auto back = restoreWindowState(store, designed(), {}, screen());
        QVERIFY(back.applyPlacement);
        QVERIFY(!back.movedOntoScreen);
        QCOMPARE(back.placement.normalRect, p.normalRect);
        QCOMPARE(back.showState, WindowShowState::Maximized);
        QCOMPARE(back.properties.statusBarVisible, false);
        QCOMPARE(back.properties.lcbPODKOMWidth, 222);
    }

    void placementOnNoScreenIsMovedOntoOne()
    {
        // Saved with a second monitor on the right, which is gone now.
        FakeValues fake{{{"NormPos", "2200,100,3000,700"}}, {}, {}};
        const auto result = restoreWindowState(fake.reader(), designed(), {}, screen());
        QVERIFY(result.applyPlacement);
        QVERIFY(result.movedOntoScreen);
        QCOMPARE(result.placement.normalRect, (WindowRect{1120, 100, 1920, 700}));
    }

    void fitOntoScreens_data()
    {
        QTest::addColumn<WindowRect>("rect");
        QTest::addColumn<bool>("moved");
        QTest::addColumn<WindowRect>("expected");
        const WindowRect r{100, 100, 900, 700};
        QTest::newRow("on the left screen") << r << false << r;
        QTest::newRow("on the right screen")
            << WindowRect{2000, 200, 2600, 700} << false << WindowRect{2000, 200, 2600, 700};
        QTest::newRow("title partly visible")
            << WindowRect{-700, 10, 100, 600} << false << WindowRect{-700, 10, 100, 600};
        QTest::newRow("far right")
            << WindowRect{5000, 100, 5800, 700} << true << WindowRect{3120, 100, 3920, 700};
        QTest::newRow("above the screens")
            << WindowRect{100, -650, 900, 20} << true << WindowRect{100, 0, 900, 670};
        QTest::newRow("title above, body visible")
            << WindowRect{100, -100, 900, 500} << true << WindowRect{100, 0, 900, 600};
        QTest::newRow("too big for the screen")
            << WindowRect{-3000, -2000, 1000, 3000} << true << WindowRect{0, 0, 1920, 1040};
        QTest::newRow("gap between screens")
            << WindowRect{100, 1100, 900, 1500} << true << WindowRect{100, 640, 900, 1040};
    }
    void numbersNearTheIntegerLimits()
    {
        // Outside input: numbers beyond any screen count as no number, and nothing overflows.
        FakeValues fake{{{"NormPos", "-2147483648,0,2147483647,100"},
                         {"MinMaxPos", "2147483647,-2147483648,1000001,-1000000"},
                         {"lcbFTYPE_Width", "99999999"}},
                        {},
                        {}};
        ControlProperties properties;
        properties.lcbFTYPEWidth = 151;
        const auto result = restoreWindowState(fake.reader(), designed(), properties, screen());
        QCOMPARE(result.placement.normalRect, (WindowRect{200, 0, 1000, 100}));
        QCOMPARE(result.placement.minPosition, QPoint(0, 0));
        QCOMPARE(result.placement.maxPosition, QPoint(0, -1000000));
        QCOMPARE(result.properties.lcbFTYPEWidth, 151); // not a number: kept
        WindowRect huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
        QVERIFY(::fitOntoScreens(&huge, {QRect(0, 0, 1920, 1040)}));
        QCOMPARE(huge, (WindowRect{0, 0, 1920, 1040}));
    }

    void fitOntoScreens()
    {
        QFETCH(WindowRect, rect);
        QFETCH(bool, moved);
        QFETCH(WindowRect, expected);
        // A 1920x1040 screen and a 2000x1200 one on its right.
        const QList<QRect> screens = {QRect(0, 0, 1920, 1040), QRect(1920, 0, 2000, 1200)};
        QCOMPARE(::fitOntoScreens(&rect, screens), moved);
        QCOMPARE(rect, expected);
    }
};

QTEST_GUILESS_MAIN(TstWindowState)
#include "tst_windowstate.moc"
