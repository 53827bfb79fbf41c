#include <gtest/gtest.h>

#include <set>

#include "ButtonFunctions.h"
#include "DeviceFunctionTable.h"

namespace {

TEST(ButtonFunctions, OffersEveryFunctionTheMouseCanBeProgrammedWithOnceByAName) {
    std::set<std::uint8_t> offered;
    std::set<std::wstring> names;
    for (const ButtonFunctionChoice& choice : ButtonFunctionChoices()) {
        EXPECT_TRUE(offered.insert(choice.ButtonFunc).second) << "code " << int(choice.ButtonFunc) << " twice";
        EXPECT_TRUE(names.insert(choice.Name).second) << "two functions share a name";
    }
    for (const DeviceFunctionRow& row : DeviceFunctionTable)
        EXPECT_TRUE(offered.count(row.ButtonFunc)) << "code " << int(row.ButtonFunc) << " is not offered";
    // The user's key sequence has no row of its own.
    EXPECT_TRUE(offered.count(kKeySequenceFunc));
    // Every offered code but the key sequence must reach the mouse as tabled, not as the
    // fallback of an unknown code.
    for (std::uint8_t code : offered)
        EXPECT_TRUE(code == kKeySequenceFunc || FindDeviceFunction(code)) << "code " << int(code);
}

TEST(ButtonFunctions, NamesTheDefaultsAsTheButtonsTheyAreAndUnknownCodesByNumber) {
    EXPECT_EQ(ButtonFunctionName(1), L"Left click");
    EXPECT_EQ(ButtonFunctionName(2), L"Right click");
    EXPECT_EQ(ButtonFunctionName(3), L"Middle click");
    EXPECT_EQ(ButtonFunctionName(4), L"Back");
    EXPECT_EQ(ButtonFunctionName(5), L"Forward");
    EXPECT_EQ(ButtonFunctionName(99), L"Unknown function 99");
}

}  // namespace
