#pragma once

#include "codecs/RowProgress.h"
#include "job/LoadSource.h"

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

/// One thread that loads the sources of a run, one at a time: the next one
/// while the current one is encoded and saved, and the current one's bottom
/// rows while its top is already resampled. It holds at most one loaded
/// source.
class SourcePrefetcher
{
public:
    SourcePrefetcher();
    /// Waits for a load in flight and ends the thread; what it loaded goes.
    ~SourcePrefetcher();
    SourcePrefetcher(const SourcePrefetcher&) = delete;
    SourcePrefetcher& operator=(const SourcePrefetcher&) = delete;

    /// Starts loading sourcePath; the previous source must have been taken.
    void Start(const wxString& sourcePath);
    /// The rows of the source Start named, as they are decoded; valid until
    /// the next Start.
    RowProgress& Progress() { return *m_progress; }
    /// Waits for the source Start named and hands it over.
    LoadedSource Take();

private:
    void Work();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<wxString> m_pending;
    // Made and dropped on the caller's thread only, once no load uses it.
    std::unique_ptr<RowProgress> m_progress;
    std::optional<LoadedSource> m_loaded;
    std::exception_ptr m_failure;
    bool m_quit = false;
    std::thread m_thread;
};
