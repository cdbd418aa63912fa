#pragma once

#include <cstddef>

/// An ICC profile piece in a JPEG APP2 marker: the identifier, then the
/// sequence number and the marker count, then the piece.
constexpr int kICCMarkerCode = 0xE2; // JPEG_APP0 + 2
constexpr std::size_t kICCHeaderLength = 14;
constexpr std::size_t kICCMaxPieceLength = 65533 - kICCHeaderLength;
constexpr unsigned char kICCIdentifier[12] = {'I', 'C', 'C', '_', 'P', 'R',
                                              'O', 'F', 'I', 'L', 'E', 0};
