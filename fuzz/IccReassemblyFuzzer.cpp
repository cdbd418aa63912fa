// Differential target for the ICC reassembly: the input is a list of APP2
// markers (see IccRecords.h), placed into a small valid JPEG; the profile the
// JPEG handler stores must be exactly what an independent reassembly of the
// same markers gives, and no profile when that gives none.

#include "codecs/qlImage.h"
#include "codecs/qlJPEGHandler.h"
#include "fuzz/FuzzToolkit.h"
#include "fuzz/IccRecords.h"

#include <jpeglib.h>
#include <wx/mstream.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

/// An 8 x 8 colour JPEG made once, so the decoder's output space is RGB and
/// the handler keeps the profile.
std::string TinyJpeg()
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = 8;
    info.image_height = 8;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_start_compress(&info, TRUE);
    unsigned char row[8 * 3] = {};
    for (int y = 0; y < 8; ++y)
    {
        JSAMPROW rows[1] = {row};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::string bytes(reinterpret_cast<char*>(buffer), size);
    std::free(buffer);
    jpeg_destroy_compress(&info);
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    StartToolkitForFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string base = TinyJpeg();
    static qlJPEGHandler handler;

    std::vector<std::string> markers;
    std::string file = base.substr(0, 2); // SOI
    for (const IccRecord& record : ParseIccRecords(data, size))
    {
        markers.push_back(IccMarkerData(record));
        const std::size_t length = markers.back().size() + 2;
        file += '\xFF';
        file += '\xE2';
        file += char(length >> 8);
        file += char(length & 0xFF);
        file += markers.back();
    }
    file += base.substr(2);

    std::string expected;
    const bool hasProfile = ReassembleIccProfile(markers, expected);

    wxMemoryInputStream stream(file.data(), file.size());
    qlImage image;
    if (!handler.LoadFile(&image, stream, false, -1))
    {
        std::fprintf(stderr, "a valid JPEG with %zu APP2 markers failed to load\n", markers.size());
        std::abort();
    }
    const std::string actual(reinterpret_cast<const char*>(image.GetICCProfile()),
                             image.GetICCProfileLength());
    if (hasProfile != (image.GetICCProfileLength() > 0) || actual != expected)
    {
        std::fprintf(stderr, "profile mismatch: expected %zu bytes (%s), got %zu\n",
                     expected.size(), hasProfile ? "present" : "none", actual.size());
        std::abort();
    }
    return 0;
}
