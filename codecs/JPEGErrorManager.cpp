#include "codecs/JPEGErrorManager.h"

namespace
{

extern "C" void JPEGErrorExit(j_common_ptr cinfo) noexcept
{
    auto* manager = reinterpret_cast<JPEGErrorManager*>(cinfo->err);
    (*cinfo->err->output_message)(cinfo);
    std::longjmp(manager->setjmpBuffer, 1);
}

extern "C" void JPEGSilentMessage(j_common_ptr) noexcept {}

} // namespace

jpeg_error_mgr* SetupJPEGErrorManager(JPEGErrorManager* manager, bool verbose) noexcept
{
    jpeg_error_mgr* pub = jpeg_std_error(&manager->pub);
    pub->error_exit = JPEGErrorExit;
    if (!verbose)
        pub->output_message = JPEGSilentMessage;
    return pub;
}
