#include "codecs/ReadICCProfile.h"

#include "codecs/ICCMarker.h"

#include <cstdlib>
#include <cstring>

namespace
{

bool IsICCMarker(jpeg_saved_marker_ptr marker)
{
    return marker->marker == kICCMarkerCode && marker->data_length >= kICCHeaderLength &&
           std::memcmp(marker->data, kICCIdentifier, sizeof kICCIdentifier) == 0;
}

} // namespace

bool ReadICCProfile(j_decompress_ptr cinfo, unsigned char** profile, unsigned int* length) noexcept
{
    *profile = nullptr;
    *length = 0;

    // Indexed by sequence number, which is one byte, so 255 is the most.
    bool seen[256] = {};
    unsigned int pieceLength[256] = {};
    unsigned int pieceOffset[256] = {};
    int total = 0;

    for (jpeg_saved_marker_ptr m = cinfo->marker_list; m != nullptr; m = m->next)
    {
        if (!IsICCMarker(m))
            continue;
        const int sequence = m->data[12];
        if (total == 0)
            total = m->data[13];
        else if (total != m->data[13])
            return false;
        if (sequence < 1 || sequence > total || seen[sequence])
            return false;
        seen[sequence] = true;
        pieceLength[sequence] = m->data_length - kICCHeaderLength;
    }
    if (total == 0)
        return false;

    unsigned long totalLength = 0;
    for (int sequence = 1; sequence <= total; ++sequence)
    {
        if (!seen[sequence])
            return false;
        pieceOffset[sequence] = static_cast<unsigned int>(totalLength);
        totalLength += pieceLength[sequence];
    }
    if (totalLength == 0)
        return false;

    auto* block = static_cast<unsigned char*>(std::malloc(totalLength));
    if (block == nullptr)
        return false;

    for (jpeg_saved_marker_ptr m = cinfo->marker_list; m != nullptr; m = m->next)
    {
        if (!IsICCMarker(m))
            continue;
        const int sequence = m->data[12];
        std::memcpy(block + pieceOffset[sequence], m->data + kICCHeaderLength,
                    pieceLength[sequence]);
    }
    *profile = block;
    *length = static_cast<unsigned int>(totalLength);
    return true;
}
