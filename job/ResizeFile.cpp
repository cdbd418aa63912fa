#include "job/ResizeFile.h"

#include "codecs/qlImage.h"
#include "job/ByteOutputStream.h"
#include "job/ComputeTargetSize.h"
#include "job/LogCapture.h"
#include "job/LogLevelGuard.h"
#include "job/MapInterpolator.h"
#include "job/ReadSourceMetadata.h"
#include "job/SaveHandler.h"
#include "job/UpdateExif.h"
#include "job/WriteExifToBytes.h"
#include "platform/LargeBuffer.h"
#include "platform/ReplaceFileContents.h"
#include "resample/ResampleImage.h"

#include <wx/ffile.h>
#include <wx/filefn.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include <climits>
#include <cstdlib>
#include <exception>
#include <memory>
#include <new>
#include <string>
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

bool IsWithinImageLimits(const TargetSize& size)
{
    // The toolkit allocates width x height x 3 bytes in int arithmetic.
    return size.width <= INT_MAX && size.height <= INT_MAX &&
           size.width * size.height <= INT_MAX / 3;
}

/// Encodes image in memory with handler, as the toolkit's save by the name
/// outputPath would. Logs one line, sets message to it and returns false
/// when it fails.
bool Encode(qlImage& image, wxImageHandler& handler, const wxString& outputPath,
            std::string& encoded, wxString& message)
{
    wxString reason;
    {
        LogCapture capture;
        ByteOutputStream stream;
        // As the toolkit's save by file name does; the XPM handler names
        // its data after the file.
        image.SetOption(wxIMAGE_OPTION_FILENAME, outputPath);
        const bool saved = image.SaveFile(stream, handler.GetType());
        if (saved && stream.GetLastError() == wxSTREAM_NO_ERROR && stream.GetLength() > 0)
        {
            encoded = stream.TakeBytes();
            return true;
        }
        reason = ReasonOr(capture.Errors(), _("the image could not be encoded"));
    }
    message = wxString::Format(_("Can't save image to file '%s': %s."), outputPath, reason);
    wxLogError(wxT("%s"), message);
    return false;
}

/// Logs message at error level and returns a result that carries it.
ResizeResult Failed(ResizeResult result, const wxString& message)
{
    wxLogError(wxT("%s"), message);
    result.status = ResizeResult::Status::NotWritten;
    result.reason = message;
    return result;
}

