#include "job/SourcePrefetcher.h"

#include <utility>

SourcePrefetcher::SourcePrefetcher() : m_thread(&SourcePrefetcher::Work, this) {}

SourcePrefetcher::~SourcePrefetcher()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void SourcePrefetcher::Start(const wxString& sourcePath)
{
    // The previous source was taken: its load is over, and so is every use
    // of its progress.
    m_progress = std::make_unique<RowProgress>();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // A deep copy: the toolkit's strings are not shared across threads.
        m_pending = wxString(sourcePath.wc_str());
    }
    m_changed.notify_all();
}

LoadedSource SourcePrefetcher::Take()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_loaded.has_value() || m_failure; });
    if (m_failure)
    {
        std::exception_ptr failure = std::exchange(m_failure, nullptr);
        std::rethrow_exception(failure);
    }
    LoadedSource loaded = std::move(*m_loaded);
    m_loaded.reset();
    return loaded;
}

void SourcePrefetcher::Work()
{
    for (;;)
    {
        wxString path;
        RowProgress* progress;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] { return m_pending.has_value() || m_quit; });
            if (!m_pending)
                return;
            path = std::move(*m_pending);
            m_pending.reset();
            progress = m_progress.get();
        }
        std::optional<LoadedSource> loaded;
        std::exception_ptr failure;
        try
        {
            RowProgress::Scope scope(progress);
            loaded = LoadSource(path);
        }
        catch (...)
        {
            // An exception leaving this thread would end the process.
            failure = std::current_exception();
            progress->End();
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_loaded = std::move(loaded);
            // The image's reference count is not atomic: every copy this
            // thread made goes before the main thread can take it.
            loaded.reset();
            m_failure = failure;
        }
        m_changed.notify_all();
    }
}
