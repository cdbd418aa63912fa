#pragma once

#include <cstdio>
#include <jpeglib.h>

class wxOutputStream;

/// libjpeg destination manager writing a toolkit output stream in
/// 4096-byte blocks from the library's per-image pool.
struct JPEGStreamDestination
{
    jpeg_destination_mgr pub;
    wxOutputStream* stream;
    JOCTET* buffer;
};

/// Attaches a destination on stream to cinfo (allocated once, from the
/// permanent pool). A stream that fails to take the bytes raises the
/// library's fatal write error, so a failed save never looks like success.
void AttachJPEGStreamDestination(j_compress_ptr cinfo, wxOutputStream* stream) noexcept;
