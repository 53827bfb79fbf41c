#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "PointerProfile.h"
#include "PointerRegistry.h"
#include "PointerSettings.h"
#include "TestRegistry.h"
#include "TestWindow.h"

namespace {

constexpr wchar_t kMouse[] = L"Control Panel\\Mouse";

void SetAccelerationTriple(const wchar_t* speed, const wchar_t* threshold1, const wchar_t* threshold2) {
    SetValue(HKEY_CURRENT_USER, kMouse, L"MouseSpeed", speed);
    SetValue(HKEY_CURRENT_USER, kMouse, L"MouseThreshold1", threshold1);
    SetValue(HKEY_CURRENT_USER, kMouse, L"MouseThreshold2", threshold2);
}

std::vector<int> LiveMouseParams() {
    int params[3] = {-1, -1, -1};
    SystemParametersInfoW(SPI_GETMOUSE, 0, params, 0);
    return {params[0], params[1], params[2]};
}

// Applies on this desktop and keeps the speed it was given: Wine takes SPI_SETMOUSESPEED's
// value from the integer argument, so its live speed is not what Windows would have.
class SpeedRecordingPointerSettings : public SystemPointerSettings {
public:
    using SystemPointerSettings::SystemPointerSettings;
    void SetSystemParameter(std::uint32_t action, std::uint32_t uiParam, void* pvParam, std::uint32_t winIni) override {
        if (action == SPI_SETMOUSESPEED) SpeedGiven = {uiParam, reinterpret_cast<std::uintptr_t>(pvParam)};
        SystemPointerSettings::SetSystemParameter(action, uiParam, pvParam, winIni);
    }
    std::pair<std::uint32_t, std::uintptr_t> SpeedGiven{};  // uiParam, pvParam
};

class PointerSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(mouseKey.Open(L"HKEY_CURRENT_USER\\Control Panel\\Mouse", KEY_ALL_ACCESS), 1); }
    void ApplySpeed(const ProfileSettings& profile, const RegistryKey& key) {
        SystemPointerSettings system(key, nullptr);
        pointer::ApplyPointerSpeed(profile, system);
    }
    RegistryKey mouseKey;
};

TEST_F(PointerSettingsTest, ApplyChangesTheLiveDoubleClickTimeSpeedAndWheel) {
    SpeedRecordingPointerSettings system(mouseKey, nullptr);
    pointer::ApplyPointerSettings(PointerProfile(3, 7, 6, 0, 0), system);
    EXPECT_EQ(GetDoubleClickTime(), 690u);
    EXPECT_EQ(system.SpeedGiven, (std::pair<std::uint32_t, std::uintptr_t>{0, 14}));
    UINT lines = 0;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    EXPECT_EQ(lines, 6u);

    pointer::ApplyPointerSettings(PointerProfile(10, 1, 6, 1, 0), system);
    EXPECT_EQ(GetDoubleClickTime(), 200u);
    EXPECT_EQ(system.SpeedGiven, (std::pair<std::uint32_t, std::uintptr_t>{0, 2}));
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    EXPECT_EQ(lines, WHEEL_PAGESCROLL);
}

TEST_F(PointerSettingsTest, AccelerationOffForcesTheRegistryTripleToZero) {
    SetAccelerationTriple(L"1", L"6", L"10");
    ApplySpeed(PointerProfile(5, 5, 3, 0, 0), mouseKey);
    for (const wchar_t* name : {L"MouseSpeed", L"MouseThreshold1", L"MouseThreshold2"})
        EXPECT_EQ(QueryValue(HKEY_CURRENT_USER, kMouse, name).Text, L"0") << name;
    EXPECT_EQ(LiveMouseParams(), (std::vector<int>{0, 0, 0}));
}

TEST_F(PointerSettingsTest, AccelerationOffWithAZeroTripleWritesNothing) {
    // Texts that read as zero but that a write of "0" would replace.
    SetAccelerationTriple(L"00", L"0x", L" 0");
    ApplySpeed(PointerProfile(5, 5, 3, 0, 0), mouseKey);
    EXPECT_EQ(QueryValue(HKEY_CURRENT_USER, kMouse, L"MouseSpeed").Text, L"00");
    EXPECT_EQ(QueryValue(HKEY_CURRENT_USER, kMouse, L"MouseThreshold1").Text, L"0x");
    EXPECT_EQ(QueryValue(HKEY_CURRENT_USER, kMouse, L"MouseThreshold2").Text, L" 0");
    EXPECT_EQ(LiveMouseParams(), (std::vector<int>{0, 0, 0}));
}

