#pragma once

#include <tiffio.h>

#include <cstdint>

/// What the strips or tiles of a TIFF directory hold and need, to tell a
/// picture from a header that only declares one.
struct TIFFDataBounds
{
    /// Coded bytes the stream really holds: each strip's or tile's declared
    /// count, cut at the stream's end; in all at most the stream's length.
    std::uint64_t presentBytes;
    /// The most that presentBytes can decode to under the directory's
    /// compression; the largest value when that compression has no bound.
    std::uint64_t mostDecodedBytes;
    /// The decoded bytes of the whole picture, as its strips or tiles hold it.
    std::uint64_t neededBytes;
    /// The largest buffer the library decodes one strip or tile (of every
    /// plane) into.
    std::uint64_t chunkBytes;
};

/// Measures the current directory of tiff, read from a stream of
/// streamLength bytes.
TIFFDataBounds MeasureTIFFDataBounds(TIFF* tiff, std::uint64_t streamLength);
