#pragma once
#include "ZoomTarget.h"

// Zooms the application under the pointer with the input it understands; an application
// the agent does not recognise gets nothing.
void ZoomAtCursor(ZoomDirection direction);
