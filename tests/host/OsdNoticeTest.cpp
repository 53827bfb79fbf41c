#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "OsdNotice.h"

namespace {

// Records what the notices ask of the system; the display appears after a number of starts.
class RecordingPort : public OsdPort {
public:
    explicit RecordingPort(int startsUntilShown) : startsUntilShown_(startsUntilShown) {}
    bool FindDisplay() override {
        Calls.push_back("find");
        return starts_ >= startsUntilShown_;
    }
    void StartDisplay() override {
        ++starts_;
        Calls.push_back("start");
    }
    void ScheduleRetry(int ms) override {
        Scheduled = true;
        Calls.push_back("retry " + std::to_string(ms));
    }
    void Post(unsigned message, int code, int value) override {
        Calls.push_back("post " + std::to_string(message) + " " + std::to_string(code) + " " + std::to_string(value));
    }
    // Lets every scheduled pause run out.
    void RunRetries(OsdNotices& notices) {
        while (Scheduled) {
            Scheduled = false;
            notices.Retry(*this);
        }
    }
    std::vector<std::string> Calls;
    bool Scheduled = false;

private:
    int startsUntilShown_;
    int starts_ = 0;
};

using Calls = std::vector<std::string>;

TEST(OsdNotice, APresentDisplayGetsExactlyOneMessage) {
    OsdNotices notices;
    RecordingPort port(0);
    notices.Show(port, 1, 30, 1500, NoticeForm::Value);
    EXPECT_EQ(port.Calls, (Calls{"find", "post 13370 30 1500"}));
    RecordingPort plain(0);
    notices.Show(plain, 1, 11, 0, NoticeForm::Plain);
    EXPECT_EQ(plain.Calls, (Calls{"find", "post 13369 11 0"}));
}

TEST(OsdNotice, AMissingDisplayIsStartedUntilItAppears) {
    OsdNotices notices;
    RecordingPort port(2);
    notices.Show(port, 1, 4, 0, NoticeForm::Plain);
    port.RunRetries(notices);
    EXPECT_EQ(port.Calls,
              (Calls{"find", "start", "retry 500", "find", "start", "retry 500", "find", "post 13369 4 0"}));
    EXPECT_FALSE(notices.Waiting());
}

TEST(OsdNotice, ADisplayThatNeverAppearsLosesTheNoticeAfterFiveStartsAndTheNextOneTriesAgain) {
    OsdNotices notices;
    RecordingPort port(100);
    notices.Show(port, 1, 7, 0, NoticeForm::Plain);
    port.RunRetries(notices);
    Calls expected = {"find"};
    for (int i = 0; i < 5; ++i) expected.insert(expected.end(), {"start", "retry 500", "find"});
    EXPECT_EQ(port.Calls, expected);
    EXPECT_FALSE(notices.Waiting());

    port.Calls.clear();
    notices.Show(port, 1, 6, 0, NoticeForm::Plain);
    EXPECT_EQ(port.Calls, (Calls{"find", "start", "retry 500"}));
}

TEST(OsdNotice, ABurstWhileTheDisplayComesUpStartsItOnceAndShowsOnlyTheLatest) {
    OsdNotices notices;
    RecordingPort port(2);
    for (int i = 0; i < 100; ++i) notices.Show(port, 1, i % 2 ? 4 : 5, 0, NoticeForm::Plain);
    notices.Show(port, 1, 30, 2000, NoticeForm::Value);
    EXPECT_EQ(std::count(port.Calls.begin(), port.Calls.end(), "start"), 1);
    port.RunRetries(notices);
    EXPECT_EQ(std::count(port.Calls.begin(), port.Calls.end(), "start"), 2) << "one more only after the pause";
    EXPECT_EQ(
        std::count_if(port.Calls.begin(), port.Calls.end(), [](const std::string& c) { return c.starts_with("post"); }),
        1);
    EXPECT_EQ(port.Calls.back(), "post 13370 30 2000");
}

TEST(OsdNotice, ANoticeReplacingOneOnItsLastTryGetsFiveTriesOfItsOwn) {
    OsdNotices notices;
    RecordingPort port(100);
    notices.Show(port, 1, 4, 0, NoticeForm::Plain);
    for (int i = 0; i < 4; ++i) {
        port.Scheduled = false;
        notices.Retry(port);
    }
    ASSERT_EQ(std::count(port.Calls.begin(), port.Calls.end(), "start"), 5);
    notices.Show(port, 1, 30, 1000, NoticeForm::Value);  // before the fifth pause ends
    port.RunRetries(notices);
    EXPECT_EQ(std::count(port.Calls.begin(), port.Calls.end(), "start"), 9) << "the start under way was its first";
    EXPECT_FALSE(notices.Waiting());
}

TEST(OsdNotice, ANoticeThatFindsTheDisplayDropsTheOlderWaitingOne) {
    OsdNotices notices;
    RecordingPort port(1);
    notices.Show(port, 1, 10, 0, NoticeForm::Plain);  // starts the display, which is up before the pause ends
    notices.Show(port, 1, 11, 0, NoticeForm::Plain);
    port.RunRetries(notices);
    EXPECT_EQ(port.Calls, (Calls{"find", "start", "retry 500", "find", "post 13369 11 0"}));
}

TEST(OsdNotice, NoticesOffMeansNothingAtAll) {
    OsdNotices notices;
    RecordingPort port(0);
    notices.Show(port, 0, 30, 500, NoticeForm::Value);
    EXPECT_TRUE(port.Calls.empty());
}

}  // namespace
