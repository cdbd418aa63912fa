#pragma once

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

/// libjpeg's standard error manager plus the recovery point that its fatal
/// errors jump back to. The recovery point must be set before the library
/// object is created and no object with a destructor may live between it
/// and any library call.
struct JPEGErrorManager
{
    jpeg_error_mgr pub;
    std::jmp_buf setjmpBuffer;
};

/// Sets up the standard manager with the fatal-error jump; when not verbose
/// the library's messages and warnings go nowhere.
jpeg_error_mgr* SetupJPEGErrorManager(JPEGErrorManager* manager, bool verbose) noexcept;
