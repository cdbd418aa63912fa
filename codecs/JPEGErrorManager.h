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
    /// The message code of the fatal error that ended the call, 0 for none.
    int fatalCode;
    /// The library's own words for that error (English, from its message
    /// table); empty while there is none.
    char reason[JMSG_LENGTH_MAX];
};

/// Sets up the standard manager with the fatal-error jump, which keeps the
/// library's reason instead of printing it. Warnings go to the toolkit's
/// verbose log when verbose and nowhere otherwise; nothing reaches the
/// standard error stream.
jpeg_error_mgr* SetupJPEGErrorManager(JPEGErrorManager* manager, bool verbose) noexcept;

/// True when the call ended because the library's memory manager was
/// refused memory.
bool JPEGRanOutOfMemory(const JPEGErrorManager& manager) noexcept;
