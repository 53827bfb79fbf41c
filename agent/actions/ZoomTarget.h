#pragma once
// Which zoom input the window under the pointer understands, told by its window class and
// those of its parent and grandparent.
#include <string>
#include <vector>

#include "InputSteps.h"

enum class ZoomDirection { In, Out };

// Class names of the window under the pointer and of its parent and grandparent; empty
// where there is no such window or its class could not be read.
struct WindowLineage {
    std::wstring Self;
    std::wstring Parent;
    std::wstring Grandparent;
};

struct ZoomMarks {
    bool Document = false;
    bool UntabbedBrowser = false;
    bool TabbedBrowser = false;
    bool KeypadViewer = false;
    bool CtrlKeypadViewer = false;
    bool PaintView = false;
    bool PhotoView = false;

    bool operator==(const ZoomMarks&) const = default;
};

ZoomMarks MarkZoomTarget(const WindowLineage& lineage);

// The input for the first mark set, by priority; nothing for an unrecognised window.
std::vector<InputStep> ZoomInput(const ZoomMarks& marks, ZoomDirection direction);
