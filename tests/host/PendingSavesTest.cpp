#include "PendingSaves.h"

#include <gtest/gtest.h>

namespace {

constexpr SettingsToolNotice kCpi2{1238, 2};
constexpr SettingsToolNotice kCpi4{1238, 4};
constexpr SettingsToolNotice kProfile{1237, 0};

TEST(PendingSavesTest, AKeySavedAgainWaitsWithItsNewestValueAndEveryNoticeInOrder) {
    PendingSaves pending;
    EXPECT_TRUE(pending.Empty());
    pending.Add({L"GROUP0", L"DPI", L"2"}, kCpi2);
    pending.Add({L"Setting", L"Profile", L"1"}, kProfile);
    pending.Add({L"Setting", L"Plug", L"1"}, std::nullopt);
    // The same key, its names written otherwise: still one key of the file.
    pending.Add({L"group0", L"dpi", L"4"}, kCpi4);

    ASSERT_EQ(pending.Keys().size(), 3u);
    EXPECT_EQ(pending.Keys()[0].Section, L"GROUP0");
    EXPECT_EQ(pending.Keys()[0].Value, L"4");
    EXPECT_EQ(pending.Keys()[2].Key, L"Plug");

    EXPECT_EQ(pending.Saved(), (std::vector<SettingsToolNotice>{kCpi2, kProfile, kCpi4}));
    EXPECT_TRUE(pending.Empty());
    EXPECT_TRUE(pending.Saved().empty()) << "each notice goes out once";
}

}  // namespace
