#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "CollectionRoster.h"

namespace {

using hiddevice::CollectionRoster;
using hiddevice::PresentCollection;
using Steps = std::vector<std::string>;

// Records what the roster does, in order; paths in `refused` cannot be opened.
class RecordedEffects : public hiddevice::CollectionEffects {
public:
    bool Open(std::uint16_t id, const std::wstring& path) override {
        if (refused.count(path)) return false;
        steps.push_back("open " + std::to_string(id) + " " + std::string(path.begin(), path.end()));
        return true;
    }
    void Close(std::uint16_t id) override { steps.push_back("close " + std::to_string(id)); }
    void Notify(bool opened, std::uint16_t id) override { steps.push_back((opened ? "+" : "-") + std::to_string(id)); }
    Steps Take() { return std::exchange(steps, {}); }

    std::set<std::wstring> refused;
    Steps steps;
};

// A mouse's two collections, named so that the second sorts first by path.
PresentCollection Main(const std::wstring& mouse) { return {mouse + L"&col02", mouse, 0}; }
PresentCollection Second(const std::wstring& mouse) { return {mouse + L"&col01", mouse, 1}; }

class CollectionRosterTest : public ::testing::Test {
protected:
    Steps Update(std::vector<PresentCollection> present) {
        roster.Update(std::move(present), effects);
        return effects.Take();
    }
    CollectionRoster roster;
    RecordedEffects effects;
};

TEST_F(CollectionRosterTest, AMouseOpensMainThenSecondAndDetachClosesInReverse) {
    EXPECT_EQ(Update({Second(L"a"), Main(L"a")}), (Steps{"open 2 a&col02", "+2", "open 3 a&col01", "+3"}));
    EXPECT_TRUE(roster.AnyDeviceOpen());
    EXPECT_EQ(Update({Second(L"a"), Main(L"a")}), Steps{}) << "what is open stays open, unreported";

    EXPECT_EQ(Update({}), (Steps{"close 3", "-3", "close 2", "-2"}));
    EXPECT_FALSE(roster.AnyDeviceOpen());
    EXPECT_EQ(Update({Main(L"a"), Second(L"a")}), (Steps{"open 2 a&col02", "+2", "open 3 a&col01", "+3"}))
        << "re-attached under the same identifiers";
}

TEST_F(CollectionRosterTest, TwoMiceTakeSlotsAndAFreedSlotIsReused) {
    Update({Main(L"a"), Second(L"a")});
    EXPECT_EQ(Update({Main(L"a"), Second(L"a"), Main(L"b"), Second(L"b")}),
              (Steps{"open 4 b&col02", "+4", "open 5 b&col01", "+5"}));

    EXPECT_EQ(Update({Main(L"b"), Second(L"b")}), (Steps{"close 3", "-3", "close 2", "-2"})) << "b stays";
    EXPECT_TRUE(roster.IsOpen(4));
    EXPECT_TRUE(roster.IsOpen(5));

    EXPECT_EQ(Update({Main(L"c"), Second(L"c"), Main(L"b"), Second(L"b")}),
              (Steps{"open 2 c&col02", "+2", "open 3 c&col01", "+3"}));
}

TEST_F(CollectionRosterTest, ADeviceWaitsForItsMainCollection) {
    EXPECT_EQ(Update({Second(L"a")}), Steps{}) << "its identifiers would come in the wrong order";
    EXPECT_FALSE(roster.AnyDeviceOpen());
    EXPECT_EQ(Update({Second(L"a"), Main(L"a")}), (Steps{"open 2 a&col02", "+2", "open 3 a&col01", "+3"}));

    EXPECT_EQ(Update({Second(L"a")}), (Steps{"close 3", "-3", "close 2", "-2"})) << "no main, no device";

    EXPECT_EQ(Update({Main(L"a")}), (Steps{"open 2 a&col02", "+2"}));
    EXPECT_EQ(Update({Main(L"a"), Second(L"a")}), (Steps{"open 3 a&col01", "+3"})) << "a late second collection";
}

TEST_F(CollectionRosterTest, ACollectionThatCannotOpenIsTriedAgainAtTheNextUpdate) {
    effects.refused = {Main(L"a").Path};
    EXPECT_EQ(Update({Main(L"a"), Second(L"a")}), Steps{});
    EXPECT_FALSE(roster.AnyDeviceOpen());

    effects.refused = {Second(L"a").Path};
    EXPECT_EQ(Update({Main(L"a"), Second(L"a")}), (Steps{"open 2 a&col02", "+2"}));
    effects.refused.clear();
    EXPECT_EQ(Update({Main(L"a"), Second(L"a")}), (Steps{"open 3 a&col01", "+3"}));
}

TEST_F(CollectionRosterTest, ClosingAMainCollectionClosesItsDevice) {
    Update({Main(L"a"), Second(L"a"), Main(L"b"), Second(L"b")});

    roster.Close(5, effects);
    EXPECT_EQ(effects.Take(), (Steps{"close 5", "-5"}));
    roster.Close(2, effects);
    EXPECT_EQ(effects.Take(), (Steps{"close 3", "-3", "close 2", "-2"}));
    roster.Close(2, effects);
    roster.Close(77, effects);
    EXPECT_EQ(effects.Take(), Steps{}) << "closing what is not open does nothing";

    EXPECT_EQ(Update({Main(L"a"), Second(L"a"), Main(L"b"), Second(L"b")}),
              (Steps{"open 2 a&col02", "+2", "open 3 a&col01", "+3", "open 5 b&col01", "+5"}));
    roster.CloseAll(effects);
    EXPECT_EQ(effects.Take(), (Steps{"close 5", "-5", "close 3", "-3", "close 2", "-2", "close 4", "-4"}));
}

TEST_F(CollectionRosterTest, FurtherCollectionsOfADeviceTakeUnclaimedOddIdentifiers) {
    const PresentCollection third{L"a&col03", L"a", 2};
    const PresentCollection twinMain{L"a&col04", L"a", 0};
    EXPECT_EQ(Update({Main(L"a"), Second(L"a"), third, twinMain}),
              (Steps{"open 2 a&col02", "+2", "open 3 a&col04", "+3", "open 1 a&col01", "+1", "open 5 a&col03", "+5"}));
    EXPECT_EQ(Update({Main(L"a"), Second(L"a"), third, twinMain, Main(L"b"), Second(L"b")}),
              (Steps{"open 6 b&col02", "+6", "open 7 b&col01", "+7"}))
        << "the next mouse gets a slot whose two identifiers are both free";
}

}  // namespace

