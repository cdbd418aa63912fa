#pragma once

// Random RGB pixels for the engine tests: noise reaches every weight, so a
// misplaced tap or row shows in the output.

#include <cstddef>
#include <random>
#include <vector>

struct Source
{
    int width, height;
    std::vector<unsigned char> pixels;
};

inline Source RandomSource(int width, int height, unsigned seed)
{
    Source source{width, height, std::vector<unsigned char>(std::size_t(width) * height * 3)};
    std::mt19937 random(seed);
    for (unsigned char& b : source.pixels)
        b = static_cast<unsigned char>(random() & 0xff);
    return source;
}
