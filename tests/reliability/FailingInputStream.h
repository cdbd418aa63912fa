#pragma once

#include <wx/stream.h>

#include <cstddef>
#include <string>

/// A seekable input stream over bytes held in memory whose device dies after
/// it has delivered a given number of bytes: the read that would cross the
/// limit returns what is left before it, and every later read fails with
/// wxSTREAM_READ_ERROR. Seeks keep working, as they would on a file whose
/// reads start failing, so a decoder's rewind cannot hide the fault.
class FailingInputStream : public wxInputStream
{
public:
    FailingInputStream(std::string bytes, std::size_t failAfter);

    wxFileOffset GetLength() const override { return static_cast<wxFileOffset>(m_bytes.size()); }
    bool IsSeekable() const override { return true; }

    /// True once a read has been refused.
    bool HasFailed() const { return m_failed; }

protected:
    std::size_t OnSysRead(void* buffer, std::size_t size) override;
    wxFileOffset OnSysSeek(wxFileOffset offset, wxSeekMode mode) override;
    wxFileOffset OnSysTell() const override { return static_cast<wxFileOffset>(m_position); }

private:
    std::string m_bytes;
    std::size_t m_position = 0;
    std::size_t m_budget;
    bool m_failed = false;
};
