#include "avi/avi_file.h"

#include "avi/file_sink.h"
#include "avi/fourcc.h"

#include <QFile>

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace senki {

static_assert(std::endian::native == std::endian::little, "chunk headers are stored as they lie in memory");

namespace {

constexpr std::uint32_t kAvifHasIndex = 0x10;
constexpr std::uint32_t kAvifIsInterleaved = 0x100;
constexpr std::uint8_t kIndexOfIndexes = 0;  // AVI_INDEX_OF_INDEXES
constexpr std::uint8_t kIndexOfChunks = 1;   // AVI_INDEX_OF_CHUNKS
constexpr std::uint32_t kNotKeyFrameBit = 0x80000000u;
constexpr std::size_t kDmlhBytes = 248;
constexpr std::size_t kSuperIndexHeaderBytes = 24;
constexpr std::size_t kStdIndexHeaderBytes = 24;
// Largest sample this library writes; keeps every offset within a part 32-bit.
constexpr std::uint32_t kMaxSampleBytes = 0x7FFF0000u;

// Little-endian byte building with lists whose sizes are filled in at the end.
class Bytes {
public:
    void U8(std::uint8_t v) { data.push_back(v); }
    void U16(std::uint16_t v)
    {
        U8(std::uint8_t(v));
        U8(std::uint8_t(v >> 8));
    }
    void U32(std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            U8(std::uint8_t(v >> (8 * i)));
    }
    void U64(std::uint64_t v)
    {
        U32(std::uint32_t(v));
        U32(std::uint32_t(v >> 32));
    }
    void Raw(const void* p, std::size_t n)
    {
        const auto* b = static_cast<const std::uint8_t*>(p);
        data.insert(data.end(), b, b + n);
    }
    void Zeros(std::size_t n) { data.insert(data.end(), n, 0); }
    // Starts a chunk (or a list when `listType` is given); returns its mark.
    std::size_t Begin(std::uint32_t id, std::uint32_t listType = 0)
    {
        U32(id);
        const std::size_t mark = data.size();
        U32(0);
        if (listType)
            U32(listType);
        return mark;
    }
    void End(std::size_t mark)
    {
        const std::uint32_t size = std::uint32_t(data.size() - mark - 4);
        for (int i = 0; i < 4; ++i)
            data[mark + i] = std::uint8_t(size >> (8 * i));
        if (size & 1)
            U8(0);
    }
    std::vector<std::uint8_t> data;
};

void PutU32At(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = std::uint8_t(v >> (8 * i));
}

struct ChunkEntry {
    std::uint64_t offset;  // of the chunk header in the file
    std::uint32_t size;    // of the sample
    bool keyFrame;
};

struct PartEntry {  // one entry of the super index
    std::uint64_t indexOffset;
    std::uint32_t indexBytes;
    std::uint32_t frames;
};

}  // namespace

struct AviFile::State {
    State(const QString& name, const AviFileLayout& l, const PlatformFaults& f)
        : sink(name), layout(l), faults(f)
    {
    }

    FileSink sink;
    AviFileLayout layout;
    PlatformFaults faults;

    std::unique_ptr<AviStream> stream;
    StreamInfo info;
    std::vector<std::uint8_t> format;
    std::uint32_t chunkId = FourCC("00db");

    bool headerWritten = false;
    bool released = false;
    std::int64_t samples = 0;
    std::uint32_t largestSample = 0;

    std::uint64_t partStart = 0;       // offset of the current part's 'RIFF'
    std::uint64_t moviListStart = 0;   // offset of its 'LIST' of 'movi'
    std::vector<ChunkEntry> partChunks;
    std::vector<PartEntry> parts;

    std::uint32_t firstPartFrames = 0;
    std::uint32_t firstRiffSize = 0;
    std::uint32_t firstMoviSize = 0;

    std::vector<std::uint8_t> BuildHeader() const;
    void StartFirstPart();
    void StartNextPart();
    void ClosePart();
    std::uint64_t IndexReserve(std::size_t chunks) const;
};

std::vector<std::uint8_t> AviFile::State::BuildHeader() const
{
    const bool hasStream = stream != nullptr;
    const std::uint32_t rate = info.dwRate ? info.dwRate : 1;
    const std::uint32_t width = std::uint32_t(info.rcFrame.right - info.rcFrame.left);
    const std::uint32_t height = std::uint32_t(info.rcFrame.bottom - info.rcFrame.top);

    Bytes b;
    const std::size_t riff = b.Begin(FourCC("RIFF"), FourCC("AVI "));
    const std::size_t hdrl = b.Begin(FourCC("LIST"), FourCC("hdrl"));

    const std::size_t avih = b.Begin(FourCC("avih"));
    b.U32(std::uint32_t(std::uint64_t(1000000) * info.dwScale / rate));  // dwMicroSecPerFrame
    b.U32(std::uint32_t(std::uint64_t(largestSample) * rate / (info.dwScale ? info.dwScale : 1)));
    b.U32(0);                                   // dwPaddingGranularity
    b.U32(kAvifHasIndex | kAvifIsInterleaved);  // dwFlags
    b.U32(firstPartFrames);                     // dwTotalFrames: of the first part
    b.U32(0);                                   // dwInitialFrames
    b.U32(hasStream ? 1 : 0);                   // dwStreams
    b.U32(largestSample + 8);                   // dwSuggestedBufferSize
    b.U32(width);
    b.U32(height);
    b.Zeros(16);  // dwReserved
    b.End(avih);

    if (hasStream) {
        const std::size_t strl = b.Begin(FourCC("LIST"), FourCC("strl"));
        const std::size_t strh = b.Begin(FourCC("strh"));
        b.U32(info.fccType);
        b.U32(info.fccHandler);
        b.U32(info.dwFlags);
        b.U16(info.wPriority);
        b.U16(info.wLanguage);
        b.U32(info.dwInitialFrames);
        b.U32(info.dwScale);
        b.U32(info.dwRate);
        b.U32(info.dwStart);
        b.U32(std::uint32_t(samples));  // dwLength: every frame of every part
        b.U32(largestSample);           // dwSuggestedBufferSize
        b.U32(std::uint32_t(info.dwQuality));
        b.U32(info.dwSampleSize);
        b.U16(std::uint16_t(info.rcFrame.left));
        b.U16(std::uint16_t(info.rcFrame.top));
        b.U16(std::uint16_t(info.rcFrame.right));
        b.U16(std::uint16_t(info.rcFrame.bottom));
        b.End(strh);

        const std::size_t strf = b.Begin(FourCC("strf"));
        b.Raw(format.data(), format.size());
        b.End(strf);

        const std::size_t nameLength = strnlen(info.szName, sizeof info.szName - 1);
        if (nameLength > 0) {
            const std::size_t strn = b.Begin(FourCC("strn"));
            b.Raw(info.szName, nameLength);
            b.U8(0);
            b.End(strn);
        }

        // The super index, with room for layout.maxParts entries.
        const std::size_t indx = b.Begin(FourCC("indx"));
        b.U16(4);  // wLongsPerEntry
        b.U8(0);   // bIndexSubType
        b.U8(kIndexOfIndexes);
        b.U32(std::uint32_t(parts.size()));  // nEntriesInUse
        b.U32(chunkId);
        b.Zeros(12);  // dwReserved
        for (const PartEntry& part : parts) {
            b.U64(part.indexOffset);
            b.U32(part.indexBytes);
            b.U32(part.frames);
        }
        b.Zeros(16 * (layout.maxParts - parts.size()));
        b.End(indx);
        b.End(strl);
    }

    const std::size_t odml = b.Begin(FourCC("LIST"), FourCC("odml"));
    const std::size_t dmlh = b.Begin(FourCC("dmlh"));
    b.U32(std::uint32_t(samples));  // dwTotalFrames
    b.Zeros(kDmlhBytes - 4);
    b.End(dmlh);
    b.End(odml);
    b.End(hdrl);

    b.U32(FourCC("LIST"));
    b.U32(firstMoviSize);
    b.U32(FourCC("movi"));
    PutU32At(b.data, riff, firstRiffSize);
    return std::move(b.data);
}

// The header goes first with its sizes still open; Release writes it again
// complete, at the same length.
void AviFile::State::StartFirstPart()
{
    const std::vector<std::uint8_t> header = BuildHeader();
    sink.Append(header.data(), header.size());
    headerWritten = true;
    partStart = 0;
    moviListStart = header.size() - 12;
}

void AviFile::State::StartNextPart()
{
    partStart = sink.Position();
    moviListStart = partStart + 12;
    Bytes b;
    b.U32(FourCC("RIFF"));
    b.U32(0);
    b.U32(FourCC("AVIX"));
    b.U32(FourCC("LIST"));
    b.U32(0);
    b.U32(FourCC("movi"));
    sink.Append(b.data.data(), b.data.size());
}

// What closing the current part will add if it holds `chunks` samples: its
// standard index and, for the first part, the classic index.
std::uint64_t AviFile::State::IndexReserve(std::size_t chunks) const
{
    std::uint64_t bytes = 8 + kStdIndexHeaderBytes + 8 * std::uint64_t(chunks);
    if (parts.empty())
        bytes += 8 + 16 * std::uint64_t(chunks);
    return bytes;
}

void AviFile::State::ClosePart()
{
    const bool first = parts.empty();
    const std::uint32_t frames = std::uint32_t(partChunks.size());
    if (frames > 0) {
        // The standard index of the part, inside its movi list. Offsets count
        // from the part's start to each sample's data.
        Bytes ix;
        const std::size_t chunk = ix.Begin(FourCC("ix00"));
        ix.U16(2);  // wLongsPerEntry
        ix.U8(0);   // bIndexSubType
        ix.U8(kIndexOfChunks);
        ix.U32(frames);
        ix.U32(chunkId);
        ix.U64(partStart);  // qwBaseOffset
        ix.U32(0);
        for (const ChunkEntry& entry : partChunks) {
            ix.U32(std::uint32_t(entry.offset + 8 - partStart));
            ix.U32(entry.size | (entry.keyFrame ? 0 : kNotKeyFrameBit));
        }
        ix.End(chunk);
        parts.push_back({sink.Position(), std::uint32_t(ix.data.size()), frames});
        sink.Append(ix.data.data(), ix.data.size());
    }
    const std::uint32_t moviSize = std::uint32_t(sink.Position() - moviListStart - 8);

    if (first) {
        // The classic index: offsets count from the 'movi' code.
        Bytes idx;
        const std::size_t chunk = idx.Begin(FourCC("idx1"));
        for (const ChunkEntry& entry : partChunks) {
            idx.U32(chunkId);
            idx.U32(entry.keyFrame ? kAviKeyFrame : 0);
            idx.U32(std::uint32_t(entry.offset - (moviListStart + 8)));
            idx.U32(entry.size);
        }
        idx.End(chunk);
        sink.Append(idx.data.data(), idx.data.size());
        firstPartFrames = frames;
        firstMoviSize = moviSize;
        firstRiffSize = std::uint32_t(sink.Position() - 8);
    } else {
        const std::uint32_t riffSize = std::uint32_t(sink.Position() - partStart - 8);
        std::uint8_t size[4];
        for (int i = 0; i < 4; ++i)
            size[i] = std::uint8_t(riffSize >> (8 * i));
        sink.Patch(partStart + 4, size, 4);
        for (int i = 0; i < 4; ++i)
            size[i] = std::uint8_t(moviSize >> (8 * i));
        sink.Patch(moviListStart + 4, size, 4);
    }
    partChunks.clear();
}

AviFile::AviFile(std::unique_ptr<State> state) : state_(std::move(state)) {}

AviFile::~AviFile() = default;

std::unique_ptr<AviFile> AviFile::Create(const QString& fileName, const AviFileLayout& layout,
                                         const PlatformFaults& faults)
{
    if (faults.createFile || fileName.isEmpty() || layout.maxParts == 0)
        return nullptr;
    auto state = std::make_unique<State>(fileName, layout, faults);
    if (state->sink.Failed())
        return nullptr;
    return std::unique_ptr<AviFile>(new AviFile(std::move(state)));
}

AviStream* AviFile::CreateStream(const StreamInfo& info)
{
    State& s = *state_;
    if (s.faults.createStream || s.stream || s.released)
        return nullptr;
    s.info = info;
    s.stream.reset(new AviStream(*this));
    return s.stream.get();
}

bool AviFile::SetFormat(const void* format, std::size_t size)
{
    State& s = *state_;
    if (s.faults.setFormat || s.headerWritten || s.released || size > 0xFFFF)
        return false;
    const auto* bytes = static_cast<const std::uint8_t*>(format);
    s.format.assign(bytes, bytes + size);
    // Uncompressed frames are 'db' chunks, compressed ones 'dc'.
    std::uint32_t compression = 0;
    if (size >= 20)
        std::memcpy(&compression, bytes + 16, 4);
    s.chunkId = compression == 0 ? FourCC("00db") : FourCC("00dc");
    return true;
}

bool AviFile::Write(std::int64_t position, const void* data, std::uint32_t size, std::uint32_t flags)
{
    State& s = *state_;
    if (s.released || s.sink.Failed())
        return false;
    if (position != s.samples || size > kMaxSampleBytes || position >= 0xFFFFFFFF ||
        position == s.faults.failWriteAt) {
        s.sink.MarkFailed();
        return false;
    }
    if (!s.headerWritten)
        s.StartFirstPart();

    const std::uint64_t chunkBytes = 8 + std::uint64_t(size) + (size & 1);
    const std::uint64_t partBytesAfter =
        s.sink.Position() - s.partStart + chunkBytes + s.IndexReserve(s.partChunks.size() + 1);
    if (!s.partChunks.empty() && partBytesAfter > s.layout.riffPartBytes) {
        if (s.parts.size() + 1 >= s.layout.maxParts) {  // no room left in the super index
            s.sink.MarkFailed();
            return false;
        }
        s.ClosePart();
        s.StartNextPart();
    }

    const std::uint64_t offset = s.sink.Position();
    std::uint32_t head[2] = {s.chunkId, size};
    s.sink.Append(head, sizeof head);
    s.sink.Append(data, size);
    if (size & 1) {
        const std::uint8_t pad = 0;
        s.sink.Append(&pad, 1);
    }
    if (s.sink.Failed())
        return false;
    s.partChunks.push_back({offset, size, (flags & kAviKeyFrame) != 0});
    ++s.samples;
    s.largestSample = std::max(s.largestSample, size);
    return true;
}

bool AviFile::Release()
{
    State& s = *state_;
    if (s.released)
        return false;
    s.released = true;
    if (!s.headerWritten)
        s.StartFirstPart();
    s.ClosePart();
    const std::vector<std::uint8_t> header = s.BuildHeader();
    s.sink.Patch(0, header.data(), header.size());
    if (s.faults.finishFile)
        s.sink.MarkFailed();
    return s.sink.Close();
}

bool AviStream::SetFormat(std::int64_t position, const void* format, std::size_t size)
{
    return position == 0 && file_.SetFormat(format, size);
}

bool AviStream::Write(std::int64_t position, const void* data, std::uint32_t size, std::uint32_t flags)
{
    return file_.Write(position, data, size, flags);
}

}  // namespace senki
