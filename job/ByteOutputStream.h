#pragma once

#include <wx/stream.h>

#include <string>

/// An output stream into memory that behaves like a file: seekable in every
/// direction, a write past the end fills the gap with zeros. Encoders written
/// for file streams (libtiff seeks back to patch offsets and forward to align
/// them) produce the same bytes here as in a file.
class ByteOutputStream : public wxOutputStream
{
public:
    const std::string& Bytes() const { return m_bytes; }
    std::string TakeBytes() { return std::move(m_bytes); }

    wxFileOffset GetLength() const override { return static_cast<wxFileOffset>(m_bytes.size()); }
    bool IsSeekable() const override { return true; }

protected:
    size_t OnSysWrite(const void* buffer, size_t size) override;
    wxFileOffset OnSysSeek(wxFileOffset offset, wxSeekMode mode) override;
    wxFileOffset OnSysTell() const override { return static_cast<wxFileOffset>(m_position); }

private:
    std::string m_bytes;
    size_t m_position = 0;
};
