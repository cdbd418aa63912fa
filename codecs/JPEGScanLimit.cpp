#include "codecs/JPEGScanLimit.h"

#include <jerror.h>

namespace
{

// libjpeg leaves message codes from 1000 up to applications.
constexpr int kTooManyScansMessage = 1000;
const char* const kAddonMessages[] = {"Progressive JPEG image has more than %d scans"};

extern "C" void StopPastScanLimit(j_common_ptr common) noexcept
{
    auto* cinfo = reinterpret_cast<j_decompress_ptr>(common);
    if (cinfo->input_scan_number <= kJPEGMaxScans)
        return;
    reinterpret_cast<JPEGScanLimit*>(cinfo->progress)->exceeded = true;
    ERREXIT1(cinfo, kTooManyScansMessage, kJPEGMaxScans);
}

} // namespace

void AttachJPEGScanLimit(j_decompress_ptr cinfo, JPEGScanLimit* limit) noexcept
{
    limit->pub.progress_monitor = StopPastScanLimit;
    limit->exceeded = false;
    cinfo->progress = &limit->pub;
    cinfo->err->addon_message_table = kAddonMessages;
    cinfo->err->first_addon_message = kTooManyScansMessage;
    cinfo->err->last_addon_message = kTooManyScansMessage;
}
