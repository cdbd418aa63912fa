#pragma once

#include <wx/stream.h>

#include <cstddef>
#include <string>

/// A seekable output stream into memory whose device fills up after a given
/// number of bytes: the write that would cross the limit stores only what
/// fits, and from then on every write fails with wxSTREAM_WRITE_ERROR and
/// Close reports failure, as a file on a full disk does.
class FailingOutputStream : public wxOutputStream
{
public:
    explicit FailingOutputStream(std::size_t failAfter) : m_budget(failAfter) {}

    wxFileOffset GetLength() const override { return static_cast<wxFileOffset>(m_bytes.size()); }
    bool IsSeekable() const override { return true; }
    bool Close() override { return !m_failed; }

    /// What reached the device before it failed.
    const std::string& Bytes() const { return m_bytes; }
    /// True once a write has been refused.
    bool HasFailed() const { return m_failed; }

protected:
    std::size_t OnSysWrite(const void* buffer, std::size_t size) override;
    wxFileOffset OnSysSeek(wxFileOffset offset, wxSeekMode mode) override;
    wxFileOffset OnSysTell() const override { return static_cast<wxFileOffset>(m_position); }

private:
    std::string m_bytes;
    std::size_t m_position = 0;
    std::size_t m_budget;
    bool m_failed = false;
};
