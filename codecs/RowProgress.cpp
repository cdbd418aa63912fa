#include "codecs/RowProgress.h"

namespace
{

thread_local RowProgress* t_progress = nullptr;

} // namespace

void RowProgress::Begin(const wxImage& image) noexcept
{
    try
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_begun || m_ended)
            return;
        m_keepAlive = image;
        m_data = image.GetData();
        m_width = image.GetWidth();
        m_height = image.GetHeight();
        m_begun = true;
    }
    catch (...)
    {
        // A lock that fails leaves the reader waiting for the whole image.
        return;
    }
    m_changed.notify_all();
}

void RowProgress::Publish(int rows) noexcept
{
    try
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_begun || m_ended || rows <= m_rows)
            return;
        m_rows = rows < m_height ? rows : m_height;
    }
    catch (...)
    {
        return;
    }
    m_changed.notify_all();
}

void RowProgress::End() noexcept
{
    try
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_ended = true;
    }
    catch (...)
    {
        // The reader would wait for ever: better to end here than hang.
        std::terminate();
    }
    m_changed.notify_all();
}

const unsigned char* RowProgress::WaitForBuffer(int& width, int& height)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_begun || m_ended; });
    if (!m_begun)
        return nullptr;
    width = m_width;
    height = m_height;
    return m_data;
}

bool RowProgress::WaitForRows(int count)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [&] { return m_rows >= count || m_ended; });
    return m_rows >= count;
}

RowProgress* RowProgress::ForThisThread()
{
    return t_progress;
}

RowProgress::Scope::Scope(RowProgress* progress) : m_previous(t_progress)
{
    t_progress = progress;
}

RowProgress::Scope::~Scope()
{
    t_progress = m_previous;
}
