#pragma once

#include "app/FileOutcome.h"

#include <wx/string.h>

#include <cstddef>
#include <string>

// The lines a -j parent and its children exchange, one JSON object per
// line: the parent sends tasks, a child answers "started" and "finished".

struct WorkerTask
{
    std::size_t index = 0;
    wxString source;
    wxString output;
};

struct WorkerReply
{
    enum class Kind
    {
        Started,
        Finished,
    };
    Kind kind = Kind::Finished;
    std::size_t index = 0;
    FileOutcome outcome;
};

std::string EncodeTask(const WorkerTask& task);
/// False for a line that is not a task.
bool DecodeTask(const std::string& line, WorkerTask& task);

std::string EncodeStarted(std::size_t index);
std::string EncodeFinished(std::size_t index, const FileOutcome& outcome);
/// False for a line that is not a reply.
bool DecodeReply(const std::string& line, WorkerReply& reply);
