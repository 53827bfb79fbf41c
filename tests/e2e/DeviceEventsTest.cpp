// The mouse's reports acted on by hid.exe: stored, announced to the settings tool and the
// display, and turned into program starts and zoom input.
#include <gtest/gtest.h>

#include <algorithm>

#include "AgentHarness.h"
#include "OsdContract.h"
#include "SettingsToolContract.h"
#include "TestWindow.h"

namespace {

using settings_tool::kMsgCpiChanged;
using settings_tool::kMsgProfileChanged;

class DeviceEventsTest : public AgentWithMouseTest {
protected:
    void SetUp() override { Install(true); }

    IniFile InstalledConfig() const { return IniFile(install.File(L"config.ini")); }

    void Inject(const std::wstring& hex) const { ASSERT_EQ(mouse.Run(L"inject " + hex).ExitCode, 0u) << hex; }
    void Press(const std::wstring& what) const { ASSERT_EQ(mouse.Run(L"press " + what).ExitCode, 0u) << what; }

    // A program that records its starts in "<name>.log" beside itself.
    std::wstring InstallRecorder(const wchar_t* name) {
        EXPECT_TRUE(install.Add(L"notifyhost.exe", kStandInFolder, name));
        return install.File(name);
    }
    std::vector<std::string> LogOf(const wchar_t* program) const {
        std::wstring log = install.File(program);
        log.replace(log.size() - 3, 3, L"log");
        return ReadLines(log);
    }

    TestWindow settingsTool{names::kSettingsToolWindowTitle};
};

TEST_F(DeviceEventsTest, TheProfileKeyStoresAnnouncesAndAppliesTheProfileAndTheCpiKeyFollowsIt) {
    InstalledConfig().WriteInt(L"GROUP1", L"WheelScrollLines", 8);
    InstalledConfig().WriteInt(L"GROUP1", L"DoubleClickSpeed", 4);
    TestWindow osd(names::kOsdWindowTitle);
    Start();

    Press(L"profile 2");
    ASSERT_TRUE(settingsTool.WaitFor(kMsgProfileChanged));
    EXPECT_EQ(UserConfig().ReadInt(L"Setting", L"Profile", -1), 1);
    ASSERT_TRUE(osd.WaitFor(osd::kMsgNotice));
    EXPECT_EQ(osd.Received().front(), (ReceivedMessage{osd::kMsgNotice, 11, 0}));
    // The wheel step is the last of the pointer settings.
    EXPECT_TRUE(PumpUntil(
        [] {
            UINT lines = 0;
            return SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0) && lines == 8;
        },
        5000))
        << "the live wheel lines of profile 2";
    EXPECT_EQ(GetDoubleClickTime(), 900u - 70u * 4u);

    Press(L"cpi 3");
    ASSERT_TRUE(settingsTool.WaitFor(kMsgCpiChanged));
    EXPECT_EQ(settingsTool.Received().back(), (ReceivedMessage{kMsgCpiChanged, 3, 0}));
    EXPECT_EQ(UserConfig().ReadInt(L"GROUP1", L"DPI", -1), 3);
    EXPECT_EQ(UserConfig().ReadInt(L"GROUP0", L"DPI", -1), 3) << "other groups untouched";
    ASSERT_TRUE(osd.WaitFor(osd::kMsgValueNotice));
    EXPECT_EQ(osd.Received().back(), (ReceivedMessage{osd::kMsgValueNotice, 30, 1500}));
}

TEST_F(DeviceEventsTest, WithoutAProfileKeyTheCpiLevelGoesToTheGroupOfTheCurrentProfile) {
    InstalledConfig().WriteInt(L"Setting", L"Profile", 2);
    InstalledConfig().WriteInt(L"GROUP2", L"DPI", 1);
    Start();

    Press(L"cpi 2");
    ASSERT_TRUE(settingsTool.WaitFor(kMsgCpiChanged));
    EXPECT_EQ(settingsTool.Received().back(), (ReceivedMessage{kMsgCpiChanged, 2, 0}));
    EXPECT_EQ(UserConfig().ReadInt(L"GROUP2", L"DPI", -1), 2);
    EXPECT_EQ(UserConfig().ReadInt(L"Setting", L"Profile", -1), 2);
}

