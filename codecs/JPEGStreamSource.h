#pragma once

#include <cstdio>
#include <jpeglib.h>

class wxInputStream;

/// libjpeg source manager reading a toolkit input stream in 2048-byte
/// blocks. The read buffer belongs to the manager until its term callback.
struct JPEGStreamSource
{
    jpeg_source_mgr pub;
    JOCTET* buffer;
    wxInputStream* stream;
};

/// Attaches a source on stream to cinfo (allocated once, from the
/// permanent pool). May raise a fatal library error.
void AttachJPEGStreamSource(j_decompress_ptr cinfo, wxInputStream* stream) noexcept;
