#include "codecs/qlJPEGHandler.h"

#include "codecs/RowProgress.h"

#include "codecs/CmykToRgb.h"
#include "codecs/DecodeLimits.h"
#include "codecs/JPEGErrorManager.h"
#include "codecs/JPEGScanLimit.h"
#include "codecs/JPEGStreamDestination.h"
#include "codecs/JPEGStreamSource.h"
#include "codecs/ReadICCProfile.h"
#include "codecs/WriteICCProfile.h"
#include "codecs/qlImage.h"

#include <wx/intl.h>
#include <wx/log.h>
#include <wx/stream.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

wxIMPLEMENT_DYNAMIC_CLASS(qlJPEGHandler, wxImageHandler);

namespace
{

// Why a load was refused before its picture was decoded.
enum class JpegRefusal
{
    None,
    TooManyPixels,
    TooMuchMemory,
    TooLittleData,
    NoMemoryForImage, // the header was fine, the image buffer was refused
};

// Everything one decode needs, as plain data, so that the function holding
// the recovery point has nothing to destroy when the library jumps back.
struct JpegLoad
{
    jpeg_decompress_struct cinfo;
    JPEGErrorManager error;
    JPEGScanLimit scanLimit;
    wxInputStream* stream;
    wxImage* image;
    // Told of the rows as they are decoded, when a reader on another thread
    // waits for them; null otherwise.
    RowProgress* progress;
    bool verbose;
    unsigned char* profile; // malloc'd by ReadICCProfile, freed by the caller
    unsigned int profileLength;
    // What the header declares, for the message of a refusal.
    JpegRefusal refusal;
    unsigned int width;
    unsigned int height;
    std::uint64_t dataBytes;
};

struct JpegSave
{
    jpeg_compress_struct cinfo;
    JPEGErrorManager error;
    wxOutputStream* stream;
    const wxImage* image;
    bool verbose;
    const unsigned char* profile;
    unsigned int profileLength;
    // Options read before the call, so that no toolkit string is needed here.
    bool hasQuality;
    int quality;
    bool hasDensity;
    unsigned int densityX;
    unsigned int densityY;
    bool hasUnit;
    unsigned int unit;
};

bool IsCmykSpace(J_COLOR_SPACE space)
{
    return space == JCS_CMYK || space == JCS_YCCK;
}

// The coefficients of every block, which the library keeps whole when the
// picture comes in more than one scan.
std::uint64_t CoefficientBufferBytes(j_decompress_ptr cinfo)
{
    if (!jpeg_has_multiple_scans(cinfo))
        return 0;
    std::uint64_t bytes = 0;
    for (int c = 0; c < cinfo->num_components; ++c)
    {
        const jpeg_component_info& component = cinfo->comp_info[c];
        const std::uint64_t h = static_cast<std::uint64_t>(component.h_samp_factor);
        const std::uint64_t v = static_cast<std::uint64_t>(component.v_samp_factor);
        const std::uint64_t across = (component.width_in_blocks + h - 1) / h * h;
        const std::uint64_t down = (component.height_in_blocks + v - 1) / v * v;
        bytes += across * down * sizeof(JBLOCK);
    }
    return bytes;
}

// Huffman coding spends at least one bit on the DC difference of every
// block of every component, in sequential and progressive files alike.
std::uint64_t BlocksOfAllComponents(j_decompress_ptr cinfo)
{
    std::uint64_t blocks = 0;
    for (int c = 0; c < cinfo->num_components; ++c)
        blocks += std::uint64_t(cinfo->comp_info[c].width_in_blocks) *
                  cinfo->comp_info[c].height_in_blocks;
    return blocks;
}

// The bytes from the end of the headers to the end of the stream, or the
// largest value when the stream cannot tell its length.
std::uint64_t BytesAfterHeaders(j_decompress_ptr cinfo, wxInputStream* stream)
{
    const wxFileOffset length = stream->GetLength();
    const wxFileOffset position = stream->TellI();
    if (length == wxInvalidOffset || position == wxInvalidOffset)
        return UINT64_MAX;
    const wxFileOffset consumed = position - static_cast<wxFileOffset>(cinfo->src->bytes_in_buffer);
    return consumed >= length ? 0 : static_cast<std::uint64_t>(length - consumed);
}

// Decides from the header, before any buffer for the picture exists.
JpegRefusal JudgeDeclaredImage(JpegLoad* load)
{
    j_decompress_ptr cinfo = &load->cinfo;
    jpeg_calc_output_dimensions(cinfo);
    load->width = cinfo->output_width;
    load->height = cinfo->output_height;
    const std::uint64_t pixels = std::uint64_t(load->width) * load->height;
    const std::uint64_t work = CoefficientBufferBytes(cinfo);
    switch (DecodeLimits::Judge(load->width, load->height, pixels * 3, work))
    {
    case DecodeLimits::Verdict::TooManyPixels:
        return JpegRefusal::TooManyPixels;
    case DecodeLimits::Verdict::TooMuchMemory:
        return JpegRefusal::TooMuchMemory;
    case DecodeLimits::Verdict::Fits:
        break;
    }
    // Arithmetic coding can spend far less than a bit on a block, so a
    // short arithmetic-coded file may well hold a large plain picture.
    if (!cinfo->arith_code)
    {
        load->dataBytes = BytesAfterHeaders(cinfo, load->stream);
        if (DecodeLimits::HoldsFarTooLittleData(pixels,
                                                DecodeLimits::SaturatingProduct(load->dataBytes, 8),
                                                BlocksOfAllComponents(cinfo)))
            return JpegRefusal::TooLittleData;
    }
    // The library's own pools stay within the same budget.
    const std::uint64_t budget = DecodeLimits::MemoryBudget();
    cinfo->mem->max_memory_to_use =
        budget > static_cast<std::uint64_t>(LONG_MAX) ? LONG_MAX : static_cast<long>(budget);
    return JpegRefusal::None;
}

// A load that ends early leaves the stream just after the bytes the library
// consumed, as a finished one does; the source's term callback does that
// and may run twice.
void RewindStreamSource(j_decompress_ptr cinfo)
{
    if (cinfo->src != nullptr)
        (*cinfo->src->term_source)(cinfo);
}

// Holds the recovery point; plain data and raw pointers only.
bool DecodeJpeg(JpegLoad* load) noexcept
{
    j_decompress_ptr cinfo = &load->cinfo;
    cinfo->err = SetupJPEGErrorManager(&load->error, load->verbose);
    if (setjmp(load->error.setjmpBuffer))
    {
        RewindStreamSource(cinfo);
        return false;
    }

    jpeg_create_decompress(cinfo);
    AttachJPEGStreamSource(cinfo, load->stream);
    AttachJPEGScanLimit(cinfo, &load->scanLimit);
    jpeg_save_markers(cinfo, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(cinfo, TRUE);

    const bool cmyk = IsCmykSpace(cinfo->out_color_space);
    unsigned char* profile = nullptr;
    unsigned int profileLength = 0;
    if (ReadICCProfile(cinfo, &profile, &profileLength))
    {
        if (!cmyk)
        {
            load->profile = profile;
            load->profileLength = profileLength;
        }
        else
            std::free(profile);
    }
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_RGB;

    load->refusal = JudgeDeclaredImage(load);
    if (load->refusal != JpegRefusal::None)
    {
        RewindStreamSource(cinfo);
        return false;
    }

    jpeg_start_decompress(cinfo);
    wxImage* image = load->image;
    // Every row is written below, and a failed load destroys the image, so
    // the buffer need not be cleared first.
    qlImage::CreateUninitialised(*image, static_cast<int>(cinfo->output_width),
                                 static_cast<int>(cinfo->output_height));
    if (!image->IsOk())
    {
        load->refusal = JpegRefusal::NoMemoryForImage;
        RewindStreamSource(cinfo);
        return false;
    }
    image->SetMask(false);
    if (load->progress != nullptr)
        load->progress->Begin(*image);

    const size_t width = cinfo->output_width;
    const size_t rowBytes = width * static_cast<size_t>(cinfo->output_components);
    JSAMPARRAY row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                                 static_cast<JDIMENSION>(rowBytes), 1);
    unsigned char* out = image->GetData();
    while (cinfo->output_scanline < cinfo->output_height)
    {
        if (cmyk)
        {
            jpeg_read_scanlines(cinfo, row, 1);
            for (size_t x = 0; x < width; ++x, out += 3)
                CmykToRgb(row[0] + 4 * x, out);
        }
        else
        {
            // RGB rows go straight into the image: no copy of 3 bytes a pixel.
            JSAMPROW direct = out + size_t(cinfo->output_scanline) * rowBytes;
            jpeg_read_scanlines(cinfo, &direct, 1);
        }
        // A row is final once read; a few at a time keeps the lock rare.
        if (load->progress != nullptr &&
            (cinfo->output_scanline % 16 == 0 || cinfo->output_scanline == cinfo->output_height))
            load->progress->Publish(static_cast<int>(cinfo->output_scanline));
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

bool EncodeJpeg(JpegSave* save) noexcept
{
    j_compress_ptr cinfo = &save->cinfo;
    cinfo->err = SetupJPEGErrorManager(&save->error, save->verbose);
    if (setjmp(save->error.setjmpBuffer))
        return false;

    jpeg_create_compress(cinfo);
    AttachJPEGStreamDestination(cinfo, save->stream);

    const wxImage* image = save->image;
    cinfo->image_width = static_cast<JDIMENSION>(image->GetWidth());
    cinfo->image_height = static_cast<JDIMENSION>(image->GetHeight());
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_RGB;
    jpeg_set_defaults(cinfo);

    if (save->hasQuality)
        jpeg_set_quality(cinfo, save->quality, TRUE);
    if (save->hasDensity)
    {
        cinfo->X_density = static_cast<UINT16>(save->densityX);
        cinfo->Y_density = static_cast<UINT16>(save->densityY);
    }
    if (save->hasUnit)
        cinfo->density_unit = static_cast<UINT8>(save->unit);

    jpeg_start_compress(cinfo, TRUE);
    if (save->profile != nullptr)
        WriteICCProfile(cinfo, save->profile, save->profileLength);

    const size_t stride = static_cast<size_t>(image->GetWidth()) * 3;
    unsigned char* data = image->GetData();
    while (cinfo->next_scanline < cinfo->image_height)
    {
        JSAMPROW row = data + cinfo->next_scanline * stride;
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

// Releases the library object however the decode or encode ended.
template <typename Record, void (*Destroy)(Record*)> class JpegObjectGuard
{
public:
    explicit JpegObjectGuard(Record* cinfo) : m_cinfo(cinfo) {}
    ~JpegObjectGuard()
    {
        // jpeg_destroy ignores an object that was never created (no memory
        // manager yet), so this is safe on every path.
        Destroy(m_cinfo);
    }
    JpegObjectGuard(const JpegObjectGuard&) = delete;
    JpegObjectGuard& operator=(const JpegObjectGuard&) = delete;

private:
    Record* m_cinfo;
};

void LogNoMemory()
{
    wxLogError(_("JPEG: not enough memory to load the image."));
}

// One line that says why: the size or data the file declares, the memory
// that was refused, or the library's own reason for giving up on it.
void LogLoadFailure(const JpegLoad& load)
{
    switch (load.refusal)
    {
    case JpegRefusal::TooManyPixels:
        wxLogError(_("JPEG: image of %u x %u pixels is too large."), load.width, load.height);
        return;
    case JpegRefusal::TooMuchMemory:
        wxLogError(_("JPEG: image of %u x %u pixels is too large for this computer's memory."),
                   load.width, load.height);
        return;
    case JpegRefusal::TooLittleData:
        wxLogError(_("JPEG: the file declares %u x %u pixels but holds only %llu bytes of image "
                     "data."),
                   load.width, load.height, static_cast<unsigned long long>(load.dataBytes));
        return;
    case JpegRefusal::NoMemoryForImage:
        LogNoMemory();
        return;
    case JpegRefusal::None:
        break;
    }
    if (load.scanLimit.exceeded)
        wxLogError(_("JPEG: image of %u x %u pixels has too many scans (stopped at scan %d)."),
                   load.width, load.height, load.scanLimit.lastScan);
    else if (JPEGRanOutOfMemory(load.error))
        LogNoMemory();
    else
        wxLogError(_("JPEG: Couldn't load - file is probably corrupted (%s)."),
                   wxString::FromAscii(load.error.reason));
}

} // namespace

qlJPEGHandler::qlJPEGHandler()
{
    m_name = wxT("JPEG file");
    m_extension = wxT("jpg");
    m_type = wxBITMAP_TYPE_JPEG;
    m_mime = wxT("image/jpeg");
}

bool qlJPEGHandler::LoadFile(wxImage* image, wxInputStream& stream, bool verbose, int)
{
    image->Destroy();

    JpegLoad load;
    std::memset(&load, 0, sizeof load);
    load.stream = &stream;
    load.image = image;
    load.progress = RowProgress::ForThisThread();
    load.verbose = verbose;

    bool ok;
    {
        JpegObjectGuard<jpeg_decompress_struct, jpeg_destroy_decompress> guard(&load.cinfo);
        ok = DecodeJpeg(&load);
    }

    if (load.profile != nullptr)
    {
        if (auto* target = dynamic_cast<qlImage*>(image))
            target->SetICCProfile(load.profile, load.profileLength);
        std::free(load.profile);
    }
    if (!ok)
    {
        if (verbose)
            LogLoadFailure(load);
        if (image->IsOk())
            image->Destroy();
    }
    return ok;
}

bool qlJPEGHandler::SaveFile(wxImage* image, wxOutputStream& stream, bool verbose)
{
    JpegSave save;
    std::memset(&save, 0, sizeof save);
    save.stream = &stream;
    save.image = image;
    save.verbose = verbose;

    save.hasQuality = image->HasOption(wxT("quality"));
    save.quality = image->GetOptionInt(wxT("quality"));

    unsigned int densityX = 0, densityY = 0;
    if (image->HasOption(wxT("ResolutionX")) && image->HasOption(wxT("ResolutionY")))
    {
        densityX = static_cast<unsigned int>(image->GetOptionInt(wxT("ResolutionX")));
        densityY = static_cast<unsigned int>(image->GetOptionInt(wxT("ResolutionY")));
    }
    else
    {
        densityX = densityY = static_cast<unsigned int>(image->GetOptionInt(wxT("Resolution")));
    }
    // Densities are 16 bits in the JFIF marker; a cut-off 0 means none.
    densityX &= 0xFFFF;
    densityY &= 0xFFFF;
    save.hasDensity = densityX != 0 && densityY != 0;
    save.densityX = densityX;
    save.densityY = densityY;
    save.hasUnit = image->HasOption(wxT("ResolutionUnit"));
    save.unit = static_cast<unsigned int>(image->GetOptionInt(wxT("ResolutionUnit"))) & 0xFF;

    if (auto* source = dynamic_cast<qlImage*>(image))
    {
        if (source->GetICCProfileLength() > kICCMaxJpegProfileLength)
        {
            wxLogWarning(_("JPEG: ICC profile of %u bytes is too large to embed; image "
                           "saved without it."),
                         static_cast<unsigned int>(source->GetICCProfileLength()));
        }
        else if (source->GetICCProfileLength() > 0)
        {
            save.profile = source->GetICCProfile();
            save.profileLength = source->GetICCProfileLength();
        }
    }

    bool ok;
    {
        JpegObjectGuard<jpeg_compress_struct, jpeg_destroy_compress> guard(&save.cinfo);
        ok = EncodeJpeg(&save);
    }
    // Only the library's fatal error fails an encode, so its reason is there.
    if (!ok && verbose)
        wxLogError(_("JPEG: Couldn't save image (%s)."), wxString::FromAscii(save.error.reason));
    return ok;
}

bool qlJPEGHandler::DoCanRead(wxInputStream& stream)
{
    unsigned char header[2];
    if (!stream.Read(header, 2))
        return false;
    return header[0] == 0xFF && header[1] == 0xD8;
}
