#pragma once

#include <cstdio>
#include <jpeglib.h>

class wxInputStream;

/// libjpeg source manager reading a toolkit input stream in 2048-byte
/// blocks. The manager and its read buffer live in the decompression
/// object's permanent pool; its term callback only rewinds the stream.
struct JPEGStreamSource
{
    jpeg_source_mgr pub;
    JOCTET* buffer;
    wxInputStream* stream;
};

/// Attaches a source on stream to cinfo (allocated once, from the
/// permanent pool). May raise the library's out-of-memory error.
void AttachJPEGStreamSource(j_decompress_ptr cinfo, wxInputStream* stream) noexcept;
