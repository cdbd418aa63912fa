#include "codecs/JPEGScanLimit.h"

#include <jerror.h>

namespace
{

// libjpeg leaves message codes from 1000 up to applications.
constexpr int kTooManyScansMessage = 1000;
const char* const kAddonMessages[] = {"JPEG image has too many scans (stopped at scan %d)"};

std::uint64_t BlocksOf(const jpeg_component_info& component)
{
    return std::uint64_t(component.width_in_blocks) * component.height_in_blocks;
}

// The library calls this before it reads each stretch of input, so it sees
// every new scan before the scan's data is decoded.
extern "C" void StopPastScanLimit(j_common_ptr common) noexcept
{
    auto* cinfo = reinterpret_cast<j_decompress_ptr>(common);
    auto* limit = reinterpret_cast<JPEGScanLimit*>(cinfo->progress);
    if (cinfo->input_scan_number == limit->lastScan)
        return;
    limit->lastScan = cinfo->input_scan_number;
    for (int i = 0; i < cinfo->comps_in_scan; ++i)
        limit->blockVisits += BlocksOf(*cinfo->cur_comp_info[i]);
    std::uint64_t blocks = 0;
    for (int c = 0; c < cinfo->num_components; ++c)
        blocks += BlocksOf(cinfo->comp_info[c]);
    if (limit->blockVisits <= blocks * kJPEGMaxPassesPerBlock)
        return;
    limit->exceeded = true;
    ERREXIT1(cinfo, kTooManyScansMessage, limit->lastScan);
}

} // namespace

void AttachJPEGScanLimit(j_decompress_ptr cinfo, JPEGScanLimit* limit) noexcept
{
    limit->pub.progress_monitor = StopPastScanLimit;
    limit->lastScan = 0;
    limit->blockVisits = 0;
    limit->exceeded = false;
    cinfo->progress = &limit->pub;
    cinfo->err->addon_message_table = kAddonMessages;
    cinfo->err->first_addon_message = kTooManyScansMessage;
    cinfo->err->last_addon_message = kTooManyScansMessage;
}