ResizeResult RunJob(const wxString& sourcePath, const wxString& outputPath,
                    const ResizeRequest& request, const StopCheck& shouldStop)
{
    ResizeResult result;
    // Warnings while reading a source (a decoder's "corrupt data, recovered")
    // would drown the errors that matter.
    LogLevelGuard quietWhileReading(wxLOG_Error);

    qlImage source;
    {
        FileBytes fileBytes;
        wxString reason;
        if (!ReadWholeFile(sourcePath, fileBytes, reason) ||
            !Decode(sourcePath, fileBytes, source, reason))
        {
            result.reason = reason;
            return result;
        }
    }
    result.sourceWidth = source.GetWidth();
    result.sourceHeight = source.GetHeight();
    const std::vector<unsigned char> profile(source.GetICCProfile(),
                                             source.GetICCProfile() + source.GetICCProfileLength());
    source.SetICCProfile(nullptr, 0);

    // Read before anything is written: the output may be the source itself.
    wxString metadataError;
    const std::unique_ptr<Exiv2::Image> metadata = ReadMetadataOrNone(sourcePath, metadataError);
    quietWhileReading.Restore();

    const TargetSize size =
        ComputeTargetSize(source.GetWidth(), source.GetHeight(), request.value, request.dimension);
    result.targetWidth = size.width;
    result.targetHeight = size.height;
    const long long targetWidth = size.width;
    const long long targetHeight = size.height;
    if (size.width < 1 || size.height < 1)
        return Failed(
            result,
            wxString::Format(_("Can't resize '%s': the new size %lld x %lld is less than 1 pixel."),
                             sourcePath, targetWidth, targetHeight));
    if (!IsWithinImageLimits(size))
        return Failed(
            result,
            wxString::Format(_("Can't resize '%s' to %lld x %lld pixels: the image would be too "
                               "large."),
                             sourcePath, targetWidth, targetHeight));

    // Known before any resampling, so that a name no handler writes costs
    // no engine time.
    const wxString extension = request.formatExtension.empty()
                                   ? OutputExtension(outputPath)
                                   : request.formatExtension.Lower();
    wxImageHandler* handler = FindSaveHandler(extension);
    if (!handler)
        return Failed(
            result,
            wxString::Format(_("Can't save image to file '%s': unknown extension."), outputPath));

    const InterpolatorFilter filter =
        MapInterpolator(request.interpolator, source.GetWidth(), size.width);
    bool stopped = false;
    const StopCheck recordStop = [&] { return stopped = shouldStop && shouldStop(); };
    qlImage output = ResampleImage(recordStop, source, static_cast<int>(size.width),
                                   static_cast<int>(size.height), filter.radius, KaiserKernel,
                                   filter.kernelParameter);
    source.Destroy();
    if (stopped)
    {
        result.status = ResizeResult::Status::Stopped;
        return result;
    }
    if (!output.IsOk() || output.GetWidth() != size.width || output.GetHeight() != size.height)
        return Failed(result,
                      wxString::Format(_("Can't resize '%s' to %lld x %lld pixels: the resized "
                                         "image could not be created."),
                                       sourcePath, targetWidth, targetHeight));

    if (extension == wxT("jpg") || extension == wxT("jpeg"))
        output.SetOption(wxIMAGE_OPTION_QUALITY, request.jpegQuality);

    output.SetICCProfile(profile.data(), static_cast<std::uint32_t>(profile.size()));
    std::string bytes;
    wxString reason;
    const bool encoded = Encode(output, *handler, outputPath, bytes, reason);
    output.SetICCProfile(nullptr, 0);
    if (!encoded)
    {
        result.reason = reason;
        return result;
    }

    wxString exifWriteError;
    if (metadata && !metadata->exifData().empty())
    {
        try
        {
            Exiv2::ExifData& exifData = metadata->exifData();
            UpdateExif(exifData, static_cast<int>(size.width), static_cast<int>(size.height));
            bytes = WriteExifToBytes(bytes, exifData, profile);
        }
        catch (const std::exception& error)
        {
            exifWriteError = wxString::FromUTF8(error.what());
        }
    }

    wxString writeError;
    if (!ReplaceFileContents(outputPath, bytes.data(), bytes.size(), writeError))
        return Failed(result,
                      wxString::Format(_("Can't write file '%s': %s."), outputPath, writeError));
    result.status = ResizeResult::Status::Written;
    if (!exifWriteError.empty())
    {
        result.status = ResizeResult::Status::WrittenWithoutExif;
        result.reason = wxString::Format(
            _("The image '%s' was saved, but its metadata could not be written (%s)."), outputPath,
            exifWriteError);
        wxLogError(wxT("%s"), result.reason);
    }
    else if (!metadata)
    {
        result.status = ResizeResult::Status::WrittenWithoutExif;
        result.reason = metadataError;
    }
    return result;
}

} // namespace

ResizeResult ResizeFile(const wxString& sourcePath, const wxString& outputPath,
                        const ResizeRequest& request, const StopCheck& shouldStop)
{
    try
    {
        return RunJob(sourcePath, outputPath, request, shouldStop);
    }
    catch (const std::bad_alloc&)
    {
        return Failed({}, wxString::Format(_("Can't resize '%s': not enough memory."), sourcePath));
    }
    catch (const std::exception& error)
    {
        // The engine's worker threads may fail to start, or a band fail.
        return Failed({}, wxString::Format(_("Can't resize '%s': %s."), sourcePath,
                                           wxString::FromUTF8(error.what())));
    }
}
