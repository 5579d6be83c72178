#include "avi/sequence_compressor.h"

#include "avi/codec_catalog.h"
#include "avi/ffmpeg_raii.h"

extern "C" {
#include <libavutil/log.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cstring>

namespace senki {

namespace {

using ffmpeg::CodecContextPtr;
using ffmpeg::FramePtr;
using ffmpeg::PacketPtr;
using ffmpeg::ScalerPtr;

AVPixelFormat DibPixelFormat(int bitCount)
{
    return bitCount == 16 ? AV_PIX_FMT_RGB555LE : AV_PIX_FMT_BGR24;
}

// Opens `encoderName` for frames of `input`; null if it refuses them.
CodecContextPtr OpenEncoder(const char* encoderName, const CompressionSettings& settings,
                            const CodecEntry& entry, const BitmapInfoHeader& input)
{
    const AVCodec* encoder = avcodec_find_encoder_by_name(encoderName);
    if (!encoder || input.biWidth <= 0 || input.biHeight <= 0 ||
        (input.biBitCount != 16 && input.biBitCount != 24))
        return nullptr;
    CodecContextPtr context(avcodec_alloc_context3(encoder));
    if (!context)
        return nullptr;
    const AVPixelFormat source = DibPixelFormat(input.biBitCount);
    AVPixelFormat target = source;
    if (encoder->pix_fmts)
        target = avcodec_find_best_pix_fmt_of_list(encoder->pix_fmts, source, 0, nullptr);
    context->pix_fmt = target;
    context->width = input.biWidth;
    context->height = input.biHeight;
    context->time_base = {1, settings.frameRate > 0 ? settings.frameRate : 30};
    context->framerate = {context->time_base.den, 1};
    // One sample out for every frame in: no reordering and no frame threads.
    context->max_b_frames = 0;
    context->thread_count = 1;
    context->codec_tag = settings.handler;
    if (settings.keyFrameEvery > 0 && entry.takesKeyFrames)
        context->gop_size = settings.keyFrameEvery;
    if (settings.kilobytesPerSecond > 0 && entry.takesDataRate)
        context->bit_rate = std::int64_t(settings.kilobytesPerSecond) * 1024 * 8;
    if (settings.quality >= 0 && entry.takesQuality) {
        // Quality 10000 is the finest quantiser (2), 0 the coarsest (31).
        const int quantiser = 31 - std::min(settings.quality, 10000) * 29 / 10000;
        context->flags |= AV_CODEC_FLAG_QSCALE;
        context->global_quality = FF_QP2LAMBDA * quantiser;
    }
    if (std::strcmp(encoderName, "libx264") == 0)
        av_opt_set(context->priv_data, "tune", "zerolatency", 0);
    if (avcodec_open2(context.get(), encoder, nullptr) < 0)
        return nullptr;
    return context;
}

// swscale takes the full-range "J" formats as their plain forms with a full
// output range.
AVPixelFormat PlainFormat(AVPixelFormat format, bool& fullRange)
{
    fullRange = true;
    switch (format) {
    case AV_PIX_FMT_YUVJ420P: return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P: return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P: return AV_PIX_FMT_YUV444P;
    default: fullRange = false; return format;
    }
}

}  // namespace

struct SequenceCompressor::Codec {
    std::uint32_t handler = 0;
    BitmapInfoHeader input;
    CodecContextPtr context;
    ScalerPtr scaler;
    FramePtr frame;
    PacketPtr packet;
    std::int64_t nextPts = 0;
};

SequenceCompressor::SequenceCompressor(std::unique_ptr<Codec> codec) : codec_(std::move(codec)) {}

SequenceCompressor::~SequenceCompressor() = default;

bool SequenceCompressor::Accepts(const CodecEntry& codec, const BitmapInfoHeader& input, int frameRate)
{
    if (!codec.encoder)
        return input.biBitCount == 16 || input.biBitCount == 24;
    CompressionSettings settings;
    settings.handler = codec.handler;
    settings.frameRate = frameRate;
    // Asking is not using: keep the encoders' opening chatter out of the log.
    const int logLevel = av_log_get_level();
    av_log_set_level(AV_LOG_QUIET);
    const bool accepted = OpenEncoder(codec.encoder, settings, codec, input) != nullptr;
    av_log_set_level(logLevel);
    return accepted;
}

std::unique_ptr<SequenceCompressor> SequenceCompressor::Start(const CompressionSettings& settings,
                                                              const BitmapInfoHeader& input)
{
    const CodecEntry* entry = FindCodec(settings.handler);
    if (!entry || !entry->encoder)
        return nullptr;
    auto codec = std::make_unique<Codec>();
    codec->handler = settings.handler;
    codec->input = input;
    codec->context = OpenEncoder(entry->encoder, settings, *entry, input);
    if (!codec->context)
        return nullptr;
    bool fullRange = false;
    const AVPixelFormat target = PlainFormat(codec->context->pix_fmt, fullRange);
    codec->scaler.reset(sws_getContext(input.biWidth, input.biHeight, DibPixelFormat(input.biBitCount),
                                       input.biWidth, input.biHeight, target, SWS_POINT, nullptr, nullptr,
                                       nullptr));
    if (codec->scaler && fullRange) {
        int *inverse, *table, sourceRange, targetRange, brightness, contrast, saturation;
        sws_getColorspaceDetails(codec->scaler.get(), &inverse, &sourceRange, &table, &targetRange, &brightness,
                                 &contrast, &saturation);
        sws_setColorspaceDetails(codec->scaler.get(), inverse, sourceRange, table, 1, brightness, contrast,
                                 saturation);
    }
    codec->frame.reset(av_frame_alloc());
    codec->packet.reset(av_packet_alloc());
    if (!codec->scaler || !codec->frame || !codec->packet)
        return nullptr;
    codec->frame->format = codec->context->pix_fmt;
    codec->frame->width = input.biWidth;
    codec->frame->height = input.biHeight;
    if (av_frame_get_buffer(codec->frame.get(), 0) < 0)
        return nullptr;
    return std::unique_ptr<SequenceCompressor>(new SequenceCompressor(std::move(codec)));
}

const std::uint8_t* SequenceCompressor::CompressFrame(const std::uint8_t* dib, bool& keyFrame,
                                                      std::uint32_t& size)
{
    Codec& c = *codec_;
    if (av_frame_make_writable(c.frame.get()) < 0)
        return nullptr;
    // The DIB is stored bottom-up: start at its last row and step backwards.
    const int rowBytes = int(DibRowBytes(c.input.biWidth, c.input.biBitCount));
    const std::uint8_t* source[1] = {dib + std::size_t(rowBytes) * std::size_t(c.input.biHeight - 1)};
    const int sourceStride[1] = {-rowBytes};
    sws_scale(c.scaler.get(), source, sourceStride, 0, c.input.biHeight, c.frame->data, c.frame->linesize);
    c.frame->pts = c.nextPts++;

    av_packet_unref(c.packet.get());
    if (avcodec_send_frame(c.context.get(), c.frame.get()) < 0 ||
        avcodec_receive_packet(c.context.get(), c.packet.get()) < 0)
        return nullptr;
    keyFrame = (c.packet->flags & AV_PKT_FLAG_KEY) != 0;
    size = std::uint32_t(c.packet->size);
    return c.packet->data;
}

std::vector<std::uint8_t> SequenceCompressor::StreamFormat() const
{
    const Codec& c = *codec_;
    const AVCodecContext& context = *c.context;
    BitmapInfoHeader format = c.input;
    format.biCompression = c.handler;
    format.biBitCount = std::uint16_t(context.bits_per_coded_sample > 0 ? context.bits_per_coded_sample : 24);
    format.biSizeImage = std::uint32_t(DibRowBytes(format.biWidth, 24) * std::size_t(format.biHeight));
    const int extra = context.extradata ? context.extradata_size : 0;
    format.biSize = std::uint32_t(kBitmapInfoHeaderBytes + extra);
    std::vector<std::uint8_t> bytes = SerializeBitmapInfoHeader(format);
    if (extra > 0)
        bytes.insert(bytes.end(), context.extradata, context.extradata + extra);
    return bytes;
}

}  // namespace senki
