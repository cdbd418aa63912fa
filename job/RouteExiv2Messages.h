#pragma once

/// Sends Exiv2's own messages (warnings about odd tags and the like) to the
/// toolkit's log as verbose messages under PIXMORA_LIBRARY_LOG_COMPONENT,
/// instead of the library's default of printing them to stderr. Failures
/// that matter reach the job as exceptions; these lines only help someone
/// who asked for detail. Call once at start-up.
void RouteExiv2Messages();