TEST_F(DeviceEventsTest, AProgramButtonOpensItsPathAndOnlyThat) {
    const std::wstring recorder = InstallRecorder(L"recorder.exe");
    InstalledConfig().WriteString(L"ButtonAssigned0_3", L"Path", recorder.c_str());
    InstalledConfig().WriteString(L"ButtonAssigned0_4", L"Path", install.File(L"nothing-here.exe").c_str());
    Start();

    Inject(L"03 F6 00");  // button 1: empty path
    Inject(L"03 F9 00");  // button 4: names nothing
    Inject(L"03 FE 00");  // no such button
    Inject(L"03 F8 01");  // button 3, with a high byte the program codes ignore
    ASSERT_TRUE(PumpUntil([&] { return CountLines(LogOf(L"recorder.exe"), "launch") >= 1; }, 10000));
    // Reports are handled in order; the only start is the one of button 3.
    Press(L"cpi 1");
    ASSERT_TRUE(settingsTool.WaitFor(kMsgCpiChanged));
    EXPECT_EQ(CountLines(LogOf(L"recorder.exe"), "launch"), 1);
}

TEST_F(DeviceEventsTest, MediaKeysShowTheirNoticesOnlyForConsumerCodesAndOtherReportsChangeNothing) {
    TestWindow osd(names::kOsdWindowTitle);
    Start();
    const std::string configBefore = ReadFileBytes(DataFolder() + L"config.ini");

    // The keys' collection sends reports of three bytes only; other lengths are the
    // decoder's tests' (InputReportTest).
    for (const wchar_t* ignored :
         {L"03 CD 01", L"03 E2 02", L"02 20 00", L"03 50 00", L"03 00 00", L"03 05 00", L"03 AB 00"})
        Inject(ignored);
    for (const wchar_t* media : {L"03 CD 00", L"03 B5 00", L"03 B6 00", L"03 E9 00", L"03 EA 00", L"03 E2 00"})
        Inject(media);
    // The reports are handled in order: once the mute key's notice is there, every
    // ignored report before it has been handled too.
    ASSERT_TRUE(osd.WaitFor(osd::kMsgNotice, 6));

    std::vector<WPARAM> notices;
    for (const ReceivedMessage& m : osd.Received()) {
        EXPECT_EQ(m.Message, osd::kMsgNotice);
        EXPECT_EQ(m.LParam, 0);
        notices.push_back(m.WParam);
    }
    ASSERT_EQ(notices.size(), 6u);
    EXPECT_EQ(std::vector<WPARAM>(notices.begin(), notices.begin() + 5), (std::vector<WPARAM>{1, 2, 3, 4, 5}));
    EXPECT_TRUE(notices[5] == osd::kSoundOn || notices[5] == osd::kMuted) << notices[5];
    EXPECT_TRUE(settingsTool.Received().empty());
    EXPECT_EQ(ReadFileBytes(DataFolder() + L"config.ini"), configBefore);
}

TEST_F(DeviceEventsTest, WithTheTrayOffNoNoticeIsShownAndTheDisplayProgramIsNotStarted) {
    InstallRecorder(names::kOsdExe);
    InstalledConfig().WriteInt(L"Setting", L"TrayEnabled", 0);
    Start();

    Inject(L"03 CD 00");
    Press(L"cpi 2");  // handled after the media key
    ASSERT_TRUE(settingsTool.WaitFor(kMsgCpiChanged));
    EXPECT_TRUE(LogOf(names::kOsdExe).empty());
}

