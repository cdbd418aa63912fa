#pragma once

#include "job/LoadSource.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

/// One thread that loads the next source of a batch while the current one
/// is resampled, encoded and saved. It holds at most one loaded source.
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
    /// Waits for the source Start named and hands it over.
    LoadedSource Take();

private:
    void Work();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<wxString> m_pending;
    std::optional<LoadedSource> m_loaded;
    std::exception_ptr m_failure;
    bool m_quit = false;
    std::thread m_thread;
};
