#include "tests/support/EncodeJpegToMemory.h"

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <memory>

namespace
{

struct CompressGuard
{
    jpeg_compress_struct* info;
    ~CompressGuard() { jpeg_destroy_compress(info); }
};

struct FreeDeleter
{
    void operator()(unsigned char* buffer) const { std::free(buffer); }
};

} // namespace

int JpegComponents(int inputSpace)
{
    return inputSpace == JCS_GRAYSCALE ? 1 : (inputSpace == JCS_CMYK ? 4 : 3);
}

std::string EncodeJpegToMemory(const JpegEncoding& encoding)
{
    // libjpeg's standard error handler ends the process: a fixture the
    // library refuses is a fault of the test, not a case to go on from.
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    CompressGuard guard{&info};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);

    const int components = JpegComponents(encoding.inputSpace);
    info.image_width = encoding.width;
    info.image_height = encoding.height;
    info.input_components = components;
    info.in_color_space = static_cast<J_COLOR_SPACE>(encoding.inputSpace);
    jpeg_set_defaults(&info);
    if (encoding.storedSpace != JCS_UNKNOWN)
        jpeg_set_colorspace(&info, static_cast<J_COLOR_SPACE>(encoding.storedSpace));
    jpeg_set_quality(&info, encoding.quality, TRUE);
    if (encoding.progressive)
        jpeg_simple_progression(&info);
    info.arith_code = encoding.arithmetic ? TRUE : FALSE;
    info.optimize_coding = encoding.optimize ? TRUE : FALSE;
    info.restart_interval = encoding.restartInterval;
    if (encoding.fullChroma)
        info.comp_info[0].h_samp_factor = info.comp_info[0].v_samp_factor = 1;

    jpeg_start_compress(&info, TRUE);
    for (const JpegMarker& marker : encoding.markers)
        jpeg_write_marker(&info, marker.code,
                          reinterpret_cast<const JOCTET*>(marker.payload.data()),
                          static_cast<unsigned int>(marker.payload.size()));
    std::vector<unsigned char> row(static_cast<size_t>(encoding.width) * components);
    while (info.next_scanline < info.image_height)
    {
        const std::uint32_t y = info.next_scanline;
        for (std::uint32_t x = 0; x < encoding.width; ++x)
            for (int c = 0; c < components; ++c)
                row[static_cast<size_t>(x) * components + c] = encoding.sample(x, y, c);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    // Only now: jpeg_mem_dest replaces the buffer as the file grows.
    const std::unique_ptr<unsigned char, FreeDeleter> owned(buffer);
    return std::string(reinterpret_cast<const char*>(buffer), size);
}
