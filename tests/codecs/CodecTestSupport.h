#pragma once

#include "tests/support/RecordingLog.h"

#include <wx/image.h>
#include <wx/stream.h>

#include <cstdint>
#include <string>
#include <vector>

/// One JPEG segment between the start of image and the start of scan.
struct JpegSegment
{
    int code; // 0xE0 for APP0 and so on
    std::string data;
};
std::vector<JpegSegment> ReadJpegSegments(const std::string& jpeg);

/// A JPEG written by libjpeg itself. Pixels hold width x height x the
/// space's component count; app2 are raw APP2 marker payloads.
struct JpegFixture
{
    int width = 4;
    int height = 4;
    int colorSpace = 2; // J_COLOR_SPACE: 1 gray, 2 RGB, 4 CMYK, 5 YCCK
    std::vector<unsigned char> pixels;
    std::vector<std::string> app2;
};
std::string WriteJpeg(const JpegFixture& fixture);

/// An ICC APP2 payload: identifier, sequence, total and piece.
std::string IccMarker(int sequence, int total, const std::string& piece);

/// Bytes that never repeat in a short stretch, to show misplaced pieces.
std::string PatternBytes(size_t length, unsigned seed);

/// An RGB picture whose bytes vary by position.
wxImage MakeRgbImage(int width, int height);

/// The registry's handlers for our formats.
wxImageHandler* JpegHandler();
wxImageHandler* TiffHandler();

/// Saves with a handler into memory; false when the handler says so.
bool SaveToMemory(wxImageHandler* handler, wxImage& image, std::string* bytes, bool verbose = true);
bool LoadFromMemory(wxImageHandler* handler, wxImage& image, const std::string& bytes,
                    bool verbose = true, int index = -1);

/// The tag numbers of a TIFF's first directory, in file order.
std::vector<int> TiffTagNumbers(const std::string& tiff);
