#pragma once
// A small AVI file library: creates a movie with one video stream, sets the
// stream's format, appends its samples and, on release, completes the file.
// The files are RIFF AVI with the OpenDML extension (a super index, one
// standard index per RIFF part, further RIFF 'AVIX' parts), so that movies
// past 1 GB and past 4 GB stay readable; the first part also carries the
// classic idx1 index for older players.
//
// Samples are appended through a large buffer with sequential writes; the
// headers and the size fields are patched when a part or the file is
// finished. Memory holds only the index entries of the current part.

#include "avi/platform_faults.h"

#include <QString>

#include <cstdint>
#include <memory>

namespace senki {

struct AviRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// The header from which a stream is created (AVISTREAMINFO).
struct StreamInfo {
    std::uint32_t fccType = 0;
    std::uint32_t fccHandler = 0;
    std::uint32_t dwFlags = 0;
    std::uint32_t dwCaps = 0;
    std::uint16_t wPriority = 0;
    std::uint16_t wLanguage = 0;
    std::uint32_t dwScale = 0;
    std::uint32_t dwRate = 0;
    std::uint32_t dwStart = 0;
    std::uint32_t dwLength = 0;
    std::uint32_t dwInitialFrames = 0;
    std::uint32_t dwSuggestedBufferSize = 0;
    std::int32_t dwQuality = 0;
    std::uint32_t dwSampleSize = 0;
    AviRect rcFrame;
    std::uint32_t dwEditCount = 0;
    std::uint32_t dwFormatChangeCount = 0;
    char szName[64] = {};
};

// Sample flag of a key frame (AVIIF_KEYFRAME).
inline constexpr std::uint32_t kAviKeyFrame = 0x10;

struct AviFileLayout {
    // Largest size of one RIFF part. Players expect parts of at most 1 GB.
    std::uint64_t riffPartBytes = std::uint64_t(1) << 30;
    // Room reserved in the header for the super index: at most this many parts.
    std::uint32_t maxParts = 256;
};

class AviFile;

// The video stream of a movie being written; owned by its AviFile.
class AviStream {
public:
    // Sets the stream's format (for video a BITMAPINFOHEADER, possibly followed
    // by codec data). Only before the first sample.
    bool SetFormat(std::int64_t position, const void* format, std::size_t size);
    // Appends one sample at `position`, which must be the next one.
    // Returns false when it cannot be written; the movie is then incomplete.
    bool Write(std::int64_t position, const void* data, std::uint32_t size, std::uint32_t flags);

private:
    friend class AviFile;
    explicit AviStream(AviFile& file) : file_(file) {}
    AviFile& file_;
};

class AviFile {
public:
    // Creates a new movie file, replacing any file of that name. Null on failure.
    static std::unique_ptr<AviFile> Create(const QString& fileName, const AviFileLayout& layout,
                                           const PlatformFaults& faults);
    // An unreleased file is closed as it stands, without completing it.
    ~AviFile();
    AviFile(const AviFile&) = delete;
    AviFile& operator=(const AviFile&) = delete;

    // The one video stream; null on failure or when it exists already.
    AviStream* CreateStream(const StreamInfo& info);

    // Completes the file: the last part's index, the classic index, the
    // headers and every size field. Returns true only when every sample and
    // all of this reached the file.
    bool Release();

private:
    friend class AviStream;
    struct State;
    explicit AviFile(std::unique_ptr<State> state);
    bool SetFormat(const void* format, std::size_t size);
    bool Write(std::int64_t position, const void* data, std::uint32_t size, std::uint32_t flags);

    std::unique_ptr<State> state_;
};

}  // namespace senki
