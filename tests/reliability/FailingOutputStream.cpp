#include "tests/reliability/FailingOutputStream.h"

#include <algorithm>

std::size_t FailingOutputStream::OnSysWrite(const void* buffer, std::size_t size)
{
    const std::size_t count = m_failed ? 0 : std::min(size, m_budget);
    if (count < size)
    {
        m_failed = true;
        m_lasterror = wxSTREAM_WRITE_ERROR;
    }
    if (m_position + count > m_bytes.size())
        m_bytes.resize(m_position + count);
    m_bytes.replace(m_position, count, static_cast<const char*>(buffer), count);
    m_position += count;
    m_budget -= count;
    return count;
}

wxFileOffset FailingOutputStream::OnSysSeek(wxFileOffset offset, wxSeekMode mode)
{
    wxFileOffset base = 0;
    if (mode == wxFromCurrent)
        base = static_cast<wxFileOffset>(m_position);
    else if (mode == wxFromEnd)
        base = static_cast<wxFileOffset>(m_bytes.size());
    const wxFileOffset target = base + offset;
    if (target < 0)
        return wxInvalidOffset;
    m_position = static_cast<std::size_t>(target);
    if (m_position > m_bytes.size())
        m_bytes.resize(m_position, '\0');
    return target;
}
