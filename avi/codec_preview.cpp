#include "avi/codec_preview.h"

#include "avi/codec_catalog.h"
#include "avi/ffmpeg_raii.h"
#include "avi/movie_reader.h"
#include "avi/video_encoder.h"

#include <algorithm>

namespace senki {

using ffmpeg::Failure;

namespace {

// A frame as a 32-bit image of `width` × `height` from its top-left corner.
QImage ToImage(const AVFrame* frame, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    ffmpeg::ScalerPtr scaler(sws_getContext(width, height, AVPixelFormat(frame->format), width, height,
                                            AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr, nullptr));
    if (!scaler || image.isNull())
        return {};
    std::uint8_t* data[4] = {image.bits(), nullptr, nullptr, nullptr};
    int linesize[4] = {int(image.bytesPerLine()), 0, 0, 0};
    if (sws_scale(scaler.get(), frame->data, frame->linesize, 0, height, data, linesize) < 0)
        return {};
    return image;
}

}  // namespace

void CodecPreview::FrameCloser::operator()(AVFrame* frame) const
{
    ffmpeg::FrameDeleter()(frame);
}

CodecPreview::CodecPreview() = default;
CodecPreview::~CodecPreview() = default;

bool CodecPreview::Load(const std::string& movie, std::string& error)
{
    MovieReader reader;
    if (reader.Open(movie) != MovieReader::OpenStatus::Opened) {
        error = reader.Error();
        return false;
    }
    frame_.reset(av_frame_alloc());
    if (!frame_) {
        error = Failure("cannot read the movie", AVERROR(ENOMEM));
        return false;
    }
    const MovieReader::ReadStatus read = reader.ReadFrame(frame_.get());
    if (read != MovieReader::ReadStatus::Frame) {
        error = read == MovieReader::ReadStatus::End ? "the movie has no frames" : reader.Error();
        frame_.reset();
        return false;
    }
    original_ = ToImage(frame_.get(), frame_->width, frame_->height);
    return true;
}

QImage CodecPreview::Compressed(const SaveOptions& options, std::string& error) const
{
    if (!frame_) {
        error = "no frame to preview";
        return {};
    }
    const CodecEntry* codec = FindCodec(options.fccHandler);
    if (!codec) {
        error = "unknown codec";
        return {};
    }
    if (!codec->encoder)
        return original_;

    VideoEncoder encoder;
    if (!encoder.Open(*codec, options, frame_->width, frame_->height, 30, 1, false)) {
        error = encoder.Error();
        return {};
    }
    const AVCodecContext* encoding = encoder.Context();
    const AVCodec* decoding = avcodec_find_decoder(encoding->codec_id);
    ffmpeg::CodecContextPtr decoder(decoding ? avcodec_alloc_context3(decoding) : nullptr);
    ffmpeg::PacketPtr packet(av_packet_alloc());
    ffmpeg::FramePtr decoded(av_frame_alloc());
    if (!decoder || !packet || !decoded) {
        error = "no decoder for the codec";
        return {};
    }
    decoder->width = encoding->width;
    decoder->height = encoding->height;
    decoder->pix_fmt = encoding->pix_fmt;
    decoder->codec_tag = codec->handler;
    if (encoding->extradata_size > 0) {
        decoder->extradata = static_cast<std::uint8_t*>(
            av_mallocz(std::size_t(encoding->extradata_size) + AV_INPUT_BUFFER_PADDING_SIZE));
        if (!decoder->extradata) {
            error = Failure("cannot decode", AVERROR(ENOMEM));
            return {};
        }
        std::copy_n(encoding->extradata, encoding->extradata_size, decoder->extradata);
        decoder->extradata_size = encoding->extradata_size;
    }
    if (const int result = avcodec_open2(decoder.get(), decoding, nullptr); result < 0) {
        error = Failure("cannot open the decoder", result);
        return {};
    }

    if (!encoder.Send(frame_.get(), 0) || !encoder.Send(nullptr, 0)) {
        error = encoder.Error();
        return {};
    }
    for (;;) {
        const VideoEncoder::Receive got = encoder.ReceivePacket(packet.get());
        if (got == VideoEncoder::Receive::Failed) {
            error = encoder.Error();
            return {};
        }
        if (got != VideoEncoder::Receive::Packet)
            break;
        const int result = avcodec_send_packet(decoder.get(), packet.get());
        av_packet_unref(packet.get());
        if (result < 0) {
            error = Failure("cannot decode", result);
            return {};
        }
    }
    avcodec_send_packet(decoder.get(), nullptr);
    if (const int result = avcodec_receive_frame(decoder.get(), decoded.get()); result < 0) {
        error = Failure("cannot decode", result);
        return {};
    }
    return ToImage(decoded.get(), frame_->width, frame_->height);
}

}  // namespace senki
