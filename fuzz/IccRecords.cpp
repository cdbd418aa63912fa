#include "fuzz/IccRecords.h"

#include <algorithm>

namespace
{

const char kIdentifier[12] = {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', '\0'};
constexpr std::size_t kHeaderSize = 14;
// A marker's length field is 16 bits and counts itself.
constexpr std::size_t kMaxMarkerData = 65533;

} // namespace

std::vector<IccRecord> ParseIccRecords(const std::uint8_t* data, std::size_t size)
{
    std::vector<IccRecord> records;
    std::size_t at = 0;
    while (at + 5 <= size)
    {
        IccRecord record;
        record.kind = data[at];
        record.sequence = data[at + 1];
        record.count = data[at + 2];
        const std::size_t declared = (std::size_t(data[at + 3]) << 8) | data[at + 4];
        at += 5;
        const std::size_t length = std::min({declared, size - at, kMaxMarkerData - kHeaderSize});
        record.piece.assign(reinterpret_cast<const char*>(data + at), length);
        at += length;
        records.push_back(std::move(record));
    }
    return records;
}

std::string EncodeIccRecords(const std::vector<IccRecord>& records)
{
    std::string out;
    for (const IccRecord& record : records)
    {
        out += char(record.kind);
        out += char(record.sequence);
        out += char(record.count);
        out += char((record.piece.size() >> 8) & 0xFF);
        out += char(record.piece.size() & 0xFF);
        out += record.piece;
    }
    return out;
}

std::string IccMarkerData(const IccRecord& record)
{
    std::string data(kIdentifier, sizeof kIdentifier);
    if (record.kind % 4 == 0)
        data[record.kind / 4 % 12] ^= 0x01;
    data += char(record.sequence);
    data += char(record.count);
    data += record.piece;
    if (record.kind % 4 == 3)
        data.resize(std::min<std::size_t>(data.size(), record.piece.size() % kHeaderSize));
    return data;
}

bool ReassembleIccProfile(const std::vector<std::string>& markers, std::string& profile)
{
    profile.clear();
    int total = -1;
    std::vector<const std::string*> bySequence;
    for (const std::string& marker : markers)
    {
        if (marker.size() < kHeaderSize || marker.compare(0, 12, kIdentifier, 12) != 0)
            continue;
        const int sequence = static_cast<unsigned char>(marker[12]);
        const int count = static_cast<unsigned char>(marker[13]);
        if (total < 0)
        {
            total = count;
            bySequence.assign(std::size_t(total) + 1, nullptr);
        }
        else if (count != total)
            return false;
        if (sequence < 1 || sequence > total || bySequence[sequence] != nullptr)
            return false;
        bySequence[sequence] = &marker;
    }
    if (total < 0)
        return false;
    std::string assembled;
    for (int sequence = 1; sequence <= total; ++sequence)
    {
        if (bySequence[sequence] == nullptr)
            return false;
        assembled.append(*bySequence[sequence], kHeaderSize, std::string::npos);
    }
    profile = std::move(assembled);
    return !profile.empty();
}
