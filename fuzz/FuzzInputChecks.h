#pragma once

// What every fuzz input must satisfy, shared by the fuzz targets (which abort
// on a violation) and the ordinary test suite (which replays the kept inputs
// and reports it). Each returns an empty string when the handler behaved, or
// what went wrong. The toolkit must be started; verbose is handed to the
// handlers' LoadFile.

#include <cstddef>
#include <cstdint>
#include <string>

/// The JPEG handler's load: it returns, with pixel data exactly when it says
/// it succeeded.
std::string CheckJpegLoad(const std::uint8_t* data, std::size_t size, bool verbose = false);

/// The TIFF handler's image count, first image and, in a multi-image file,
/// last image, from one seekable stream.
std::string CheckTiffLoad(const std::uint8_t* data, std::size_t size, bool verbose = false);

/// The input is a list of ICC records (fuzz/IccRecords.h) placed as APP2
/// markers into a small valid JPEG: it must load, with exactly the profile
/// an independent reassembly of the markers gives.
std::string CheckIccReassembly(const std::uint8_t* data, std::size_t size, bool verbose = false);
