#include "MouseState.h"

#include "ReportText.h"

namespace simmouse {

namespace {

std::string DescribeFailure(FailurePlan plan) {
    switch (plan.kind) {
        case FailurePlan::Kind::None: return "none";
        case FailurePlan::Kind::All: return "all";
        case FailurePlan::Kind::Nth: return "write " + std::to_string(plan.remaining) + " from now";
    }
    return "none";
}

std::string HexWord(std::uint32_t value) {
    const std::uint8_t bytes[] = {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
    std::string text = FormatHex(bytes);
    text.erase(2, 1);
    return text;
}

}  // namespace

std::vector<std::string> DescribeState(const MouseModel& mouse) {
    std::vector<std::string> lines;
    lines.push_back(std::string("attached: ") + (mouse.Attached() ? "yes" : "no"));
    lines.push_back("vendor: " + HexWord(mouse.VendorId()) + " product: " + HexWord(mouse.ProductId()));
    lines.push_back("profile: " + std::to_string(mouse.CurrentProfile() + 1));
    lines.push_back("cpi: " + std::to_string(mouse.CpiLevel()));
    std::string stored;
    for (std::size_t slot = 0; slot < kProfileCount; ++slot) {
        if (!mouse.Profile(slot)) continue;
        if (!stored.empty()) stored += ' ';
        stored += std::to_string(slot + 1);
    }
    lines.push_back("stored: " + (stored.empty() ? std::string("none") : stored));
    lines.push_back(std::string("upload: ") + (mouse.UploadInProgress() ? "in progress" : "idle"));
    if (const auto& global = mouse.Global()) {
        std::string line = "global: profile=" + std::to_string(global->profileNumber) + " polling-rate=" +
                           (global->pollingRateCode ? std::to_string(*global->pollingRateCode) : std::string("?"));
        lines.push_back(line + " report=" + FormatHex(global->report));
    } else {
        lines.push_back("global: none");
    }
    lines.push_back("fail: " + DescribeFailure(mouse.Failure()));
    return lines;
}

}  // namespace simmouse
