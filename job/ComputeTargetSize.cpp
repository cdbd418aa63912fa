#include "job/ComputeTargetSize.h"

namespace
{

TargetSize WidthRule(std::int64_t width, std::int64_t height, std::int64_t value)
{
    return {value, height * value / width};
}

TargetSize HeightRule(std::int64_t width, std::int64_t height, std::int64_t value)
{
    return {width * value / height, value};
}

// The percent factor is the single-precision value nearest to 0.01, exactly
// 5368709 / 2^29, slightly below 0.01: 100 % of 640 lands just under 640 and
// truncates to 639. The product side x value is exact in 64 bits; it is
// split at 2^29 so that multiplying by the numerator cannot overflow.
std::int64_t ScaleByPercent(std::int64_t side, std::int64_t value)
{
    constexpr std::int64_t numerator = 5368709;
    constexpr int shift = 29;
    const std::int64_t product = side * value;
    const std::uint64_t magnitude =
        product < 0 ? 0 - static_cast<std::uint64_t>(product) : static_cast<std::uint64_t>(product);
    const std::uint64_t high = magnitude >> shift;
    const std::uint64_t low = magnitude & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t scaled = high * numerator + ((low * numerator) >> shift);
    return product < 0 ? -static_cast<std::int64_t>(scaled) : static_cast<std::int64_t>(scaled);
}

} // namespace

TargetSize ComputeTargetSize(int sourceWidth, int sourceHeight, int value,
                             ResizeDimension dimension)
{
    const std::int64_t width = sourceWidth;
    const std::int64_t height = sourceHeight;
    switch (dimension)
    {
    case ResizeDimension::Width:
        return WidthRule(width, height, value);
    case ResizeDimension::Height:
        return HeightRule(width, height, value);
    case ResizeDimension::LongerSide:
        return width > height ? WidthRule(width, height, value) : HeightRule(width, height, value);
    case ResizeDimension::ShorterSide:
        return width < height ? WidthRule(width, height, value) : HeightRule(width, height, value);
    case ResizeDimension::Percent:
        return {ScaleByPercent(width, value), ScaleByPercent(height, value)};
    }
    return {width, height};
}
