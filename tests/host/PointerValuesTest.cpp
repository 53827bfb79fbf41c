#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "LivePointerSettings.h"
#include "PointerProfile.h"
#include "PointerValues.h"

namespace {

TEST(PointerValues, DoubleClickLiveAndRegistryFormulasDifferByOneStep) {
    const int live[] = {900, 830, 760, 690, 620, 550, 480, 410, 340, 270, 200};
    for (int n = 0; n <= 10; ++n) {
        const ProfileSettings p = PointerProfile(n, 5, 3, 0, 0);
        EXPECT_EQ(pointer::LiveDoubleClickTime(p), live[n]);
        EXPECT_EQ(pointer::RegistryDoubleClickSpeed(p), live[n] + 70);
    }
}

TEST(PointerValues, PointerSpeedSpansTheSystemRange) {
    EXPECT_EQ(pointer::PointerSpeed(PointerProfile(5, 1, 3, 0, 0)), 2);
    EXPECT_EQ(pointer::PointerSpeed(PointerProfile(5, 10, 3, 0, 0)), 20);
}

TEST(PointerValues, UniversalScrollingScrollsAPageAndIgnoresTheLineCount) {
    EXPECT_EQ(pointer::LiveWheelScrollLines(PointerProfile(5, 5, 7, 1, 0)), 0xFFFFFFFFu);
    EXPECT_EQ(pointer::RegistryWheelScrollLines(PointerProfile(5, 5, 7, 1, 0)), -1);
    EXPECT_EQ(pointer::LiveWheelScrollLines(PointerProfile(5, 5, 7, 0, 0)), 7u);
    EXPECT_EQ(pointer::RegistryWheelScrollLines(PointerProfile(5, 5, 7, 0, 0)), 7);
}

TEST(PointerValues, RegistryAccelerationIsTheStandardTripleOrZeros) {
    const auto on = pointer::RegistryAcceleration(PointerProfile(5, 5, 3, 0, 1));
    EXPECT_EQ(on.MouseSpeed, 1);
    EXPECT_EQ(on.Threshold1, 6);
    EXPECT_EQ(on.Threshold2, 10);
    const auto off = pointer::RegistryAcceleration(PointerProfile(5, 5, 3, 0, 0));
    EXPECT_EQ(off.MouseSpeed + off.Threshold1 + off.Threshold2, 0);
}

TEST(PointerValues, LiveAccelerationOffForcesANonZeroRegistryTripleToZero) {
    const auto forced = pointer::PlanLiveAcceleration(PointerProfile(5, 5, 3, 0, 0), 1, 10, 6);
    EXPECT_TRUE(forced.WriteZeros);
    EXPECT_EQ(forced.MouseParams, (std::array<int, 3>{0, 0, 0}));

    const auto alreadyZero = pointer::PlanLiveAcceleration(PointerProfile(5, 5, 3, 0, 0), 0, 0, 0);
    EXPECT_FALSE(alreadyZero.WriteZeros);
    EXPECT_EQ(alreadyZero.MouseParams, (std::array<int, 3>{0, 0, 0}));
}

TEST(PointerValues, LiveAccelerationOnAppliesTheRegistryTripleInThresholdOrder) {
    const auto on = pointer::PlanLiveAcceleration(PointerProfile(5, 5, 3, 0, 1), 1, 10, 6);
    EXPECT_FALSE(on.WriteZeros);
    EXPECT_EQ(on.MouseParams, (std::array<int, 3>{6, 10, 1}));
    // Zeros left by an earlier profile stay: acceleration comes back only when something
    // rewrites the registry.
    EXPECT_EQ(pointer::PlanLiveAcceleration(PointerProfile(5, 5, 3, 0, 1), 0, 0, 0).MouseParams,
              (std::array<int, 3>{0, 0, 0}));
    // Only exactly 1 counts as on here.
    EXPECT_TRUE(pointer::PlanLiveAcceleration(PointerProfile(5, 5, 3, 0, 2), 1, 10, 6).WriteZeros);
}

TEST(PointerValues, RegistryTextsThatAreNoNumberReadAsZero) {
    EXPECT_EQ(pointer::RegistryInt(L"10"), 10);
    EXPECT_EQ(pointer::RegistryInt(L" 6"), 6);
    EXPECT_EQ(pointer::RegistryInt(L"fast"), 0);
    EXPECT_EQ(pointer::RegistryInt(L""), 0);
}

TEST(PointerValues, WindowsVersionClasses) {
    using enum pointer::WindowsVersion;
    struct Case {
        std::uint32_t Platform, Major, Minor;
        pointer::WindowsVersion Class;
    };
    const Case cases[] = {
        {1, 4, 0, Windows9x},    {1, 4, 10, Windows9x},   {1, 4, 90, WindowsMe},    {1, 5, 0, Other},
        {2, 4, 0, Other},        {2, 5, 0, Windows2000},  {2, 5, 1, WindowsXp},     {2, 5, 2, WindowsXp},
        {2, 6, 0, VistaOrLater}, {2, 6, 1, VistaOrLater}, {2, 10, 0, VistaOrLater}, {0, 6, 1, Other},
        {3, 10, 0, Other},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pointer::ClassifyWindowsVersion(c.Platform, c.Major, c.Minor), c.Class)
            << c.Platform << " " << c.Major << "." << c.Minor;
    }
}

