#pragma once

#include "codecs/qlImage.h"
#include "job/LogRecorder.h"

#include <exiv2/image.hpp>
#include <wx/string.h>

#include <memory>
#include <vector>

/// A source read and decoded, with what the output takes from it.
struct LoadedSource
{
    wxString sourcePath;
    /// Without its ICC profile, which is in profile.
    qlImage image;
    std::vector<unsigned char> profile;
    /// The source's metadata, or null when the library cannot read it; then
    /// metadataError says so, naming the file.
    std::unique_ptr<Exiv2::Image> metadata;
    wxString metadataError;
    /// Not empty when the source could not be read or decoded: the line that
    /// names the file and says why. image is then not OK.
    wxString failure;
    /// The errors logged while loading, for the caller to replay when the
    /// file's turn comes.
    std::vector<LogRecorder::Record> log;

    bool IsOk() const { return failure.empty() && image.IsOk(); }
};

/// Reads the whole file at sourcePath, decodes it through the registry and
/// reads its metadata. May run on any thread: what it logs is recorded in
/// the result instead of reaching the log. The thread's RowProgress, if it
/// has one, hears of the decoder's rows and of its end.
LoadedSource LoadSource(const wxString& sourcePath);
