#include "avi/movie_reader.h"

#include "avi/ffmpeg_raii.h"

namespace senki {

using ffmpeg::Failure;

void MovieReader::InputCloser::operator()(AVFormatContext* context) const
{
    ffmpeg::InputFormatDeleter()(context);
}
void MovieReader::DecoderCloser::operator()(AVCodecContext* context) const
{
    ffmpeg::CodecContextDeleter()(context);
}
void MovieReader::PacketCloser::operator()(AVPacket* packet) const
{
    ffmpeg::PacketDeleter()(packet);
}

MovieReader::MovieReader() = default;
MovieReader::~MovieReader() = default;

MovieReader::OpenStatus MovieReader::Open(const std::string& path)
{
    decoder_.reset();
    input_.reset();
    stream_ = nullptr;
    draining_ = false;

    AVFormatContext* input = nullptr;
    if (const int result = avformat_open_input(&input, path.c_str(), nullptr, nullptr); result < 0) {
        error_ = Failure("cannot open " + path, result);
        return OpenStatus::CannotOpenFile;
    }
    input_.reset(input);
    if (const int result = avformat_find_stream_info(input, nullptr); result < 0) {
        error_ = Failure("cannot read the streams of " + path, result);
        return OpenStatus::CannotOpenFile;
    }

    const AVCodec* codec = nullptr;
    const int index = av_find_best_stream(input, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (index < 0 || !codec) {
        error_ = Failure("no video stream that can be decoded in " + path,
                         index < 0 ? index : AVERROR_DECODER_NOT_FOUND);
        return OpenStatus::CannotOpenStream;
    }
    stream_ = input->streams[index];
    for (unsigned i = 0; i < input->nb_streams; ++i)
        if (int(i) != index)
            input->streams[i]->discard = AVDISCARD_ALL;

    decoder_.reset(avcodec_alloc_context3(codec));
    if (!decoder_) {
        error_ = Failure("cannot decode the video stream", AVERROR(ENOMEM));
        return OpenStatus::CannotOpenStream;
    }
    int result = avcodec_parameters_to_context(decoder_.get(), stream_->codecpar);
    if (result >= 0) {
        decoder_->thread_count = 0;  // as many as the machine has
        result = avcodec_open2(decoder_.get(), codec, nullptr);
    }
    if (result >= 0 && (decoder_->width <= 0 || decoder_->height <= 0 || decoder_->pix_fmt == AV_PIX_FMT_NONE))
        result = AVERROR_INVALIDDATA;
    if (result < 0) {
        decoder_.reset();
        error_ = Failure("cannot decode the video stream", result);
        return OpenStatus::CannotOpenStream;
    }
    packet_.reset(av_packet_alloc());
    if (!packet_) {
        error_ = Failure("cannot decode the video stream", AVERROR(ENOMEM));
        return OpenStatus::CannotOpenStream;
    }
    error_.clear();
    return OpenStatus::Opened;
}

int MovieReader::Width() const
{
    return decoder_ ? decoder_->width : 0;
}

int MovieReader::Height() const
{
    return decoder_ ? decoder_->height : 0;
}

bool MovieReader::FrameRate(int& num, int& den) const
{
    if (!stream_)
        return false;
    const AVRational rate = av_guess_frame_rate(input_.get(), stream_, nullptr);
    if (rate.num <= 0 || rate.den <= 0)
        return false;
    num = rate.num;
    den = rate.den;
    return true;
}

std::int64_t MovieReader::FrameCount() const
{
    if (!stream_)
        return 0;
    if (stream_->nb_frames > 0)
        return stream_->nb_frames;
    const AVRational rate = av_guess_frame_rate(input_.get(), stream_, nullptr);
    if (stream_->duration > 0 && rate.num > 0)
        return av_rescale_q(stream_->duration, stream_->time_base, av_inv_q(rate));
    return 0;
}

MovieReader::ReadStatus MovieReader::ReadFrame(AVFrame* frame)
{
    av_frame_unref(frame);
    for (;;) {
        int result = avcodec_receive_frame(decoder_.get(), frame);
        if (result >= 0)
            return ReadStatus::Frame;
        if (result == AVERROR_EOF)
            return ReadStatus::End;
        if (result != AVERROR(EAGAIN)) {
            error_ = Failure("cannot decode a frame", result);
            return ReadStatus::Failed;
        }
        if (draining_) {
            // The decoder wants input after the flush: nothing more comes.
            return ReadStatus::End;
        }
        result = av_read_frame(input_.get(), packet_.get());
        if (result == AVERROR_EOF) {
            draining_ = true;
            result = avcodec_send_packet(decoder_.get(), nullptr);
        } else if (result < 0) {
            error_ = Failure("cannot read the movie", result);
            return ReadStatus::Failed;
        } else {
            // An empty chunk stands for a dropped frame; an empty packet would
            // end the decoding instead.
            if (packet_->stream_index == stream_->index && packet_->size > 0)
                result = avcodec_send_packet(decoder_.get(), packet_.get());
            av_packet_unref(packet_.get());
        }
        if (result < 0 && result != AVERROR_EOF) {
            error_ = Failure("cannot decode a frame", result);
            return ReadStatus::Failed;
        }
    }
}

}  // namespace senki
