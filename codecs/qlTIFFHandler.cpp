#include "codecs/qlTIFFHandler.h"

#include "codecs/DecodeLimits.h"
#include "codecs/TIFFDataBounds.h"
#include "codecs/TIFFLogHandlers.h"
#include "codecs/TIFFStreamProcs.h"
#include "codecs/qlImage.h"

#include <wx/intl.h>
#include <wx/log.h>
#include <wx/stream.h>

#include <algorithm>
#include <cstdint>
#include <memory>

wxIMPLEMENT_DYNAMIC_CLASS(qlTIFFHandler, wxImageHandler);

namespace
{

struct TIFFCloser
{
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TIFFHandle = std::unique_ptr<TIFF, TIFFCloser>;

struct TIFFFreer
{
    void operator()(void* block) const { _TIFFfree(block); }
};
template <typename T> using TIFFBlock = std::unique_ptr<T, TIFFFreer>;

void ReportIf(bool verbose, const wxString& message)
{
    if (verbose)
        wxLogError(message);
}

// Refuses, with one message, a picture whose buffers are too large or whose
// data could make up only a sliver of it, before anything is allocated for
// it. The raster's byte count fits in 32 bits below the pixel limit.
bool RefuseDeclaredImage(TIFF* tiff, wxInputStream& stream, std::uint32_t width,
                         std::uint32_t height, bool alpha, bool verbose)
{
    const std::uint64_t pixels = std::uint64_t(width) * height;
    const std::uint64_t imageBytes = pixels * (alpha ? 4 : 3);
    if (DecodeLimits::Judge(width, height, imageBytes, 0) == DecodeLimits::Verdict::TooManyPixels)
    {
        ReportIf(verbose,
                 wxString::Format(_("TIFF: image of %u x %u pixels is too large."), width, height));
        return true;
    }

    const wxFileOffset length = stream.GetLength();
    const TIFFDataBounds bounds = MeasureTIFFDataBounds(
        tiff, length == wxInvalidOffset ? UINT64_MAX : static_cast<std::uint64_t>(length));
    const std::uint64_t raster = pixels * 4;
    const std::uint64_t work =
        bounds.chunkBytes > UINT64_MAX - raster ? UINT64_MAX : raster + bounds.chunkBytes;
    if (DecodeLimits::Judge(width, height, imageBytes, work) != DecodeLimits::Verdict::Fits)
    {
        ReportIf(verbose, wxString::Format(_("TIFF: image of %u x %u pixels is too large for this "
                                             "computer's memory."),
                                           width, height));
        return true;
    }
    if (DecodeLimits::BlockFarExceedsPicture(bounds.chunkBytes, raster))
    {
        ReportIf(verbose, wxString::Format(_("TIFF: image of %u x %u pixels declares strips or "
                                             "tiles of %llu bytes, far more than it can hold."),
                                           width, height,
                                           static_cast<unsigned long long>(bounds.chunkBytes)));
        return true;
    }
    // What a decode costs is its data: many samples per pixel make that far
    // more than the pixel count says, so the larger of the two is judged.
    const std::uint64_t cost = std::max<std::uint64_t>(pixels, bounds.neededBytes / 3);
    if (length != wxInvalidOffset &&
        DecodeLimits::HoldsFarTooLittleData(cost, bounds.mostDecodedBytes, bounds.neededBytes))
    {
        ReportIf(verbose, wxString::Format(_("TIFF: the file declares %u x %u pixels but holds "
                                             "only %llu bytes of image data."),
                                           width, height,
                                           static_cast<unsigned long long>(bounds.presentBytes)));
        return true;
    }
    return false;
}

} // namespace

qlTIFFHandler::qlTIFFHandler()
{
    m_name = wxT("TIFF file");
    m_extension = wxT("tif");
    m_type = wxBITMAP_TYPE_TIF;
    m_mime = wxT("image/tiff");

    TIFFSetWarningHandler(TIFFWarningToLog);
    TIFFSetErrorHandler(TIFFErrorToLog);
}

bool qlTIFFHandler::LoadFile(wxImage* image, wxInputStream& stream, bool verbose, int index)
{
    if (index == -1)
        index = 0;
    image->Destroy();

    TIFFHandle tiff(OpenTIFFInputStream(&stream));
    if (!tiff)
    {
        ReportIf(verbose, _("TIFF: Error loading image."));
        return false;
    }
    if (index < 0 || !TIFFSetDirectory(tiff.get(), static_cast<tdir_t>(index)))
    {
        ReportIf(verbose, _("Invalid TIFF image index."));
        return false;
    }

    std::uint32_t width = 0, height = 0;
    TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height);

