#pragma once

#include <wx/image.h>

#include <condition_variable>
#include <mutex>

/// The rows of an image being decoded on one thread, published as they are
/// final, so that another thread can work on the top of the picture while
/// the bottom is still being decoded.
///
/// The decoder's side never blocks and never throws. The reader's side
/// must not outlive the decoder's thread's work: the object keeps the
/// image's pixels alive (even when the decoder fails and drops its image),
/// and the toolkit's reference counts are not atomic, so the object is
/// destroyed only once the decoder's thread is done with the image.
class RowProgress
{
public:
    RowProgress() = default;
    RowProgress(const RowProgress&) = delete;
    RowProgress& operator=(const RowProgress&) = delete;

    /// Decoder: image has its buffer, of its final size; no row is final yet.
    void Begin(const wxImage& image) noexcept;
    /// Decoder: rows [0, rows) hold their final pixels.
    void Publish(int rows) noexcept;
    /// Decoder: nothing more will be published (the load ended, well or not).
    void End() noexcept;

    /// Reader: waits until the decoder has a buffer or has ended; the
    /// buffer's pixels (3 bytes a pixel, rows packed), or null when the
    /// decoder ended without one.
    const unsigned char* WaitForBuffer(int& width, int& height);
    /// Reader: waits until rows [0, count) are final; false when the decoder
    /// ended first.
    bool WaitForRows(int count);

    /// The progress the calling thread's decoder reports to, or null.
    static RowProgress* ForThisThread();

    /// Makes progress the calling thread's for the scope's length.
    class Scope
    {
    public:
        explicit Scope(RowProgress* progress);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        RowProgress* m_previous;
    };

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    wxImage m_keepAlive;
    const unsigned char* m_data = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_rows = 0;
    bool m_begun = false;
    bool m_ended = false;
};
