#pragma once
// One video encoder set up from a catalogue entry and the user's options:
// it takes decoded frames of any pixel format, converts them to the format
// the codec is given (RGB or 4:4:4 for lossless codecs, so every pixel of a
// 16-bit frame survives; 4:2:0 otherwise, as players expect it) and hands
// back compressed packets.
//
// Some codecs take only whole blocks: H.264 in 4:2:0 even dimensions, Video
// 1 and Cinepak multiples of 4. The frame is then padded at the right and
// bottom by repeating its last column and row (the map's 375 rows become
// 376), so the padding takes the colour of the map's border rather than a
// band of black.

#include "avi/codec_catalog.h"
#include "avi/save_options.h"

#include <cstdint>
#include <memory>
#include <string>

struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;

namespace senki {

class VideoEncoder {
public:
    VideoEncoder();
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // Opens the encoder for `width` × `height` frames at rateNum/rateDen
    // frames per second. `globalHeader` asks for the codec's headers in the
    // stream parameters instead of the first packets. The codec must have an
    // encoder (not full frames). Returns false with Error() on failure.
    bool Open(const CodecEntry& codec, const SaveOptions& options, int width, int height, int rateNum,
              int rateDen, bool globalHeader);
    const std::string& Error() const { return error_; }
    AVCodecContext* Context() const { return context_.get(); }

    // Converts `frame` and gives it to the encoder as frame number `index`;
    // nullptr starts the flush. Returns false with Error() on failure.
    bool Send(const AVFrame* frame, std::int64_t index);
    enum class Receive { Packet, NeedMore, End, Failed };
    // Takes the next compressed packet, if one is ready.
    Receive ReceivePacket(AVPacket* packet);

private:
    struct ContextCloser {
        void operator()(AVCodecContext* context) const;
    };
    struct FrameCloser {
        void operator()(AVFrame* frame) const;
    };
    struct ScalerCloser {
        void operator()(SwsContext* context) const;
    };

    // One pixel conversion, made for the source format it first meets.
    struct ConversionStep {
        std::unique_ptr<SwsContext, ScalerCloser> scaler;
        int sourceFormat = -1;
        std::unique_ptr<AVFrame, FrameCloser> view;  // the target seen without its padding
    };

    bool Convert(const AVFrame* frame);
    bool Scale(ConversionStep& step, const AVFrame* in, AVFrame* out);

    std::unique_ptr<AVCodecContext, ContextCloser> context_;
    std::unique_ptr<AVFrame, FrameCloser> converted_;
    std::unique_ptr<AVFrame, FrameCloser> staging_;  // packed 8-bit RGB on the way to planar RGB
    ConversionStep toStaging_;
    ConversionStep toEncoder_;
    int width_ = 0;   // of the frames given; the encoder's may be padded
    int height_ = 0;
    std::string error_;
};

}  // namespace senki
