#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "SettingsToolContract.h"
#include "SettingsUpload.h"
#include "UploadTestSettings.h"

namespace {

constexpr std::uint32_t kDevice = 0x11;
constexpr int kWriteDelay = 10;

// What an upload did, in order: a write (with the report) or a pause.
struct Step {
    bool IsWrite;
    int Ms;
    OutputReport Report;
    std::uint32_t Device;
};

class RecordingWriter : public DeviceReportWriter {
public:
    // Whether the write with this zero-based number succeeds.
    std::function<bool(int)> Succeeds = [](int) { return true; };
    std::vector<Step> Steps;

    bool WriteReport(std::uint32_t deviceId, const OutputReport& report) override {
        Steps.push_back({true, 0, report, deviceId});
        return Succeeds(writes_++);
    }
    void Pause(int milliseconds) override { Steps.push_back({false, milliseconds, {}, 0}); }

    std::vector<OutputReport> Writes() const {
        std::vector<OutputReport> writes;
        for (const Step& step : Steps) {
            if (step.IsWrite) writes.push_back(step.Report);
        }
        return writes;
    }
    // "W" for a write, the milliseconds for a pause: "W 10 W 10 500".
    std::string Trace() const {
        std::string trace;
        for (const Step& step : Steps) {
            if (!trace.empty()) trace += ' ';
            trace += step.IsWrite ? "W" : std::to_string(step.Ms);
        }
        return trace;
    }

private:
    int writes_ = 0;
};

std::string Repeat(const std::string& part, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += (i ? " " : "") + part;
    return text;
}

bool IsHeader(const OutputReport& report, int profileIndex) {
    return report[1] == 7 && report[2] == 2 && report[3] == profileIndex + 1 && report[29] == 0x55;
}

TEST(WriteProfileReports, WritesHeaderParametersAndPagesEachFollowedByTheWriteDelay) {
    SettingsImage settings = DefaultSettings();
    settings.Groups[1].DPI = 2;
    settings.Groups[1].Buttons[0].ButtonFunc = kRunProgramFunc;
    RecordingWriter writer;
    EXPECT_EQ(WriteProfileReports(writer, kDevice, settings, 1, kWriteDelay), settings_tool::kApplySent);

    EXPECT_EQ(writer.Trace(), Repeat("W 10", 26));
    const std::vector<OutputReport> writes = writer.Writes();
    EXPECT_TRUE(IsHeader(writes[0], 1));
    EXPECT_EQ(writes[1][1], 2);
    // Button 1 is slot 2: page 6 starts with its record.
    EXPECT_EQ(writes[2 + 6][1], 0x04);
    EXPECT_EQ(writes[2 + 6][4], 0xF6);
    for (const Step& step : writer.Steps) {
        if (step.IsWrite) {
            EXPECT_EQ(step.Device, kDevice);
        }
    }
}

TEST(WriteProfileReports, FailedPageRestartsFromTheHeaderAfterTheLongPause) {
    RecordingWriter writer;
    // Write 7 is page 5 of the first attempt.
    writer.Succeeds = [](int write) { return write != 7; };
    EXPECT_EQ(WriteProfileReports(writer, kDevice, DefaultSettings(), 0, kWriteDelay), settings_tool::kApplySent);

    EXPECT_EQ(writer.Trace(), Repeat("W 10", 8) + " 500 " + Repeat("W 10", 26));
    const std::vector<OutputReport> writes = writer.Writes();
    EXPECT_TRUE(IsHeader(writes[8], 0));
    // The second attempt sends the same reports as the first.
    EXPECT_TRUE(std::equal(writes.begin(), writes.begin() + 8, writes.begin() + 8));
}

TEST(WriteProfileReports, ThreeFailedAttemptsReportAWriteFailure) {
    RecordingWriter writer;
    writer.Succeeds = [](int) { return false; };
    EXPECT_EQ(WriteProfileReports(writer, kDevice, DefaultSettings(), 2, kWriteDelay),
              settings_tool::kApplyWriteFailed);
    EXPECT_EQ(writer.Trace(), Repeat("W 10 500", 3));
    for (const OutputReport& write : writer.Writes()) EXPECT_TRUE(IsHeader(write, 2));
}

TEST(WriteProfileReports, PausesScaleWithTheWriteDelay) {
    RecordingWriter writer;
    writer.Succeeds = [](int write) { return write != 0; };
    EXPECT_EQ(WriteProfileReports(writer, kDevice, DefaultSettings(), 0, 3), settings_tool::kApplySent);
    EXPECT_EQ(writer.Trace(), "W 3 150 " + Repeat("W 3", 26));
}

TEST(WriteProfileReports, IndexOutsideTheProfilesUploadsTheFirst) {
    SettingsImage settings = DefaultSettings();
    settings.Groups[0].DPI = 1;
    for (int index : {-1, 3}) {
        RecordingWriter writer;
        EXPECT_EQ(WriteProfileReports(writer, kDevice, settings, index, kWriteDelay), settings_tool::kApplySent);
        EXPECT_TRUE(IsHeader(writer.Writes()[0], 0)) << "index " << index;
        EXPECT_EQ(writer.Writes()[1][1], 1) << "index " << index;
    }
}

TEST(WriteGlobalSettingsReport, RetriesAfterTheShortBackOff) {
    SettingsImage settings = DefaultSettings();
    settings.Profile = 1;
    RecordingWriter writer;
    writer.Succeeds = [](int write) { return write == 1; };
    EXPECT_EQ(WriteGlobalSettingsReport(writer, kDevice, settings, kWriteDelay), settings_tool::kApplySent);
    EXPECT_EQ(writer.Trace(), "W 10 100 W 10");
    EXPECT_EQ(writer.Writes()[1][3], 2);
    EXPECT_EQ(writer.Steps[0].Device, kDevice);
}

TEST(WriteGlobalSettingsReport, ThreeFailedTriesReportAWriteFailure) {
    RecordingWriter writer;
    writer.Succeeds = [](int) { return false; };
    EXPECT_EQ(WriteGlobalSettingsReport(writer, kDevice, DefaultSettings(), kWriteDelay),
              settings_tool::kApplyWriteFailed);
    EXPECT_EQ(writer.Trace(), Repeat("W 10 100", 3));
}

}  // namespace
