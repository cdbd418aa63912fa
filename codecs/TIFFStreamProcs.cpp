#include "codecs/TIFFStreamProcs.h"

#include "codecs/DecodeLimits.h"

#include <wx/stream.h>

#include <cstdint>
#include <memory>

namespace
{

wxSeekMode SeekModeOf(int whence)
{
    switch (whence)
    {
    case 0:
        return wxFromStart;
    case 2:
        return wxFromEnd;
    default:
        return wxFromCurrent;
    }
}

// The library works in 32-bit offsets; a position it cannot hold is an error.
toff_t SeekResult(wxFileOffset position)
{
    if (position == wxInvalidOffset || position < 0 ||
        static_cast<std::uint64_t>(position) > UINT32_MAX)
        return static_cast<toff_t>(-1);
    return static_cast<toff_t>(position);
}

wxFileOffset OffsetOf(toff_t offset)
{
    return static_cast<wxFileOffset>(static_cast<std::uint32_t>(offset));
}

extern "C" tmsize_t ReadInput(thandle_t handle, void* buffer, tmsize_t size) noexcept
{
    auto* stream = static_cast<wxInputStream*>(handle);
    return static_cast<tmsize_t>(stream->Read(buffer, static_cast<size_t>(size)).LastRead());
}

extern "C" tmsize_t WriteOutput(thandle_t handle, void* buffer, tmsize_t size) noexcept
{
    auto* stream = static_cast<wxOutputStream*>(handle);
    return static_cast<tmsize_t>(stream->Write(buffer, static_cast<size_t>(size)).LastWrite());
}

extern "C" tmsize_t NoReadWrite(thandle_t, void*, tmsize_t) noexcept
{
    return -1;
}

extern "C" toff_t SeekInput(thandle_t handle, toff_t offset, int whence) noexcept
{
    auto* stream = static_cast<wxInputStream*>(handle);
    return SeekResult(stream->SeekI(OffsetOf(offset), SeekModeOf(whence)));
}

extern "C" toff_t SeekOutput(thandle_t handle, toff_t offset, int whence) noexcept
{
    auto* stream = static_cast<wxOutputStream*>(handle);
    const wxFileOffset start = whence == 0 ? 0 : stream->TellO();
    const wxFileOffset position = stream->SeekO(OffsetOf(offset), SeekModeOf(whence));
    if (position != wxInvalidOffset || whence == 2 || start == wxInvalidOffset)
        return SeekResult(position);

    // The library reserves room by seeking past the end, which memory
    // streams refuse: fill the gap with zeros, as a file would read.
    const wxFileOffset target = start + OffsetOf(offset);
    const wxFileOffset end = stream->SeekO(0, wxFromEnd);
    if (end == wxInvalidOffset || target < end)
        return static_cast<toff_t>(-1);
    static const char zeros[512] = {};
    for (wxFileOffset gap = target - end; gap > 0;)
    {
        const size_t n = gap < wxFileOffset(sizeof zeros) ? size_t(gap) : sizeof zeros;
        if (stream->Write(zeros, n).LastWrite() != n)
            return static_cast<toff_t>(-1);
        gap -= static_cast<wxFileOffset>(n);
    }
    return SeekResult(stream->TellO());
}

extern "C" int CloseInput(thandle_t) noexcept
{
    return 0; // the caller owns the stream
}

extern "C" int CloseOutput(thandle_t handle) noexcept
{
    return static_cast<wxOutputStream*>(handle)->Close() ? 0 : -1;
}

extern "C" toff_t InputSize(thandle_t handle) noexcept
{
    return static_cast<toff_t>(static_cast<wxInputStream*>(handle)->GetSize());
}

extern "C" toff_t OutputSize(thandle_t handle) noexcept
{
    return static_cast<toff_t>(static_cast<wxOutputStream*>(handle)->GetSize());
}

extern "C" int NoMap(thandle_t, void**, toff_t*) noexcept
{
    return 0;
}

extern "C" void NoUnmap(thandle_t, void*, toff_t) noexcept {}

struct TIFFOpenOptionsFreer
{
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

} // namespace

TIFF* OpenTIFFInputStream(wxInputStream* stream)
{
    // No single block of the library's may take more than a whole decode
    // may: a hostile directory then fails with the library's error instead
    // of asking the system for more. The diagnostics stay the process-wide
    // ones.
    std::unique_ptr<TIFFOpenOptions, TIFFOpenOptionsFreer> options(TIFFOpenOptionsAlloc());
    if (!options)
        return nullptr;
    const std::uint64_t budget = DecodeLimits::MemoryBudget();
    const std::uint64_t largest = static_cast<std::uint64_t>(INT64_MAX);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(),
                                        static_cast<tmsize_t>(budget > largest ? largest : budget));
    return TIFFClientOpenExt("image", "r", static_cast<thandle_t>(stream), ReadInput, NoReadWrite,
                             SeekInput, CloseInput, InputSize, NoMap, NoUnmap, options.get());
}

TIFF* OpenTIFFOutputStream(wxOutputStream* stream)
{
    return TIFFClientOpen("image", "w", static_cast<thandle_t>(stream), NoReadWrite, WriteOutput,
                          SeekOutput, CloseOutput, OutputSize, NoMap, NoUnmap);
}
