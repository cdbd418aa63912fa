#include "codecs/WriteICCProfile.h"

#include "codecs/ICCMarker.h"

void WriteICCProfile(j_compress_ptr cinfo, const unsigned char* profile,
                     unsigned int length) noexcept
{
    const unsigned int markerCount =
        static_cast<unsigned int>((length + kICCMaxPieceLength - 1) / kICCMaxPieceLength);
    unsigned int sequence = 1;
    while (length > 0)
    {
        const unsigned int piece =
            length < kICCMaxPieceLength ? length : static_cast<unsigned int>(kICCMaxPieceLength);
        jpeg_write_m_header(cinfo, kICCMarkerCode,
                            static_cast<unsigned int>(piece + kICCHeaderLength));
        for (unsigned char c : kICCIdentifier)
            jpeg_write_m_byte(cinfo, c);
        jpeg_write_m_byte(cinfo, static_cast<int>(sequence));
        jpeg_write_m_byte(cinfo, static_cast<int>(markerCount));
        for (unsigned int i = 0; i < piece; ++i)
            jpeg_write_m_byte(cinfo, profile[i]);
        profile += piece;
        length -= piece;
        ++sequence;
    }
}
