#pragma once
// The mouse model of the virtual mouse, rebuilt from the driver's log: the driver keeps the
// traffic (writes, plugs, unplugs) and the control tool's notes of key presses in one
// numbered log; replaying it in order gives what the mouse stored and selected, however
// many processes drove it.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "MouseModel.h"
#include "ReportText.h"
#include "VirtualMouseControl.h"

namespace virtualmouse {

// The note a key press that changes the mouse's selection leaves in the log.
std::string ProfileKeyNote(int number);
std::string CpiKeyNote(int number);

// The model after every entry of the log, attached as the driver says it is now (the log
// may have lost its oldest entries).
simmouse::MouseModel ReplayModel(std::span<const vmouse_log_entry> log, std::uint32_t vendorId, bool attachedNow);

// The driver's write plan in the model's terms: pass `pass` writes, then fail `fail`.
simmouse::FailurePlan FailurePlanOf(std::uint32_t pass, std::uint32_t fail);

// A write the mouse received: the collection's number (Tern7Layout.h), whether the mouse
// took it (not for a collection that was gone), and its bytes.
struct LoggedWrite {
    std::uint32_t Collection = 0;
    bool Ok = false;
    simmouse::Bytes Bytes;
};

// The writes from sequence `from` on.
std::vector<LoggedWrite> WritesFrom(std::span<const vmouse_log_entry> log, std::uint32_t from);

// The same, one line each, as the tool's log prints them: "write 3 ok 00 07 ...",
// "write 3 failed ...".
std::vector<std::string> WriteLines(std::span<const vmouse_log_entry> log, std::uint32_t from);

}  // namespace virtualmouse