// Every effect of a live apply as one line, with every argument; the mouse key is a map.
class RecordingPointerSystem : public pointer::PointerSystem {
public:
    std::map<std::wstring, std::wstring> MouseKey;
    std::vector<std::string> Calls;

    std::wstring ReadMouseValue(const wchar_t* name) override {
        Calls.push_back("read " + Narrow(name));
        const auto value = MouseKey.find(name);
        return value == MouseKey.end() ? std::wstring() : value->second;
    }
    void WriteMouseValue(const wchar_t* name, const std::wstring& text) override {
        Calls.push_back("write " + Narrow(name) + "=" + Narrow(text));
        MouseKey[name] = text;
    }
    void SetDoubleClickTime(std::uint32_t milliseconds) override {
        Calls.push_back("double-click " + std::to_string(milliseconds));
    }
    // SPI_SETMOUSE shows the three values pvParam points to, the others pvParam itself.
    void SetSystemParameter(std::uint32_t action, std::uint32_t uiParam, void* pvParam, std::uint32_t winIni) override {
        std::string pv = std::to_string(reinterpret_cast<std::uintptr_t>(pvParam));
        if (action == pointer::kSpiSetMouse) {
            const int* params = static_cast<const int*>(pvParam);
            pv = "{" + std::to_string(params[0]) + "," + std::to_string(params[1]) + "," + std::to_string(params[2]) +
                 "}";
            mouseParams_ = reinterpret_cast<std::intptr_t>(pvParam);
        }
        Calls.push_back("spi " + std::to_string(action) + " " + std::to_string(uiParam) + " " + pv + " " +
                        std::to_string(winIni));
    }
    // "params" when lParam is the address the SPI_SETMOUSE call was given.
    void NotifySettingChange(std::uint32_t action, std::intptr_t lParam) override {
        const std::string l = lParam != 0 && lParam == mouseParams_ ? "params" : std::to_string(lParam);
        Calls.push_back("notify " + std::to_string(action) + " " + l);
    }

private:
    static std::string Narrow(std::wstring_view text) { return std::string(text.begin(), text.end()); }
    std::intptr_t mouseParams_ = 0;
};

TEST(LivePointerSettings, EachProfileGivesTheseCallsWithTheseArgumentsInThisOrder) {
    struct Case {
        const char* Name;
        ProfileSettings Settings;
        std::vector<std::string> Calls;
    };
    const std::string reads[] = {"read MouseSpeed", "read MouseThreshold2", "read MouseThreshold1"};
    const Case cases[] = {
        {"acceleration off over the standard triple, lines",
         PointerProfile(3, 7, 6, 0, 0),
         {"double-click 690", reads[0], reads[1], reads[2], "write MouseSpeed=0", "write MouseThreshold2=0",
          "write MouseThreshold1=0", "spi 4 0 {0,0,0} 2", "notify 4 params", "spi 113 0 14 2", "notify 113 0",
          "spi 105 6 0 3", "notify 105 0"}},
        {"acceleration on, page scrolling, the extremes",
         PointerProfile(10, 10, 6, 1, 1),
         {"double-click 200", reads[0], reads[1], reads[2], "spi 4 0 {6,10,1} 2", "notify 4 params", "spi 113 0 20 2",
          "notify 113 0", "spi 105 4294967295 0 3", "notify 105 0"}},
    };
    for (const Case& c : cases) {
        RecordingPointerSystem system;
        system.MouseKey = {{L"MouseSpeed", L"1"}, {L"MouseThreshold1", L"6"}, {L"MouseThreshold2", L"10"}};
        pointer::ApplyPointerSettings(c.Settings, system);
        EXPECT_EQ(system.Calls, c.Calls) << c.Name;
    }
}

}  // namespace