TEST_F(PointerSettingsTest, AccelerationOnAppliesWhatTheRegistryHolds) {
    SetAccelerationTriple(L"1", L"6", L"10");
    ApplySpeed(PointerProfile(5, 5, 3, 0, 1), mouseKey);
    EXPECT_EQ(LiveMouseParams(), (std::vector<int>{6, 10, 1}));
    EXPECT_EQ(QueryValue(HKEY_CURRENT_USER, kMouse, L"MouseThreshold2").Text, L"10");
}

TEST_F(PointerSettingsTest, AClosedMouseKeyReadsAsZeros) {
    SetAccelerationTriple(L"1", L"6", L"10");
    RegistryKey closed;
    ApplySpeed(PointerProfile(5, 5, 3, 0, 1), closed);
    EXPECT_EQ(LiveMouseParams(), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(QueryValue(HKEY_CURRENT_USER, kMouse, L"MouseSpeed").Text, L"1");
}

TEST_F(PointerSettingsTest, TheOwnWindowIsToldOfEachSystemCall) {
    std::vector<UINT> settingChanges;
    {
        const TestWindow window(L"", {.OnMessage = [&](HWND, UINT message, WPARAM wParam, LPARAM, LRESULT&) {
                                    if (message == WM_WININICHANGE) settingChanges.push_back(static_cast<UINT>(wParam));
                                    return false;
                                }});
        ASSERT_NE(window.Handle(), nullptr);
        ApplyPointerSettings(PointerProfile(5, 5, 3, 0, 0), mouseKey, window.Handle());
    }
    // The system's own WM_SETTINGCHANGE broadcast (the same message number) may follow a
    // call that updates the user profile, so only the first three are the agent's.
    ASSERT_GE(settingChanges.size(), 3u);
    settingChanges.resize(3);
    EXPECT_EQ(settingChanges, (std::vector<UINT>{SPI_SETMOUSE, SPI_SETMOUSESPEED, SPI_SETWHEELSCROLLLINES}));
}

TEST(PointerRegistryValues, TheCurrentProfileIsWrittenForTheNextLogOn) {
    SettingsImage image{};
    ResetSettings(image);
    image.Profile = 1;
    image.Groups[1] = PointerProfile(2, 9, 4, 0, 1);
    ASSERT_EQ(WritePointerRegistryValues(image), 1);
    EXPECT_EQ(QueryValue(HKEY_CURRENT_USER, kMouse, L"DoubleClickSpeed").Text, L"830");
    EXPECT_EQ(QueryValue(HKEY_CURRENT_USER, kMouse, L"MouseSensitivity").Text, L"18");
    EXPECT_EQ(QueryValue(HKEY_CURRENT_USER, kMouse, L"MouseSpeed").Text, L"1");
    EXPECT_EQ(QueryValue(HKEY_CURRENT_USER, kMouse, L"MouseThreshold1").Text, L"6");
    EXPECT_EQ(QueryValue(HKEY_CURRENT_USER, kMouse, L"MouseThreshold2").Text, L"10");
    EXPECT_EQ(QueryValue(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"WheelScrollLines").Text, L"4");

    image.Groups[1] = PointerProfile(0, 1, 4, 1, 0);
    ASSERT_EQ(WritePointerRegistryValues(image), 1);
    EXPECT_EQ(QueryValue(HKEY_CURRENT_USER, kMouse, L"DoubleClickSpeed").Text, L"970");
    EXPECT_EQ(QueryValue(HKEY_CURRENT_USER, kMouse, L"MouseThreshold2").Text, L"0");
    EXPECT_EQ(QueryValue(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"WheelScrollLines").Text, L"-1");
}

// The version read from the system picks Core Audio for the mute key's notice (MuteState).
TEST(WindowsVersion, TheVersionReadFromTheSystemIsVistaOrLater) {
    EXPECT_EQ(GetWindowsVersion(), pointer::WindowsVersion::VistaOrLater);
}

}  // namespace
