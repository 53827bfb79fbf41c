#pragma once
// What the mouse holds, as the control tool's "state" prints it: attachment, ids, the
// profile and CPI level its keys selected, the profiles and global settings it stored from
// the host's writes, and the write failures it was told to produce.
#include <string>
#include <vector>

#include "MouseModel.h"

namespace simmouse {

std::vector<std::string> DescribeState(const MouseModel& mouse);

}  // namespace simmouse
