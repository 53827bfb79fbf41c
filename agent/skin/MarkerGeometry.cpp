#include "MarkerGeometry.h"

#include <algorithm>
#include <cstdint>

int PositionOrMinimum(int value, int minimum, int maximum) {
    return value >= minimum && value <= maximum ? value : minimum;
}

int FillWidth(int width, int position, int minimum, int maximum) {
    if (width <= 0 || maximum <= minimum) return 0;
    // 64 bits: width times a wide range does not fit 32.
    const std::int64_t fill =
        std::int64_t{width} * (std::int64_t{position} - minimum) / (std::int64_t{maximum} - minimum);
    return static_cast<int>(std::clamp<std::int64_t>(fill, 0, width));
}

int PositionAtX(int x, int left, int right, int minimum, int maximum) {
    if (right <= left || maximum <= minimum) return minimum;
    x = std::max(x, left);
    const std::int64_t position =
        minimum + (std::int64_t{maximum} - minimum) * (std::int64_t{x} - left) / (std::int64_t{right} - left);
    return static_cast<int>(std::clamp<std::int64_t>(position, minimum, maximum));
}