namespace {

using hiddevice::OrderForWriting;
constexpr std::uint32_t kUpload = 33;
constexpr std::size_t kFilterPairs = 2;  // the mouse's: vendor, then Consumer Control

PresentCollection WithOutput(PresentCollection collection, std::uint32_t output) {
    collection.OutputLength = output;
    return collection;
}

TEST(OrderForWriting, TheCollectionTakingTheUploadIsReportedSecondWhateverItsPage) {
    // The vendor collection (the filter's first pair) takes the upload, Consumer Control not.
    std::vector<PresentCollection> present = {WithOutput(Second(L"a"), 0), WithOutput(Main(L"a"), kUpload),
                                              WithOutput(Main(L"b"), 0), WithOutput(Second(L"b"), kUpload)};
    OrderForWriting(present, kUpload, kFilterPairs);
    EXPECT_EQ(present[0].Pair, 0u) << "mouse a: Consumer Control opens first now";
    EXPECT_EQ(present[1].Pair, 1u);
    EXPECT_EQ(present[2].Pair, 0u) << "mouse b already had the writable one second";
    EXPECT_EQ(present[3].Pair, 1u);

    RecordedEffects effects;
    CollectionRoster roster;
    roster.Update(present, effects);
    EXPECT_EQ(effects.Take(),
              (Steps{"open 2 a&col01", "+2", "open 3 a&col02", "+3", "open 4 b&col02", "+4", "open 5 b&col01", "+5"}));
}

TEST(OrderForWriting, WhereBothOrNeitherTakeTheUploadTheFiltersOrderStays) {
    for (const std::uint32_t mainOutput : {0u, kUpload, 64u}) {
        const std::uint32_t secondOutput = mainOutput == kUpload ? kUpload : 0;
        std::vector<PresentCollection> present = {WithOutput(Main(L"m"), mainOutput),
                                                  WithOutput(Second(L"m"), secondOutput)};
        OrderForWriting(present, kUpload, kFilterPairs);
        EXPECT_EQ(present[0].Pair, 0u) << mainOutput;
        EXPECT_EQ(present[1].Pair, 1u) << mainOutput;
    }
    // A main collection alone that takes nothing keeps its role: the next one takes the upload.
    std::vector<PresentCollection> alone = {WithOutput(Main(L"m"), 0)};
    OrderForWriting(alone, kUpload, kFilterPairs);
    ASSERT_EQ(alone.size(), 1u);
    EXPECT_EQ(alone[0].Pair, 0u);
}

// The system may announce a mouse's collections one at a time, the writable one first.
TEST(OrderForWriting, AMainCollectionTakingTheUploadWaitsForItsDevicesOtherCollection) {
    CollectionRoster roster;
    RecordedEffects effects;
    const auto update = [&](std::vector<PresentCollection> present) {
        OrderForWriting(present, kUpload, kFilterPairs);
        roster.Update(std::move(present), effects);
        return effects.Take();
    };
    const PresentCollection vendor = WithOutput(Main(L"a"), kUpload);
    const PresentCollection keys = WithOutput(Second(L"a"), 0);
    EXPECT_EQ(update({vendor, WithOutput(Main(L"b"), 0)}), (Steps{"open 2 b&col02", "+2"}))
        << "opened alone, the vendor collection would be reported first";
    EXPECT_EQ(update({vendor, keys, WithOutput(Main(L"b"), 0)}),
              (Steps{"open 4 a&col01", "+4", "open 5 a&col02", "+5"}));
    EXPECT_EQ(update({vendor, WithOutput(Main(L"b"), 0)}), (Steps{"close 5", "-5", "close 4", "-4"}))
        << "without its other collection the device closes";

    // A filter of one pair names no other collection to wait for.
    std::vector<PresentCollection> only = {vendor};
    OrderForWriting(only, kUpload, 1);
    ASSERT_EQ(only.size(), 1u);
    EXPECT_EQ(only[0].Pair, 0u);
}

}  // namespace
