#pragma once

#include <cstdint>
#include <cstdio>
#include <jpeglib.h>

/// Every scan makes the decoder walk all the blocks of its components
/// again, so a small file of many scans keeps a load busy for minutes. The
/// standard progressive script passes over each block about six times and
/// elaborate scripts stay under twenty; 32 passes leave room for those,
/// while a hostile file costs only a few times what a real one of its size
/// does.
constexpr int kJPEGMaxPassesPerBlock = 32;

/// libjpeg progress monitor that ends the decode, through the library's
/// fatal-error path and so the caller's recovery point, as soon as the
/// scans read so far have covered the picture's blocks more than
/// kJPEGMaxPassesPerBlock times. Plain data, set up by AttachJPEGScanLimit.
struct JPEGScanLimit
{
    jpeg_progress_mgr pub;
    int lastScan;              // the scan whose blocks were counted last
    std::uint64_t blockVisits; // blocks of every scan so far
    bool exceeded;             // the load ended here; lastScan is the scan
};

/// Hooks limit into cinfo and adds the library message it ends with; the
/// error manager must be set up before.
void AttachJPEGScanLimit(j_decompress_ptr cinfo, JPEGScanLimit* limit) noexcept;
