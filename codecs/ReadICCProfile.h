#pragma once

#include <cstdio>
#include <jpeglib.h>

/// Reassembles the ICC profile from the APP2 markers that libjpeg kept.
/// On success *profile is a malloc'd block the caller frees and *length its
/// size; otherwise both are cleared and the answer is false.
bool ReadICCProfile(j_decompress_ptr cinfo, unsigned char** profile, unsigned int* length) noexcept;
