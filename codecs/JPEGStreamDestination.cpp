#include "codecs/JPEGStreamDestination.h"

#include <wx/stream.h>

#include <jerror.h>

namespace
{

constexpr size_t kWriteBufferSize = 4096;

bool WriteAll(JPEGStreamDestination* dest, size_t count) noexcept
{
    wxOutputStream* stream = dest->stream;
    return stream->Write(dest->buffer, count).LastWrite() == count && stream->IsOk();
}

extern "C" void InitDestination(j_compress_ptr cinfo) noexcept
{
    auto* dest = reinterpret_cast<JPEGStreamDestination*>(cinfo->dest);
    dest->buffer = static_cast<JOCTET*>((*cinfo->mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE, kWriteBufferSize));
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = kWriteBufferSize;
}

extern "C" boolean EmptyOutputBuffer(j_compress_ptr cinfo) noexcept
{
    auto* dest = reinterpret_cast<JPEGStreamDestination*>(cinfo->dest);
    if (!WriteAll(dest, kWriteBufferSize))
        ERREXIT(cinfo, JERR_FILE_WRITE);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = kWriteBufferSize;
    return TRUE;
}

extern "C" void TermDestination(j_compress_ptr cinfo) noexcept
{
    auto* dest = reinterpret_cast<JPEGStreamDestination*>(cinfo->dest);
    const size_t used = kWriteBufferSize - dest->pub.free_in_buffer;
    if (used > 0 && !WriteAll(dest, used))
        ERREXIT(cinfo, JERR_FILE_WRITE);
}

} // namespace

void AttachJPEGStreamDestination(j_compress_ptr cinfo, wxOutputStream* stream) noexcept
{
    if (cinfo->dest == nullptr)
        cinfo->dest = static_cast<jpeg_destination_mgr*>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(JPEGStreamDestination)));
    auto* dest = reinterpret_cast<JPEGStreamDestination*>(cinfo->dest);
    dest->stream = stream;
    dest->buffer = nullptr;
    dest->pub.init_destination = InitDestination;
    dest->pub.empty_output_buffer = EmptyOutputBuffer;
    dest->pub.term_destination = TermDestination;
}
