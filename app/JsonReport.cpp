#include "app/JsonReport.h"

#include "Identity.h"
#include "platform/ReplaceFileContents.h"

#include <nlohmann/json.hpp>

#include <string>

namespace
{

std::string Utf8(const wxString& text)
{
    return std::string(text.utf8_str());
}

nlohmann::json Size(long long width, long long height)
{
    return {{"width", width}, {"height", height}};
}

} // namespace

bool WriteJsonReport(const wxString& path, const std::vector<ReportEntry>& entries,
                     bool interrupted, wxString& error)
{
    nlohmann::json results = nlohmann::json::array();
    for (const ReportEntry& entry : entries)
    {
        nlohmann::json result = {{"source", Utf8(entry.source)}, {"status", entry.status}};
        if (!entry.output.empty())
            result["output"] = Utf8(entry.output);
        if (entry.sourceWidth > 0)
            result["sourceSize"] = Size(entry.sourceWidth, entry.sourceHeight);
        if (entry.targetWidth > 0 || entry.targetHeight > 0)
            result["targetSize"] = Size(entry.targetWidth, entry.targetHeight);
        if (!entry.message.empty())
            result["message"] = Utf8(entry.message);
        results.push_back(std::move(result));
    }
    const nlohmann::json report = {
        {"program", std::string("pixmora-resize ") + PIXMORA_VERSION},
        {"interrupted", interrupted},
        {"results", std::move(results)},
    };
    // A file name that is not UTF-8 must not lose the whole report.
    const std::string text =
        report.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
    return ReplaceFileContents(path, text.data(), text.size(), error);
}
