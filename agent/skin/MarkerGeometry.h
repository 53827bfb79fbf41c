#pragma once
// The arithmetic of the bar control: which positions it keeps, how wide the fill is and
// which position a mouse point means. A range whose maximum is not above its minimum, or
// a bar without width, fills nothing and maps every point to the minimum.

// value if it lies within minimum..maximum, else the minimum (not the nearer end).
int PositionOrMinimum(int value, int minimum, int maximum);

// Pixel columns of a width-wide bar that show the full image at position; 0..width.
int FillWidth(int width, int position, int minimum, int maximum);

// The position under horizontal coordinate x of a bar from left to right, truncating,
// within minimum..maximum.
int PositionAtX(int x, int left, int right, int minimum, int maximum);
