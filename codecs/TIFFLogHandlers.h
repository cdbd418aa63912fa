#pragma once

#include <cstdarg>

/// libtiff's process-wide diagnostics, routed into the toolkit's log. The
/// library's own text is dropped: only the module and a fixed line show.
extern "C" void TIFFWarningToLog(const char* module, const char* format, va_list args) noexcept;
extern "C" void TIFFErrorToLog(const char* module, const char* format, va_list args) noexcept;
