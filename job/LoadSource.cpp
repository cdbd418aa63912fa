#include "job/LoadSource.h"

#include "codecs/RowProgress.h"

#include "job/LogCapture.h"
#include "job/LogRecorder.h"
#include "job/ReadSourceMetadata.h"
#include "platform/LargeBuffer.h"

#include <wx/ffile.h>
#include <wx/filefn.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include <cstdlib>
#include <exception>
#include <new>
#include <vector>

namespace
{

// For bytes that are read over at once: not cleared first, and in huge
// pages when there are many.
template <typename T> struct UnclearedAllocator
{
    using value_type = T;
    UnclearedAllocator() = default;
    template <typename U> UnclearedAllocator(const UnclearedAllocator<U>&) noexcept {}
    T* allocate(std::size_t n)
    {
        if (n > std::size_t(-1) / sizeof(T))
            throw std::bad_alloc();
        auto* memory = reinterpret_cast<T*>(AllocateLargeBuffer(n * sizeof(T)));
        if (memory == nullptr)
            throw std::bad_alloc();
        return memory;
    }
    void deallocate(T* memory, std::size_t) noexcept { std::free(memory); }
    template <typename U> void construct(U* at) noexcept { ::new (static_cast<void*>(at)) U; }
    template <typename U> bool operator==(const UnclearedAllocator<U>&) const noexcept
    {
        return true;
    }
    template <typename U> bool operator!=(const UnclearedAllocator<U>&) const noexcept
    {
        return false;
    }
};

using FileBytes = std::vector<unsigned char, UnclearedAllocator<unsigned char>>;

wxString ReasonOr(const wxString& reason, const wxString& fallback)
{
    return reason.empty() ? fallback : reason;
}

/// Reads the whole file at path; logs one line, sets message to it and
/// returns false when it cannot.
bool ReadWholeFile(const wxString& path, FileBytes& bytes, wxString& message)
{
    wxString reason;
    {
        LogCapture capture;
        wxFFile file(path, wxT("rb"));
        if (!file.IsOpened())
        {
            // The toolkit's own line already names the file: it goes on as
            // it was logged.
            message = capture.Errors();
            reason = _("it cannot be opened");
        }
        else
        {
            // A folder opens like a file and reports an absurd length, which
            // would be allocated before the first read fails.
            const wxFileOffset length = wxDirExists(path) ? wxInvalidOffset : file.Length();
            if (length >= 0)
            {
                bytes.resize(static_cast<size_t>(length));
                if (file.Read(bytes.data(), bytes.size()) == bytes.size())
                    return true;
                reason = ReasonOr(capture.Errors(), _("the file ended early"));
            }
            else
                reason = ReasonOr(capture.Errors(), _("its length is unknown"));
        }
    }
    if (message.empty())
        message = wxString::Format(_("Can't read file '%s': %s."), path, reason);
    wxLogError(wxT("%s"), message);
    return false;
}

/// Decodes bytes through the registry into image; logs one line naming the
/// file, sets message to it and returns false when no handler gives an
/// image with pixels.
bool Decode(const wxString& path, const FileBytes& bytes, qlImage& image, wxString& message)
{
    wxString reason;
    {
        LogCapture capture;
        wxMemoryInputStream stream(bytes.data(), bytes.size());
        if (image.LoadFile(stream, wxBITMAP_TYPE_ANY, -1) && image.GetWidth() > 0 &&
            image.GetHeight() > 0)
            return true;
        reason = ReasonOr(capture.Errors(), _("unknown image format"));
    }
    message = wxString::Format(_("Can't load image from file '%s': %s."), path, reason);
    wxLogError(wxT("%s"), message);
    return false;
}

/// Source metadata, or none when the library cannot read it: the image is
/// then still resized, and the output goes without Exif data. The line
/// logged then is also put in message.
std::unique_ptr<Exiv2::Image> ReadMetadataOrNone(const wxString& sourcePath, wxString& message)
{
    try
    {
        return ReadSourceMetadata(sourcePath);
    }
    catch (const std::exception& error)
    {
        message = wxString::Format(
            _("Can't read the metadata of '%s' (%s); its resized image gets no Exif data."),
            sourcePath, wxString::FromUTF8(error.what()));
        wxLogError(wxT("%s"), message);
        return nullptr;
    }
}

} // namespace

LoadedSource LoadSource(const wxString& sourcePath)
{
    LoadedSource loaded;
    loaded.sourcePath = sourcePath;
    // Only errors are kept: they are what the user needs, and this may run
    // on a thread of its own, whose messages must wait for the file's turn.
    LogRecorder recorder;
    try
    {
        {
            // A reader waiting for rows learns of the end of the decoding as
            // soon as it comes, whatever happens after.
            struct EndProgress
            {
                ~EndProgress()
                {
                    if (RowProgress* progress = RowProgress::ForThisThread())
                        progress->End();
                }
            } endProgress;
            FileBytes fileBytes;
            if (!ReadWholeFile(sourcePath, fileBytes, loaded.failure) ||
                !Decode(sourcePath, fileBytes, loaded.image, loaded.failure))
            {
                loaded.image.Destroy();
                loaded.log = recorder.Finish();
                return loaded;
            }
        }
        loaded.profile.assign(loaded.image.GetICCProfile(),
                              loaded.image.GetICCProfile() + loaded.image.GetICCProfileLength());
        loaded.image.SetICCProfile(nullptr, 0);
        // Read before anything is written: the output may be the source itself.
        loaded.metadata = ReadMetadataOrNone(sourcePath, loaded.metadataError);
    }
    catch (const std::bad_alloc&)
    {
        loaded = LoadedSource();
        loaded.sourcePath = sourcePath;
        loaded.failure = wxString::Format(_("Can't resize '%s': not enough memory."), sourcePath);
        wxLogError(wxT("%s"), loaded.failure);
    }
    catch (const std::exception& error)
    {
        loaded = LoadedSource();
        loaded.sourcePath = sourcePath;
        loaded.failure = wxString::Format(_("Can't resize '%s': %s."), sourcePath,
                                          wxString::FromUTF8(error.what()));
        wxLogError(wxT("%s"), loaded.failure);
    }
    loaded.log = recorder.Finish();
    return loaded;
}
