#pragma once

#include <wx/string.h>

/// What became of one file. Every status but Written carries the reason in
/// words the user can act on; the reason does not repeat the file's name.
struct ResizeResult
{
    enum class Status
    {
        /// The output is complete, metadata included.
        Written,
        /// The output holds the resized image, but the source's Exif data
        /// could not be read or written into it.
        WrittenWithoutExif,
        /// Nothing was written; an older output, if any, is untouched.
        NotWritten,
        /// The user confirmed a stop while this file was being resampled:
        /// nothing was written, on purpose.
        Stopped,
    };

    Status status = Status::NotWritten;
    wxString reason;
    /// 0 x 0 until the source was decoded, and the target known.
    int sourceWidth = 0;
    int sourceHeight = 0;
    long long targetWidth = 0;
    long long targetHeight = 0;

    /// True when the output file now holds the resized image.
    bool IsWritten() const
    {
        return status == Status::Written || status == Status::WrittenWithoutExif;
    }
};
