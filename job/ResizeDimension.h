#pragma once

/// How the user gives the new size. The values are the "New size" radio
/// box's indexes and the numbers stored as "ResizeDimension".
enum class ResizeDimension
{
    Width = 0,
    Height = 1,
    LongerSide = 2,
    ShorterSide = 3,
    Percent = 4,
};

/// How many choices there are; a stored number outside [0, count) is none.
constexpr int ResizeDimensionCount = 5;