    std::uint16_t photometric = 0;
    std::uint32_t profileLength = 0;
    void* profile = nullptr;
    if (TIFFGetField(tiff.get(), TIFFTAG_PHOTOMETRIC, &photometric) &&
        photometric == PHOTOMETRIC_RGB &&
        TIFFGetField(tiff.get(), TIFFTAG_ICCPROFILE, &profileLength, &profile))
    {
        if (auto* target = dynamic_cast<qlImage*>(image))
            target->SetICCProfile(static_cast<const unsigned char*>(profile), profileLength);
    }

    std::uint16_t extraCount = 0;
    std::uint16_t* extraKinds = nullptr;
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_EXTRASAMPLES, &extraCount, &extraKinds);
    const bool alpha =
        extraCount == 1 && extraKinds != nullptr &&
        (extraKinds[0] == EXTRASAMPLE_ASSOCALPHA || extraKinds[0] == EXTRASAMPLE_UNASSALPHA);

    // The reader skips strips it cannot decode and would hand back a
    // picture of none of the file's data.
    std::uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_COMPRESSION, &compression);
    if (!TIFFIsCODECConfigured(compression))
    {
        ReportIf(verbose,
                 wxString::Format(_("TIFF: compression scheme %u is not supported."), compression));
        return false;
    }
    if (RefuseDeclaredImage(tiff.get(), stream, width, height, alpha, verbose))
        return false;
    const std::uint64_t pixels = std::uint64_t(width) * height;
    TIFFBlock<std::uint32_t> raster(
        static_cast<std::uint32_t*>(_TIFFmalloc(static_cast<tmsize_t>(pixels * 4))));
    if (!raster)
    {
        ReportIf(verbose, _("TIFF: Couldn't allocate memory."));
        return false;
    }

    image->Create(static_cast<int>(width), static_cast<int>(height), true);
    if (!image->IsOk())
    {
        ReportIf(verbose, _("TIFF: Couldn't allocate memory."));
        return false;
    }
    if (alpha)
        image->SetAlpha();

    if (!TIFFReadRGBAImage(tiff.get(), width, height, raster.get(), 0))
    {
        ReportIf(verbose, _("TIFF: Error reading image."));
        image->Destroy();
        return false;
    }

    // The library's raster starts at the bottom row.
    unsigned char* rgb = image->GetData();
    unsigned char* alphaPlane = alpha ? image->GetAlpha() : nullptr;
    for (std::uint32_t i = 0; i < height; ++i)
    {
        const std::uint32_t* word = raster.get() + std::uint64_t(i) * width;
        const std::uint64_t row = std::uint64_t(height - 1 - i) * width;
        for (std::uint32_t x = 0; x < width; ++x)
        {
            const std::uint32_t value = word[x];
            unsigned char* out = rgb + (row + x) * 3;
            out[0] = static_cast<unsigned char>(TIFFGetR(value));
            out[1] = static_cast<unsigned char>(TIFFGetG(value));
            out[2] = static_cast<unsigned char>(TIFFGetB(value));
            if (alphaPlane)
                alphaPlane[row + x] = static_cast<unsigned char>(TIFFGetA(value));
        }
    }
    return true;
}

int qlTIFFHandler::DoGetImageCount(wxInputStream& stream)
{
    TIFFHandle tiff(OpenTIFFInputStream(&stream));
    if (!tiff)
        return 0;
    int count = 1;
    while (TIFFReadDirectory(tiff.get()))
        ++count;
    return count;
}