TEST_F(DeviceEventsTest, ADisplayProgramThatNeverShowsItsWindowIsStartedFiveTimesThenTheAgentGoesOn) {
    InstallRecorder(names::kOsdExe);
    Start();

    Inject(L"03 E9 00");
    const auto launches = [&] { return CountLines(LogOf(names::kOsdExe), "launch"); };
    ASSERT_TRUE(PumpUntil([&] { return launches() >= 5; }, 10000));
    const std::vector<std::string> starts = LogOf(names::kOsdExe);
    // Five tries, half a second apart.
    const auto tick = [&](int i) { return std::stoll(starts[i].substr(7)); };
    EXPECT_GE(tick(4) - tick(0), 4 * 450);

    // Once a display is there, the next key is stored and its notice shows, and the first
    // never does: it was dropped, or replaced while the last try was still under way.
    TestWindow osd(names::kOsdWindowTitle);
    Press(L"cpi 2");
    ASSERT_TRUE(settingsTool.WaitFor(kMsgCpiChanged));
    ASSERT_TRUE(osd.WaitFor(osd::kMsgValueNotice));
    EXPECT_EQ(osd.Received().back(), (ReceivedMessage{osd::kMsgValueNotice, osd::kCpi, 1000}));
    EXPECT_EQ(osd.Count(osd::kMsgNotice), 0);
    EXPECT_EQ(UserConfig().ReadInt(L"GROUP0", L"DPI", -1), 2);
    EXPECT_EQ(launches(), 5);
}

TEST_F(DeviceEventsTest, ZoomInReachesAnExcelSheetUnderThePointerAsControlAndAWheelNotch) {
    TestWindow sheet(L"Sheet", {.ClassName = L"EXCEL7"});
    Start();
    const RECT area{200, 200, 600, 500};
    sheet.ShowInFront(area);
    SetCursorPos(400, 350);
    ASSERT_TRUE(PumpUntil([&] { return WindowFromPoint(POINT{400, 350}) == sheet.Handle(); }, 5000));
    // The X server answers the new focus and pointer with the keyboard's real state, which
    // Wine takes over when this thread reads it; read later, it would drop the agent's
    // Control. Nothing in Win32 tells when it came, so this thread pumps for a while.
    PumpFor(200);

    Inject(L"03 AC 00");
    ASSERT_TRUE(PumpUntil([&] { return sheet.Received().size() >= 3; }, 10000));
    const std::vector<ReceivedMessage>& input = sheet.Received();
    EXPECT_EQ(input[0].Message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(input[0].WParam, static_cast<WPARAM>(VK_CONTROL));
    EXPECT_EQ(input[1].Message, static_cast<UINT>(WM_MOUSEWHEEL));
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(input[1].WParam), WHEEL_DELTA);
    EXPECT_TRUE(GET_KEYSTATE_WPARAM(input[1].WParam) & MK_CONTROL);
    EXPECT_EQ(input[2].Message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(input[2].WParam, static_cast<WPARAM>(VK_CONTROL));
}

TEST_F(DeviceEventsTest, PressesOfTheZoomKeyOneAfterAnotherAllZoomThoughTheStepsTakeLonger) {
    // A viewer zoomed with Control and the keypad's minus: 300 ms a step.
    TestWindow viewer(L"Viewer", {.ClassName = L"AVL_AVView"});
    Start();
    viewer.ShowInFront(RECT{200, 200, 600, 500});
    SetCursorPos(400, 350);
    ASSERT_TRUE(PumpUntil([&] { return WindowFromPoint(POINT{400, 350}) == viewer.Handle(); }, 5000));
    PumpFor(200);  // as above: the keyboard state the X server sends with the focus

    ASSERT_EQ(mouse.Run(L"inject --repeat 5 --interval 200 03 AD 00").ExitCode, 0u);
    const auto steps = [&] {
        return std::count_if(viewer.Received().begin(), viewer.Received().end(),
                             [](const ReceivedMessage& m) { return m.Message == WM_KEYUP && m.WParam == VK_SUBTRACT; });
    };
    EXPECT_TRUE(PumpUntil([&] { return steps() == 5; }, 10000)) << steps() << " of 5 presses zoomed";
}

}  // namespace
