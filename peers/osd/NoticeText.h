#pragma once
// The words the on-screen display shows for each notice of the agent.
#include <string>

// Empty for a message or code the display does not know.
std::wstring NoticeText(unsigned message, int code, int value);
