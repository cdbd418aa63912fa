#include "codecs/JPEGStreamSource.h"

#include <wx/stream.h>

namespace
{

constexpr size_t kReadBufferSize = 2048;

extern "C" void InitSource(j_decompress_ptr) noexcept {}

extern "C" boolean FillInputBuffer(j_decompress_ptr cinfo) noexcept
{
    auto* src = reinterpret_cast<JPEGStreamSource*>(cinfo->src);
    src->pub.next_input_byte = src->buffer;
    size_t count = src->stream->Read(src->buffer, kReadBufferSize).LastRead();
    if (count == 0)
    {
        // Past the end, keep feeding an end-of-image marker: a truncated
        // file decodes to its full size instead of failing.
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        count = 2;
    }
    src->pub.bytes_in_buffer = count;
    return TRUE;
}

extern "C" void SkipInputData(j_decompress_ptr cinfo, long count) noexcept
{
    if (count <= 0)
        return;
    auto* src = reinterpret_cast<JPEGStreamSource*>(cinfo->src);
    size_t n = static_cast<size_t>(count);
    while (n > src->pub.bytes_in_buffer)
    {
        n -= src->pub.bytes_in_buffer;
        FillInputBuffer(cinfo);
    }
    src->pub.next_input_byte += n;
    src->pub.bytes_in_buffer -= n;
}

extern "C" void TermSource(j_decompress_ptr cinfo) noexcept
{
    auto* src = reinterpret_cast<JPEGStreamSource*>(cinfo->src);
    // Leave the stream just after the bytes the library consumed, so that
    // whatever follows the image can still be read.
    if (src->pub.bytes_in_buffer > 0)
        src->stream->SeekI(-static_cast<wxFileOffset>(src->pub.bytes_in_buffer), wxFromCurrent);
    src->pub.bytes_in_buffer = 0;
}

} // namespace

void AttachJPEGStreamSource(j_decompress_ptr cinfo, wxInputStream* stream) noexcept
{
    if (cinfo->src == nullptr)
    {
        // Both from the permanent pool, as the library's own sources do, so
        // that destroying the object frees them however the call ends. A
        // refused allocation is the library's out-of-memory error, raised
        // before cinfo has a half-built source.
        auto* common = reinterpret_cast<j_common_ptr>(cinfo);
        auto* src = static_cast<JPEGStreamSource*>(
            (*cinfo->mem->alloc_small)(common, JPOOL_PERMANENT, sizeof(JPEGStreamSource)));
        src->buffer = static_cast<JOCTET*>(
            (*cinfo->mem->alloc_small)(common, JPOOL_PERMANENT, kReadBufferSize));
        cinfo->src = &src->pub;
    }
    auto* src = reinterpret_cast<JPEGStreamSource*>(cinfo->src);
    src->stream = stream;
    src->pub.init_source = InitSource;
    src->pub.fill_input_buffer = FillInputBuffer;
    src->pub.skip_input_data = SkipInputData;
    src->pub.resync_to_restart = jpeg_resync_to_restart;
    src->pub.term_source = TermSource;
    src->pub.bytes_in_buffer = 0;
    src->pub.next_input_byte = nullptr;
}
