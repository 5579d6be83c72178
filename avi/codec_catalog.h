#pragma once
// The video codecs that a movie can be compressed with: FFmpeg encoders that
// go into an AVI file, and "DIB " for full, uncompressed frames.

#include <QString>

#include <cstdint>
#include <string_view>
#include <vector>

namespace senki {

struct CodecEntry {
    std::uint32_t handler;  // the AVI handler code (fccHandler)
    const char* encoder;    // FFmpeg's encoder name; nullptr for full frames
    QString label;          // what the choice dialogs show
    bool lossless;          // keeps every pixel of a 16-bit frame
    bool takesQuality;
    bool takesKeyFrames;
    bool takesDataRate;
};

// Every codec that the choice dialogs may offer, full frames first, whether
// or not this machine's FFmpeg has its encoder.
const std::vector<CodecEntry>& KnownCodecs();

// The known codecs whose encoder this machine's FFmpeg has, full frames first.
std::vector<CodecEntry> AvailableCodecs();

// The entry of a handler code, or nullptr.
const CodecEntry* FindCodec(std::uint32_t handler);

// The entry of an FFmpeg encoder name ("libx264", "mjpeg", ...) or a short
// alias ("h264", "xvid", "none" for full frames, ...), in any case; nullptr
// for none. Whether this machine has the encoder is not checked.
const CodecEntry* FindCodecByName(std::string_view name);

}  // namespace senki
