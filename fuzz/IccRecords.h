#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

/// The ICC fuzz target's input: a list of APP2 markers, each described by a
/// small record so that the fuzzer reaches well-formed ICC markers quickly.
///
/// Record layout: kind (1 byte), sequence number (1), marker count (1),
/// piece length (2, big-endian), then the piece. The kind picks the
/// identifier: kind % 4 == 0 flips one identifier byte (the byte at
/// kind / 4 % 12), kind % 4 == 3 makes a marker shorter than an ICC header,
/// anything else writes the correct "ICC_PROFILE\0". A record cut short by
/// the end of the input takes what is left.
struct IccRecord
{
    std::uint8_t kind = 1;
    std::uint8_t sequence = 1;
    std::uint8_t count = 1;
    std::string piece;
};

/// Splits fuzz input into records.
std::vector<IccRecord> ParseIccRecords(const std::uint8_t* data, std::size_t size);

/// Encodes records back into fuzz input (for the seeds).
std::string EncodeIccRecords(const std::vector<IccRecord>& records);

/// The APP2 marker data a record stands for.
std::string IccMarkerData(const IccRecord& record);

/// Reassembles a profile from marker data the way a JPEG reader must, written
/// independently of the codec as the oracle for the fuzz target. Returns
/// false when the markers give no profile.
bool ReassembleIccProfile(const std::vector<std::string>& markers, std::string& profile);
