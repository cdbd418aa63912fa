#pragma once

#include <cstdio>
#include <jpeglib.h>

/// Largest profile that fits the one-byte sequence number and count of the
/// APP2 markers.
constexpr unsigned long kICCMaxJpegProfileLength = 255UL * 65519UL;

/// Writes a profile as APP2 markers; call right after jpeg_start_compress so
/// that they follow the JFIF marker. The caller keeps profiles over
/// kICCMaxJpegProfileLength away.
void WriteICCProfile(j_compress_ptr cinfo, const unsigned char* profile,
                     unsigned int length) noexcept;
