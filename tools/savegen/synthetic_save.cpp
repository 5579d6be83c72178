#include "tools/savegen/synthetic_save.h"

#include "history/save_layout.h"
#include "map/province_tables.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace senki::savegen {

namespace {

// splitmix64: small, fast and the same on every platform.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int bound) { return int(Next() % std::uint64_t(bound)); }
    double Unit() { return double(Next() >> 11) / double(1ull << 53); }

private:
    std::uint64_t state_;
};

struct Power {
    std::uint8_t owner;
    int capital;  // a painted province
    enum Side { Axis, Allies, Neutral } side;
};

// Owner codes index the palette; the capitals place each power on the map.
constexpr Power kPowers[] = {
    {8, 53, Power::Axis},    {21, 58, Power::Axis},    {4, 55, Power::Allies},  {18, 99, Power::Allies},
    {5, 44, Power::Allies},  {9, 34, Power::Allies},   {20, 72, Power::Allies}, {11, 29, Power::Neutral},
    {3, 92, Power::Neutral}, {23, 93, Power::Neutral}, {10, 79, Power::Allies}, {17, 81, Power::Allies},
    {24, 83, Power::Neutral}, {30, 101, Power::Allies}, {13, 70, Power::Axis},
};

double SeedDistance(int a, int b)
{
    const SeedPoint p = ProvinceSeed(a), q = ProvinceSeed(b);
    return std::hypot(double(p.x - q.x), double(p.y - q.y));
}

const Power& PowerOf(std::uint8_t owner)
{
    for (const Power& power : kPowers)
        if (power.owner == owner)
            return power;
    return kPowers[0];
}

bool Adjacent(int a, int b) { return a != b && SeedDistance(a, b) < 62.0; }

// Takes one province of `loser`'s side next to `winner`'s side, the one
// nearest to the winning side's front; false when none borders it.
bool Conquer(std::array<std::uint8_t, kProvinceCount>& owners, Power::Side winner, Power::Side loser,
             const std::array<std::uint8_t, kProvinceCount>& original, Random& random)
{
    std::vector<int> targets;
    for (int p = kFirstPaintedProvince; p <= kLastPaintedProvince; ++p) {
        if (PowerOf(owners[p]).side != loser)
            continue;
        for (int q = kFirstPaintedProvince; q <= kLastPaintedProvince; ++q)
            if (PowerOf(owners[q]).side == winner && Adjacent(p, q)) {
                targets.push_back(p);
                break;
            }
    }
    if (targets.empty())
        return false;
    const int target = targets[random.Below(int(targets.size()))];
    // Liberated land returns to its first owner when that one fights on the winning side.
    if (PowerOf(original[target]).side == winner) {
        owners[target] = original[target];
        return true;
    }
    int nearest = -1;
    for (int q = kFirstPaintedProvince; q <= kLastPaintedProvince; ++q)
        if (PowerOf(owners[q]).side == winner && (nearest < 0 || SeedDistance(target, q) < SeedDistance(target, nearest)))
            nearest = q;
    owners[target] = owners[nearest];
    return true;
}

int CountSide(const std::array<std::uint8_t, kProvinceCount>& owners, Power::Side side)
{
    int count = 0;
    for (int p = kFirstPaintedProvince; p <= kLastPaintedProvince; ++p)
        count += PowerOf(owners[p]).side == side;
    return count;
}

}  // namespace

std::vector<HistoryRecord> SyntheticWar(int records, std::uint64_t seed)
{
    Random random(seed);
    std::array<std::uint8_t, kProvinceCount> owners{};
    for (int p = 0; p < kProvinceCount; ++p)
        owners[p] = std::uint8_t(random.Below(kOwnerPaletteSize));
    for (int p = kFirstPaintedProvince; p <= kLastPaintedProvince; ++p) {
        const Power* nearest = &kPowers[0];
        for (const Power& power : kPowers)
            if (SeedDistance(p, power.capital) < SeedDistance(p, nearest->capital))
                nearest = &power;
        owners[p] = nearest->owner;
    }
    const auto original = owners;

    std::vector<HistoryRecord> history;
    history.reserve(std::size_t(std::max(records, 0)));
    for (int t = 0; t < records; ++t) {
        const double progress = records > 1 ? double(t) / (records - 1) : 0.0;
        if (t > 0) {
            if (progress < 0.45 && random.Unit() < 0.8)
                Conquer(owners, Power::Axis, Power::Allies, original, random);
            else if (progress > 0.55 && random.Unit() < 0.9)
                Conquer(owners, Power::Allies, Power::Axis, original, random);
            else if (random.Unit() < 0.3)
                Conquer(owners, random.Below(2) ? Power::Axis : Power::Allies,
                        random.Below(2) ? Power::Allies : Power::Axis, original, random);
        }
        HistoryRecord record;
        record.Byte0 = std::uint8_t(random.Next());
        record.OwnerCodes = owners;
        const int axis = CountSide(owners, Power::Axis);
        const int allies = CountSide(owners, Power::Allies);
        record.SeriesValues[0] = axis * 120 + random.Below(200);
        record.SeriesValues[1] = allies * 90 + int(1500 * progress) + random.Below(200);
        record.SeriesValues[2] = 2000 + int(1200 * std::sin(progress * 6.0)) + random.Below(150);
        history.push_back(record);
    }
    return history;
}

std::vector<std::uint8_t> MakeSaveFile(const SaveOptions& options)
{
    const std::int64_t fixedLength = FixedPartLength(options.block544Count, options.block720Count);
    const auto records = SyntheticWar(options.records, options.seed);
    std::vector<std::uint8_t> bytes(std::size_t(fixedLength) + records.size() * kRecordSize +
                                    std::size_t(std::max(options.trailingBytes, 0)));
    Random filler(options.seed ^ 0x5A5A5A5Aull);
    for (std::size_t i = 0; i < std::size_t(fixedLength); ++i)
        bytes[i] = std::uint8_t(filler.Next());
    auto putCount = [&](std::int64_t offset, std::int32_t value) {
        for (int b = 0; b < 4; ++b)
            bytes[std::size_t(offset + b)] = std::uint8_t(std::uint32_t(value) >> (8 * b));
    };
    putCount(kBlock720CountOffset, options.block720Count);
    putCount(kBlock544CountOffset, options.block544Count);
    std::uint8_t* out = bytes.data() + fixedLength;
    for (const HistoryRecord& record : records) {
        EncodeRecord(record, out);
        out += kRecordSize;
    }
    for (std::uint8_t* end = bytes.data() + bytes.size(); out < end; ++out)
        *out = std::uint8_t(filler.Next());
    return bytes;
}

bool WriteSaveFile(const std::string& path, const SaveOptions& options, std::string& error)
{
    const auto bytes = MakeSaveFile(options);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
        std::fflush(file.get()) != 0) {
        error = "cannot write \"" + path + "\"";
        return false;
    }
    return true;
}

}  // namespace senki::savegen
