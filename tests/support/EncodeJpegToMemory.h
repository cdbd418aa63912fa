#pragma once

// The one libjpeg writer of the tests, the fuzz seeds and the bomb files:
// every JPEG they make in code goes through here, so that a fixture's bytes
// depend only on the options it names. Toolkit-free, so that the tools
// outside the test suite can link it.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

/// A marker for the encoder to write after its own JFIF or Adobe marker.
struct JpegMarker
{
    int code; ///< 0xE1 for APP1, 0xE2 for APP2, 0xFE for a comment
    std::string payload;
};

struct JpegEncoding
{
    std::uint32_t width = 16;
    std::uint32_t height = 16;
    /// The samples' colour space, a J_COLOR_SPACE: 1 gray, 2 RGB, 4 CMYK.
    int inputSpace = 2;
    /// The colour space in the file; 0 (JCS_UNKNOWN) takes libjpeg's
    /// default for the input, 5 (JCS_YCCK) stores CMYK samples as YCCK.
    int storedSpace = 0;
    /// Sample channel of the pixel at (x, y); channel is below the input's
    /// component count.
    std::function<unsigned char(std::uint32_t x, std::uint32_t y, int channel)> sample;
    int quality = 75; ///< libjpeg's own default
    bool progressive = false;
    bool arithmetic = false;
    bool optimize = false;        ///< Huffman tables fitted to the picture
    bool fullChroma = false;      ///< no chroma subsampling
    unsigned restartInterval = 0; ///< in MCUs; 0: none
    std::vector<JpegMarker> markers;
};

/// The number of samples per pixel of a J_COLOR_SPACE input: 1, 3 or 4.
int JpegComponents(int inputSpace);

/// The picture coded by libjpeg into memory, one generated row at a time.
/// Options libjpeg refuses end the process with the library's message.
std::string EncodeJpegToMemory(const JpegEncoding& encoding);
