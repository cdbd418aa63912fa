#include "job/ResizeFile.h"

#include "codecs/qlImage.h"
#include "job/ByteOutputStream.h"
#include "job/ComputeTargetSize.h"
#include "job/LoadSource.h"
#include "job/LogCapture.h"
#include "job/LogRecorder.h"
#include "job/MapInterpolator.h"
#include "job/SaveHandler.h"
#include "job/SourcePrefetcher.h"
#include "job/UpdateExif.h"
#include "job/WriteExifToBytes.h"
#include "platform/ReplaceFileContents.h"
#include "resample/ResampleImage.h"

#include <wx/intl.h>
#include <wx/log.h>

#include <climits>
#include <cstdlib>
#include <exception>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace
{

wxString ReasonOr(const wxString& reason, const wxString& fallback)
{
    return reason.empty() ? fallback : reason;
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

/// The save handler's extension for outputPath under request.
wxString SaveExtension(const wxString& outputPath, const ResizeRequest& request)
{
    return request.formatExtension.empty() ? OutputExtension(outputPath)
                                           : request.formatExtension.Lower();
}

ResizeResult RunJob(LoadedSource& loaded, const wxString& outputPath, const ResizeRequest& request,
                    const StopCheck& shouldStop, ResampledAhead* ahead)
{
    ResizeResult result;
    LogRecorder::Replay(loaded.log);
    loaded.log.clear();
    if (!loaded.IsOk())
    {
        result.reason = loaded.failure;
        return result;
    }
    const wxString& sourcePath = loaded.sourcePath;
    qlImage& source = loaded.image;
    const std::vector<unsigned char>& profile = loaded.profile;
    const std::unique_ptr<Exiv2::Image>& metadata = loaded.metadata;
    const wxString& metadataError = loaded.metadataError;
    result.sourceWidth = source.GetWidth();
    result.sourceHeight = source.GetHeight();

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
    const wxString extension = SaveExtension(outputPath, request);
    wxImageHandler* handler = FindSaveHandler(extension);
    if (!handler)
        return Failed(
            result,
            wxString::Format(_("Can't save image to file '%s': unknown extension."), outputPath));

    const InterpolatorFilter filter =
        MapInterpolator(request.interpolator, source.GetWidth(), size.width);
    bool stopped = false;
    qlImage output;
    if (ahead)
    {
        // Resampled while the source was still being decoded, from the same
        // rows and with the same request: the same bytes.
        if (ahead->failure)
            std::rethrow_exception(ahead->failure);
        output = ahead->output;
        stopped = ahead->stopped;
    }
    else
    {
        const StopCheck recordStop = [&] { return stopped = shouldStop && shouldStop(); };
        output = ResampleImage(recordStop, source, static_cast<int>(size.width),
                               static_cast<int>(size.height), filter.radius, KaiserKernel,
                               filter.kernelParameter);
    }
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

ResizeResult ResizeLoaded(LoadedSource& source, const wxString& outputPath,
                          const ResizeRequest& request, const StopCheck& shouldStop,
                          ResampledAhead* ahead)
{
    const wxString sourcePath = source.sourcePath;
    try
    {
        return RunJob(source, outputPath, request, shouldStop, ahead);
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

ResizeResult ResizeStreaming(SourcePrefetcher& loader, const wxString& outputPath,
                             const StreamedRequest& requestFor, const StopCheck& shouldStop,
                             const std::function<void(bool goingOn)>& sourceTaken)
{
    int width = 0, height = 0;
    const unsigned char* pixels = loader.Progress().WaitForBuffer(width, height);
    std::optional<ResizeRequest> request;
    std::optional<ResampledAhead> ahead;
    if (pixels)
    {
        request = requestFor(width, height);
        const TargetSize size =
            ComputeTargetSize(width, height, request->value, request->dimension);
        // Anything the job would refuse is left to it, once the source is
        // whole: its messages then come in their usual order.
        if (size.width >= 1 && size.height >= 1 && IsWithinImageLimits(size) &&
            FindSaveHandler(SaveExtension(outputPath, *request)))
        {
            const InterpolatorFilter filter =
                MapInterpolator(request->interpolator, width, size.width);
            ahead.emplace();
            const StopCheck recordStop = [&]
            { return ahead->stopped = shouldStop && shouldStop(); };
            try
            {
                ahead->output = ResampleImage(
                    recordStop, pixels, width, height, static_cast<int>(size.width),
                    static_cast<int>(size.height), filter.radius, KaiserKernel,
                    filter.kernelParameter,
                    [&loader](int rows) { return loader.Progress().WaitForRows(rows); });
            }
            catch (...)
            {
                ahead->failure = std::current_exception();
            }
        }
    }
    LoadedSource source = loader.Take();
    if (sourceTaken)
        sourceTaken(!(ahead && ahead->stopped));
    if (!request)
    {
        const bool decoded = source.IsOk();
        request = requestFor(decoded ? source.image.GetWidth() : 0,
                             decoded ? source.image.GetHeight() : 0);
    }
    return ResizeLoaded(source, outputPath, *request, shouldStop, ahead ? &*ahead : nullptr);
}

ResizeResult ResizeFile(const wxString& sourcePath, const wxString& outputPath,
                        const ResizeRequest& request, const StopCheck& shouldStop)
{
    // The source is decoded on a thread of its own, so that its top rows
    // are resampled while its bottom rows are still being decoded.
    SourcePrefetcher loader;
    loader.Start(sourcePath);
    return ResizeStreaming(
        loader, outputPath, [&request](int, int) { return request; }, shouldStop);
}
