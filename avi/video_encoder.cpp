#include "avi/video_encoder.h"

#include "avi/ffmpeg_raii.h"

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>
#include <span>

namespace senki {

using ffmpeg::Failure;

namespace {

// The quantiser of the codecs steered by a fixed quantiser when the user
// leaves the quality at the codec's default: a clean picture for maps.
constexpr int kDefaultQuantiser = 4;

bool Supports(const AVCodec* codec, AVPixelFormat format)
{
    if (!codec->pix_fmts)
        return true;
    for (const AVPixelFormat* f = codec->pix_fmts; *f != AV_PIX_FMT_NONE; ++f)
        if (*f == format)
            return true;
    return false;
}

AVPixelFormat EncoderFormat(const CodecEntry& entry, const AVCodec* codec, AVPixelFormat source)
{
    static constexpr AVPixelFormat kLossless[] = {AV_PIX_FMT_GBRP, AV_PIX_FMT_BGR0, AV_PIX_FMT_RGB24,
                                                  AV_PIX_FMT_BGRA, AV_PIX_FMT_YUV444P};
    static constexpr AVPixelFormat kFullRangeJpeg[] = {AV_PIX_FMT_YUVJ420P};
    static constexpr AVPixelFormat kPlayers[] = {AV_PIX_FMT_YUV420P};
    std::span<const AVPixelFormat> preferred = kPlayers;
    if (entry.lossless)
        preferred = kLossless;
    else if (codec->id == AV_CODEC_ID_MJPEG)
        preferred = kFullRangeJpeg;
    for (AVPixelFormat format : preferred)
        if (Supports(codec, format))
            return format;
    if (!codec->pix_fmts)
        return source;
    return avcodec_find_best_pix_fmt_of_list(codec->pix_fmts, source, 0, nullptr);
}

// The multiples that a codec's frame dimensions must be: H.264 in 4:2:0
// takes whole chroma samples only, Video 1 and Cinepak whole 4 × 4 blocks.
// The others code any size.
void FrameAlignment(const AVCodec* codec, const AVPixFmtDescriptor* format, int& alignX, int& alignY)
{
    if (codec->id == AV_CODEC_ID_H264) {
        alignX = 1 << format->log2_chroma_w;
        alignY = 1 << format->log2_chroma_h;
    } else if (codec->id == AV_CODEC_ID_MSVIDEO1 || codec->id == AV_CODEC_ID_CINEPAK) {
        alignX = alignY = 4;
    }
}

// Fills the padding right of and below the first `width` × `height` pixels of
// `frame` by repeating the last column and the last row.
void RepeatEdgesIntoPadding(AVFrame* frame, const AVPixFmtDescriptor* format, int width, int height)
{
    for (int plane = 0; plane < av_pix_fmt_count_planes(AVPixelFormat(frame->format)); ++plane) {
        const bool chroma = (plane == 1 || plane == 2) && !(format->flags & AV_PIX_FMT_FLAG_RGB);
        const int shiftX = chroma ? format->log2_chroma_w : 0, shiftY = chroma ? format->log2_chroma_h : 0;
        const int usedW = AV_CEIL_RSHIFT(width, shiftX), usedH = AV_CEIL_RSHIFT(height, shiftY);
        const int fullW = AV_CEIL_RSHIFT(frame->width, shiftX), fullH = AV_CEIL_RSHIFT(frame->height, shiftY);
        int pixelBytes = 0;  // of the components stored in this plane
        for (int i = 0; i < format->nb_components; ++i)
            if (format->comp[i].plane == plane)
                pixelBytes = std::max(pixelBytes, format->comp[i].step);
        std::uint8_t* data = frame->data[plane];
        const std::ptrdiff_t stride = frame->linesize[plane];
        for (int y = 0; y < usedH; ++y) {
            std::uint8_t* row = data + y * stride;
            for (int x = usedW; x < fullW; ++x)
                std::memcpy(row + std::ptrdiff_t(x) * pixelBytes, row + std::ptrdiff_t(usedW - 1) * pixelBytes,
                            std::size_t(pixelBytes));
        }
        for (int y = usedH; y < fullH; ++y)
            std::memcpy(data + y * stride, data + (usedH - 1) * stride, std::size_t(fullW) * std::size_t(pixelBytes));
    }
}

bool IsQuantiserCodec(const AVCodec* codec)
{
    return codec->id == AV_CODEC_ID_MJPEG || codec->id == AV_CODEC_ID_MPEG4 || codec->id == AV_CODEC_ID_MSMPEG4V3 ||
           codec->id == AV_CODEC_ID_MPEG2VIDEO || codec->id == AV_CODEC_ID_MPEG1VIDEO;
}

// Quality 0..10000 (higher is better) onto a quantiser from 31 down to 2.
int QuantiserOf(int quality)
{
    return 31 - (std::clamp(quality, 0, 10000) * 29 + 5000) / 10000;
}

// Quality 0..10000 onto x264's constant rate factor 51 down to 1; 0 would
// switch it to a lossless profile that few players decode.
double RateFactorOf(int quality)
{
    return 51.0 - std::clamp(quality, 0, 10000) * 50.0 / 10000.0;
}

}  // namespace

void VideoEncoder::ContextCloser::operator()(AVCodecContext* context) const
{
    ffmpeg::CodecContextDeleter()(context);
}
void VideoEncoder::FrameCloser::operator()(AVFrame* frame) const
{
    ffmpeg::FrameDeleter()(frame);
}
void VideoEncoder::ScalerCloser::operator()(SwsContext* context) const
{
    ffmpeg::ScalerDeleter()(context);
}

VideoEncoder::VideoEncoder() = default;
VideoEncoder::~VideoEncoder() = default;

bool VideoEncoder::Open(const CodecEntry& entry, const SaveOptions& options, int width, int height, int rateNum,
                        int rateDen, bool globalHeader)
{
    const AVCodec* codec = entry.encoder ? avcodec_find_encoder_by_name(entry.encoder) : nullptr;
    if (!codec) {
        error_ = "no encoder for " + entry.label.toStdString();
        return false;
    }
    if (width <= 0 || height <= 0 || rateNum <= 0 || rateDen <= 0) {
        error_ = "the movie has no usable frame size or frame rate";
        return false;
    }
    context_.reset(avcodec_alloc_context3(codec));
    converted_.reset(av_frame_alloc());
    if (!context_ || !converted_) {
        error_ = Failure("cannot set up " + std::string(entry.encoder), AVERROR(ENOMEM));
        return false;
    }
    AVCodecContext* c = context_.get();
    width_ = width;
    height_ = height;
    c->pix_fmt = EncoderFormat(entry, codec, AV_PIX_FMT_RGB555LE);
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(c->pix_fmt);
    int alignX = 1, alignY = 1;
    FrameAlignment(codec, desc, alignX, alignY);
    c->width = (width + alignX - 1) / alignX * alignX;
    c->height = (height + alignY - 1) / alignY * alignY;
    c->time_base = AVRational{rateDen, rateNum};
    c->framerate = AVRational{rateNum, rateDen};
    c->sample_aspect_ratio = AVRational{1, 1};
    c->thread_count = 0;  // as many as the machine has, as FFmpeg's own tool does
    if (globalHeader)
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;

    if (entry.takesKeyFrames && options.keyFrameEvery > 0)
        c->gop_size = options.keyFrameEvery;
    const bool byDataRate = entry.takesDataRate && options.bytesPerSecond > 0;
    if (byDataRate)
        c->bit_rate = std::int64_t(options.bytesPerSecond) * 8;

    int result = 0;
    if (codec->id == AV_CODEC_ID_H264) {
        // High profile, 4:2:0, 8 bits: what players expect of H.264.
        result = av_opt_set(c->priv_data, "profile", "high", 0);
        if (result >= 0 && !byDataRate && entry.takesQuality && options.quality >= 0)
            result = av_opt_set_double(c->priv_data, "crf", RateFactorOf(options.quality), 0);
    } else if (IsQuantiserCodec(codec) && !byDataRate && entry.takesQuality) {
        const int quantiser = options.quality >= 0 ? QuantiserOf(options.quality) : kDefaultQuantiser;
        c->flags |= AV_CODEC_FLAG_QSCALE;
        c->global_quality = FF_QP2LAMBDA * quantiser;
    }
    if (result >= 0)
        result = avcodec_open2(c, codec, nullptr);
    if (result < 0) {
        error_ = Failure("cannot open the encoder " + std::string(entry.encoder), result);
        context_.reset();
        return false;
    }

    converted_->format = c->pix_fmt;
    converted_->width = c->width;
    converted_->height = c->height;
    if ((result = av_frame_get_buffer(converted_.get(), 0)) < 0) {
        error_ = Failure("cannot allocate a frame", result);
        return false;
    }
    return true;
}

// Converts `in` into the top-left `width_` × `height_` of `out` with the
// conversion of `step`, which is made for the input's pixel format when it
// is first needed. The conversion runs on as many threads as the machine
// has, as FFmpeg's own tool converts.
bool VideoEncoder::Scale(ConversionStep& step, const AVFrame* in, AVFrame* out)
{
    if (!step.scaler || step.sourceFormat != in->format) {
        step.scaler.reset(sws_alloc_context());
        SwsContext* scaler = step.scaler.get();
        const bool set = scaler && av_opt_set_int(scaler, "srcw", width_, 0) >= 0 &&
                         av_opt_set_int(scaler, "srch", height_, 0) >= 0 &&
                         av_opt_set_int(scaler, "src_format", in->format, 0) >= 0 &&
                         av_opt_set_int(scaler, "dstw", width_, 0) >= 0 &&
                         av_opt_set_int(scaler, "dsth", height_, 0) >= 0 &&
                         av_opt_set_int(scaler, "dst_format", out->format, 0) >= 0 &&
                         av_opt_set_int(scaler, "sws_flags", SWS_BICUBIC, 0) >= 0 &&
                         av_opt_set_int(scaler, "threads", 0, 0) >= 0;
        const int result = set ? sws_init_context(scaler, nullptr, nullptr) : AVERROR(EINVAL);
        if (result < 0) {
            step.scaler.reset();
            error_ = Failure("cannot convert the frames to the codec's pixel format", result);
            return false;
        }
        step.sourceFormat = in->format;
    }
    if (!step.view)
        step.view.reset(av_frame_alloc());
    int result = step.view ? av_frame_make_writable(out) : AVERROR(ENOMEM);
    // The conversion sees the frame's size without the padding.
    if (result >= 0)
        result = av_frame_ref(step.view.get(), out);
    if (result >= 0) {
        step.view->width = width_;
        step.view->height = height_;
        result = sws_scale_frame(step.scaler.get(), step.view.get(), in);
        av_frame_unref(step.view.get());
    }
    if (result < 0) {
        error_ = Failure("cannot convert a frame", result);
        return false;
    }
    return true;
}

bool VideoEncoder::Convert(const AVFrame* frame)
{
    if (frame->width != width_ || frame->height != height_) {
        error_ = "the frame size changes within the movie";
        return false;
    }
    AVCodecContext* c = context_.get();

    // The direct conversion from 5-bit to planar 8-bit RGB rounds some
    // values differently from the packed one, so planar RGB is reached
    // through packed 8-bit RGB, which repeats the top bits exactly.
    const AVPixFmtDescriptor* source = av_pix_fmt_desc_get(AVPixelFormat(frame->format));
    const AVPixFmtDescriptor* target = av_pix_fmt_desc_get(c->pix_fmt);
    const bool planarRgb = (target->flags & AV_PIX_FMT_FLAG_RGB) && (target->flags & AV_PIX_FMT_FLAG_PLANAR);
    if (source && planarRgb && (source->flags & AV_PIX_FMT_FLAG_RGB) && source->comp[0].depth < 8) {
        if (!staging_) {
            staging_.reset(av_frame_alloc());
            if (!staging_) {
                error_ = Failure("cannot allocate a frame", AVERROR(ENOMEM));
                return false;
            }
            staging_->format = AV_PIX_FMT_BGR0;
            staging_->width = width_;
            staging_->height = height_;
            if (const int result = av_frame_get_buffer(staging_.get(), 0); result < 0) {
                staging_.reset();
                error_ = Failure("cannot allocate a frame", result);
                return false;
            }
        }
        if (!Scale(toStaging_, frame, staging_.get()))
            return false;
        frame = staging_.get();
    }
    if (!Scale(toEncoder_, frame, converted_.get()))
        return false;
    AVFrame* out = converted_.get();

    if (c->width != width_ || c->height != height_)
        RepeatEdgesIntoPadding(out, target, width_, height_);
    return true;
}

bool VideoEncoder::Send(const AVFrame* frame, std::int64_t index)
{
    int result;
    if (frame) {
        if (!Convert(frame))
            return false;
        converted_->pts = index;
        result = avcodec_send_frame(context_.get(), converted_.get());
    } else {
        result = avcodec_send_frame(context_.get(), nullptr);
    }
    if (result < 0) {
        error_ = Failure("cannot encode a frame", result);
        return false;
    }
    return true;
}

VideoEncoder::Receive VideoEncoder::ReceivePacket(AVPacket* packet)
{
    const int result = avcodec_receive_packet(context_.get(), packet);
    if (result >= 0)
        return Receive::Packet;
    if (result == AVERROR(EAGAIN))
        return Receive::NeedMore;
    if (result == AVERROR_EOF)
        return Receive::End;
    error_ = Failure("cannot encode a frame", result);
    return Receive::Failed;
}

}  // namespace senki
