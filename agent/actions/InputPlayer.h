#pragma once
#include <vector>

#include "InputSteps.h"

// Types the steps into the system's input stream: keys with keybd_event, wheel notches
// with mouse_event at the pointer's position, pauses with Sleep.
void PlayInput(const std::vector<InputStep>& steps);
