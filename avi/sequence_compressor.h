#pragma once
// Frame-by-frame compression of DIB frames with an FFmpeg encoder: one
// compressed sample per frame, in order, as a movie's pre-compressed stream
// needs them.

#include "avi/dib_frame.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace senki {

struct CodecEntry;

struct CompressionSettings {
    std::uint32_t handler = 0;      // the codec's handler code
    std::int32_t quality = -1;      // 0..10000; -1 for the codec's default
    std::int32_t keyFrameEvery = 0; // 0 for the codec's default
    std::int32_t kilobytesPerSecond = 0;  // the data rate; 0 for none
    int frameRate = 30;
};

class SequenceCompressor {
public:
    // Prepares the codec for frames described by `input` (16 or 24 bits,
    // bottom-up). Null when the codec is unknown here or refuses the format.
    static std::unique_ptr<SequenceCompressor> Start(const CompressionSettings& settings,
                                                     const BitmapInfoHeader& input);
    // Whether the codec takes frames of this format at all.
    static bool Accepts(const CodecEntry& codec, const BitmapInfoHeader& input, int frameRate);

    ~SequenceCompressor();
    SequenceCompressor(const SequenceCompressor&) = delete;
    SequenceCompressor& operator=(const SequenceCompressor&) = delete;

    // Compresses the next frame. Returns the compressed data, valid until the
    // next call, or null on failure.
    const std::uint8_t* CompressFrame(const std::uint8_t* dib, bool& keyFrame, std::uint32_t& size);

    // The stream format of the compressed frames: a BITMAPINFOHEADER with the
    // handler code as biCompression and the codec's bit count (24 unless the
    // codec names its own), followed by any codec data the decoder needs.
    std::vector<std::uint8_t> StreamFormat() const;

private:
    struct Codec;
    explicit SequenceCompressor(std::unique_ptr<Codec> codec);
    std::unique_ptr<Codec> codec_;
};

}  // namespace senki
