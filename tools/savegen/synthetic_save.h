#pragma once
// Save files made to order: any block counts, any number of records, trailing
// bytes, and a plausible war in which the powers' territories grow and shrink
// over time while the three values follow trends. The same options always give
// the same bytes.

#include "history/history_record.h"

#include <cstdint>
#include <string>
#include <vector>

namespace senki::savegen {

struct SaveOptions {
    int records = 144;
    std::int32_t block544Count = 0;  // stored at offset 380
    std::int32_t block720Count = 0;  // stored at offset 376
    int trailingBytes = 0;           // bytes after the last whole record (0..122 for a valid save)
    std::uint64_t seed = 1;
};

// The history of a synthetic war, one record per half month.
std::vector<HistoryRecord> SyntheticWar(int records, std::uint64_t seed);

// The whole file: a fixed part of filler bytes with the two counts, then the
// records and the trailing bytes.
std::vector<std::uint8_t> MakeSaveFile(const SaveOptions& options);

// Writes MakeSaveFile(options) to `path`; false with `error` set on failure.
bool WriteSaveFile(const std::string& path, const SaveOptions& options, std::string& error);

}  // namespace senki::savegen
