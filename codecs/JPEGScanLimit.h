#pragma once

#include <cstdio>
#include <jpeglib.h>

/// Real encoders write about ten scans and the most elaborate scan scripts
/// stay well under a hundred, while every scan makes the decoder walk all
/// the blocks of its components again: a small file of thousands of scans
/// could keep a load busy for minutes.
constexpr int kJPEGMaxScans = 1000;

/// libjpeg progress monitor that ends the decode, through the library's
/// fatal-error path and so the caller's recovery point, once the file has
/// started more than kJPEGMaxScans scans. exceeded tells the caller why.
struct JPEGScanLimit
{
    jpeg_progress_mgr pub;
    bool exceeded;
};

/// Hooks limit into cinfo and adds the library message it ends with; the
/// error manager must be set up before.
void AttachJPEGScanLimit(j_decompress_ptr cinfo, JPEGScanLimit* limit) noexcept;