bool qlTIFFHandler::SaveFile(wxImage* image, wxOutputStream& stream, bool verbose)
{
    TIFFBlock<unsigned char> packed;
    TIFFHandle tiff(OpenTIFFOutputStream(&stream));
    if (!tiff)
    {
        ReportIf(verbose, _("TIFF: Error saving image."));
        return false;
    }
    TIFF* t = tiff.get();

    const std::uint32_t width = static_cast<std::uint32_t>(image->GetWidth());
    const std::uint32_t height = static_cast<std::uint32_t>(image->GetHeight());

    TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    if (image->HasOption(wxT("ResolutionX")) && image->HasOption(wxT("ResolutionY")))
    {
        TIFFSetField(t, TIFFTAG_XRESOLUTION,
                     static_cast<float>(image->GetOptionInt(wxT("ResolutionX"))));
        TIFFSetField(t, TIFFTAG_YRESOLUTION,
                     static_cast<float>(image->GetOptionInt(wxT("ResolutionY"))));
    }

    int samples = image->GetOptionInt(wxT("SamplesPerPixel"));
    int bits = image->GetOptionInt(wxT("BitsPerSample"));
    if (samples == 0)
        samples = 3;
    if (bits == 0)
        bits = 8;
    // Only RGB rows and bilevel packing have a row conversion; anything else
    // would hand the library rows of the wrong size.
    const bool bilevel = samples == 1 && bits == 1;
    if (!bilevel && !(samples == 3 && bits == 8))
    {
        samples = 3;
        bits = 8;
    }
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, static_cast<std::uint16_t>(samples));
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, static_cast<std::uint16_t>(bits));
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, bilevel ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB);
    int compression = image->GetOptionInt(wxT("Compression"));
    if (compression == 0)
        compression = COMPRESSION_NONE;
    TIFFSetField(t, TIFFTAG_COMPRESSION, static_cast<std::uint16_t>(compression));

    if (auto* source = dynamic_cast<qlImage*>(image))
    {
        if (source->GetICCProfileLength() > 0)
            TIFFSetField(t, TIFFTAG_ICCPROFILE, source->GetICCProfileLength(),
                         source->GetICCProfile());
    }

    const std::uint64_t lineBits = std::uint64_t(width) * samples * bits;
    std::uint64_t lineBytes = lineBits / 8;
    if (width % 8 != 0 && samples * bits < 8)
        ++lineBytes;
    const tmsize_t scanlineSize = TIFFScanlineSize(t);
    if (static_cast<std::uint64_t>(scanlineSize) > lineBytes || samples * bits < 24)
    {
        packed.reset(static_cast<unsigned char*>(_TIFFmalloc(scanlineSize)));
        if (!packed)
        {
            ReportIf(verbose, _("TIFF: Couldn't allocate memory."));
            return false;
        }
    }

    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, static_cast<std::uint32_t>(-1)));

    unsigned char* data = image->GetData();
    const std::uint64_t stride = std::uint64_t(width) * 3;
    for (std::uint32_t y = 0; y < height; ++y)
    {
        unsigned char* row = data + y * stride;
        if (packed)
        {
            unsigned char* out = packed.get();
            for (tmsize_t c = 0; c < scanlineSize; ++c)
            {
                unsigned char byte = 0;
                for (std::uint32_t k = 0; k < 8; ++k)
                {
                    const std::uint64_t x = std::uint64_t(c) * 8 + k;
                    if (x < width && row[x * 3] > 0)
                        byte |= static_cast<unsigned char>(0x80 >> k);
                }
                out[c] = byte;
            }
            row = out;
        }
        if (TIFFWriteScanline(t, row, y, 0) < 0)
        {
            ReportIf(verbose, _("TIFF: Error writing image."));
            return false;
        }
    }
    // Closing cannot report a failed write, so flush first and look.
    if (!TIFFFlush(t))
    {
        ReportIf(verbose, _("TIFF: Error writing image."));
        return false;
    }
    return true;
}

bool qlTIFFHandler::DoCanRead(wxInputStream& stream)
{
    unsigned char header[2];
    if (!stream.Read(header, 2))
        return false;
    return (header[0] == 'I' && header[1] == 'I') || (header[0] == 'M' && header[1] == 'M');
}
