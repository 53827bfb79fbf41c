// Any sequence of window messages that another program could post to the agent, decoded as
// the agent decodes them: device notices never grow the identifier list past its bound nor
// yield an identifier wider than 16 bits, nested requests all come out again in order, and
// a report's length is believed only within the longest report.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "DeviceIdList.h"
#include "FuzzBytes.h"
#include "InputReport.h"
#include "ReportQueue.h"
#include "RequestQueue.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzBytes input(data, size);
    DeviceIdList ids;
    RequestQueue requests;
    ReportQueue handoff(8, 9);
    std::vector<AgentRequest> admitted;
    std::vector<AgentRequest> ran;
    const std::uint8_t buffer[kMaxInputReportLength] = {3};

    while (input.Remaining() > 0) {
        const std::uint8_t kind = input.Byte();
        const std::uint32_t wParam = input.Word();
        const std::uint32_t lParam = input.Word();
        switch (kind % 4) {
            case 0:  // a device notice
                if (const auto event = DecodeMonitorMessage(wParam, static_cast<std::int32_t>(lParam))) {
                    Require(event->DeviceId <= 0xFFFF);
                    ApplyMonitorEvent(ids, *event);
                }
                Require(ids.Count() <= DeviceIdList::kMaxIds);
                break;
            case 1: {  // a request, nested in the one that runs or not
                const AgentRequest request =
                    wParam % 2
                        ? AgentRequest{AgentRequest::Kind::Apply, 0, ModeKind::CpiLevel, 0}
                        : AgentRequest{AgentRequest::Kind::ModeChange, static_cast<int>(lParam % 4), ModeKind::Profile};
                if (requests.Admit(request))
                    ran.push_back(request);
                else if (request.What == AgentRequest::Kind::Apply)
                    admitted.push_back(request);
                break;
            }
            case 2:  // the running request ends
                if (const auto next = requests.Finish()) ran.push_back(*next);
                break;
            case 3:  // a report from a library thread, and the wake-up that carries nothing
                if (AcceptableInputLength(lParam))
                    handoff.Offer(wParam, {buffer, std::max<std::size_t>(lParam, 9)}, lParam, [] { return true; });
                if (wParam % 3 == 0) {
                    while (const auto report = handoff.Take()) Require(report->Bytes.size() >= 9);
                }
                break;
        }
    }
    while (const auto next = requests.Finish()) ran.push_back(*next);
    Require(!requests.Busy());
    // Every apply that had to wait still ran.
    std::size_t applies = 0;
    for (const AgentRequest& request : ran) applies += request.What == AgentRequest::Kind::Apply;
    Require(applies >= admitted.size());
    return 0;
}
