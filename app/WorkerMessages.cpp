#include "app/WorkerMessages.h"

#include <nlohmann/json.hpp>

#include <exception>

namespace
{

std::string Utf8(const wxString& text)
{
    return std::string(text.utf8_str());
}

wxString FromUtf8(const nlohmann::json& value)
{
    return wxString::FromUTF8(value.get<std::string>());
}

std::string Line(const nlohmann::json& object)
{
    return object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

} // namespace

std::string EncodeTask(const WorkerTask& task)
{
    return Line(
        {{"index", task.index}, {"source", Utf8(task.source)}, {"output", Utf8(task.output)}});
}

bool DecodeTask(const std::string& line, WorkerTask& task)
{
    try
    {
        const nlohmann::json object = nlohmann::json::parse(line);
        task.index = object.at("index").get<std::size_t>();
        task.source = FromUtf8(object.at("source"));
        task.output = FromUtf8(object.at("output"));
        return true;
    }
    catch (const std::exception&)
    {
        return false;
    }
}

std::string EncodeStarted(std::size_t index)
{
    return Line({{"started", index}});
}

std::string EncodeFinished(std::size_t index, const FileOutcome& outcome)
{
    const ResizeResult& result = outcome.result;
    nlohmann::json messages = nlohmann::json::array();
    for (const wxString& message : outcome.messages)
        messages.push_back(Utf8(message));
    return Line({{"finished", index},
                 {"status", static_cast<int>(result.status)},
                 {"reason", Utf8(result.reason)},
                 {"source", {result.sourceWidth, result.sourceHeight}},
                 {"target", {result.targetWidth, result.targetHeight}},
                 {"messages", messages}});
}

bool DecodeReply(const std::string& line, WorkerReply& reply)
{
    try
    {
        const nlohmann::json object = nlohmann::json::parse(line);
        if (object.contains("started"))
        {
            reply.kind = WorkerReply::Kind::Started;
            reply.index = object.at("started").get<std::size_t>();
            return true;
        }
        reply.kind = WorkerReply::Kind::Finished;
        reply.index = object.at("finished").get<std::size_t>();
        ResizeResult& result = reply.outcome.result;
        const int status = object.at("status").get<int>();
        if (status < 0 || status > static_cast<int>(ResizeResult::Status::Stopped))
            return false;
        result.status = static_cast<ResizeResult::Status>(status);
        result.reason = FromUtf8(object.at("reason"));
        result.sourceWidth = object.at("source").at(0).get<int>();
        result.sourceHeight = object.at("source").at(1).get<int>();
        result.targetWidth = object.at("target").at(0).get<long long>();
        result.targetHeight = object.at("target").at(1).get<long long>();
        reply.outcome.messages.clear();
        for (const nlohmann::json& message : object.at("messages"))
            reply.outcome.messages.push_back(FromUtf8(message));
        return true;
    }
    catch (const std::exception&)
    {
        return false;
    }
}
