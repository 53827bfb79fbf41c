#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/OsdNotice.h"

namespace {

// Records what ShowOsd asks of the system; the display appears after a number of starts.
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
    void Pause(int ms) override { Calls.push_back("pause " + std::to_string(ms)); }
    void Post(unsigned message, int code, int value) override {
        Calls.push_back("post " + std::to_string(message) + " " + std::to_string(code) + " " + std::to_string(value));
    }
    std::vector<std::string> Calls;

private:
    int startsUntilShown_;
    int starts_ = 0;
};

using Calls = std::vector<std::string>;

TEST(OsdNotice, APresentDisplayGetsExactlyOneMessage) {
    RecordingPort port(0);
    ShowOsd(port, 1, 30, 1500, 1);
    EXPECT_EQ(port.Calls, (Calls{"find", "post 13370 30 1500"}));
    RecordingPort plain(0);
    ShowOsd(plain, 1, 11, 0, 0);
    EXPECT_EQ(plain.Calls, (Calls{"find", "post 13369 11 0"}));
}

TEST(OsdNotice, AMissingDisplayIsStartedUntilItAppears) {
    RecordingPort port(2);
    ShowOsd(port, 1, 4, 0, 0);
    EXPECT_EQ(port.Calls, (Calls{"find", "start", "pause 500", "find", "start", "pause 500", "find", "post 13369 4 0"}));
}

TEST(OsdNotice, ADisplayThatNeverAppearsLosesTheNoticeAfterFiveStarts) {
    RecordingPort port(100);
    ShowOsd(port, 1, 7, 0, 0);
    Calls expected = {"find"};
    for (int i = 0; i < 5; ++i) expected.insert(expected.end(), {"start", "pause 500", "find"});
    EXPECT_EQ(port.Calls, expected);
}

TEST(OsdNotice, NoticesOffMeansNothingAtAll) {
    RecordingPort port(0);
    ShowOsd(port, 0, 30, 500, 1);
    EXPECT_TRUE(port.Calls.empty());
}

}  // namespace
