#include "tests/reliability/FailingInputStream.h"

#include <algorithm>
#include <cstring>
#include <utility>

FailingInputStream::FailingInputStream(std::string bytes, std::size_t failAfter)
    : m_bytes(std::move(bytes)), m_budget(failAfter)
{
}

std::size_t FailingInputStream::OnSysRead(void* buffer, std::size_t size)
{
    if (m_position >= m_bytes.size() && !m_failed)
    {
        m_lasterror = wxSTREAM_EOF;
        return 0;
    }
    if (m_failed || m_budget == 0)
    {
        m_failed = true;
        m_lasterror = wxSTREAM_READ_ERROR;
        return 0;
    }
    const std::size_t count = std::min({size, m_bytes.size() - m_position, m_budget});
    std::memcpy(buffer, m_bytes.data() + m_position, count);
    m_position += count;
    m_budget -= count;
    return count;
}

wxFileOffset FailingInputStream::OnSysSeek(wxFileOffset offset, wxSeekMode mode)
{
    wxFileOffset base = 0;
    if (mode == wxFromCurrent)
        base = static_cast<wxFileOffset>(m_position);
    else if (mode == wxFromEnd)
        base = static_cast<wxFileOffset>(m_bytes.size());
    const wxFileOffset target = base + offset;
    if (target < 0 || target > static_cast<wxFileOffset>(m_bytes.size()))
        return wxInvalidOffset;
    m_position = static_cast<std::size_t>(target);
    return target;
}
