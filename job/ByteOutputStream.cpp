#include "job/ByteOutputStream.h"

#include <cstring>
#include <new>

size_t ByteOutputStream::OnSysWrite(const void* buffer, size_t size)
{
    // Called from inside the codecs' C libraries: nothing may be thrown
    // through them, so a failed allocation becomes a stream error.
    try
    {
        if (m_position > m_bytes.size())
            m_bytes.resize(m_position, '\0');
        const size_t end = m_position + size;
        if (end > m_bytes.size())
            m_bytes.resize(end);
        std::memcpy(&m_bytes[m_position], buffer, size);
        m_position = end;
        return size;
    }
    catch (const std::bad_alloc&)
    {
        m_lasterror = wxSTREAM_WRITE_ERROR;
        return 0;
    }
}

wxFileOffset ByteOutputStream::OnSysSeek(wxFileOffset offset, wxSeekMode mode)
{
    wxFileOffset base = 0;
    if (mode == wxFromCurrent)
        base = static_cast<wxFileOffset>(m_position);
    else if (mode == wxFromEnd)
        base = static_cast<wxFileOffset>(m_bytes.size());
    const wxFileOffset target = base + offset;
    if (target < 0)
        return wxInvalidOffset;
    m_position = static_cast<size_t>(target);
    return target;
}
