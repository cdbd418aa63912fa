#pragma once

/// The toolkit log component under which the libraries' own chatter
/// (libjpeg's warnings, Exiv2's messages) is logged, always at info level
/// and only in verbose mode. A program that wants it through the job's
/// quiet reading phase raises this component's level; one that does not
/// leaves it at the toolkit's global level.
#define PIXMORA_LIBRARY_LOG_COMPONENT "pixmora/libraries"
