#include "avi/movie_transcoder.h"

#include "avi/codec_catalog.h"
#include "avi/ffmpeg_raii.h"
#include "avi/fourcc.h"
#include "avi/movie_reader.h"
#include "avi/video_encoder.h"

#include <algorithm>
#include <filesystem>

namespace senki {

using ffmpeg::Failure;
using Outcome = TranscodeResult::Outcome;

namespace {

// Reports each new whole percentage once; remembers a request to stop.
class ProgressReport {
public:
    ProgressReport(const TranscodeProgress& callback, std::int64_t total) : callback_(callback), total_(total) {}

    // False once the callback asked to stop.
    bool At(std::int64_t done)
    {
        const int percent = total_ > 0 ? int(std::min<std::int64_t>(100, done * 100 / total_)) : 0;
        return Report(percent);
    }
    bool Finished() { return Report(100); }

private:
    bool Report(int percent)
    {
        if (percent <= last_)
            return true;
        last_ = percent;
        return !callback_ || callback_(percent) == 0;
    }

    const TranscodeProgress& callback_;
    std::int64_t total_;
    int last_ = -1;
};

class Transcode {
public:
    Transcode(MovieReader& source, const std::string& output, const SaveOptions& options,
              const TranscodeProgress& progress)
        : source_(source), output_(output), options_(options), progress_(progress, source.FrameCount())
    {
    }

    TranscodeResult Run()
    {
        const Outcome outcome = Write();
        if (outcome != Outcome::Done) {
            // Close the file before removing what was written of it.
            muxer_.reset();
            if (created_) {
                std::error_code ignored;
                std::filesystem::remove(output_, ignored);
            }
        }
        return {outcome, outcome == Outcome::Failed ? error_ : std::string(), frames_};
    }

private:
    Outcome Fail(std::string error)
    {
        error_ = std::move(error);
        return Outcome::Failed;
    }

    Outcome Write()
    {
        const CodecEntry* codec = FindCodec(options_.fccHandler);
        if (!codec)
            return Fail("unknown codec " + FourCCText(options_.fccHandler));
        if (!codec->encoder)
            return Fail("full frames are not a compression");
        int rateNum = 0, rateDen = 0;
        if (!source_.FrameRate(rateNum, rateDen))
            return Fail("the movie has no frame rate");

        AVFormatContext* muxer = nullptr;
        int result = avformat_alloc_output_context2(&muxer, nullptr, "avi", output_.c_str());
        if (result < 0)
            return Fail(Failure("cannot set up the AVI writer", result));
        muxer_.reset(muxer);

        const bool globalHeader = muxer->oformat->flags & AVFMT_GLOBALHEADER;
        if (!encoder_.Open(*codec, options_, source_.Width(), source_.Height(), rateNum, rateDen, globalHeader))
            return Fail(encoder_.Error());
        const AVCodecContext* encoder = encoder_.Context();

        stream_ = avformat_new_stream(muxer, nullptr);
        if (!stream_)
            return Fail(Failure("cannot add the video stream", AVERROR(ENOMEM)));
        if ((result = avcodec_parameters_from_context(stream_->codecpar, encoder)) < 0)
            return Fail(Failure("cannot add the video stream", result));
        // Keep the catalogue's handler code where the AVI writer knows it for this codec.
        if (av_codec_get_id(muxer->oformat->codec_tag, codec->handler) == encoder->codec_id)
            stream_->codecpar->codec_tag = codec->handler;
        stream_->time_base = encoder->time_base;
        stream_->avg_frame_rate = encoder->framerate;
        stream_->sample_aspect_ratio = encoder->sample_aspect_ratio;
        av_dict_copy(&stream_->metadata, source_.Stream()->metadata, 0);  // the stream's name

        if ((result = avio_open(&muxer->pb, output_.c_str(), AVIO_FLAG_WRITE)) < 0)
            return Fail(Failure("cannot create " + output_, result));
        created_ = true;
        if ((result = avformat_write_header(muxer, nullptr)) < 0)
            return Fail(Failure("cannot write " + output_, result));

        packet_.reset(av_packet_alloc());
        ffmpeg::FramePtr frame(av_frame_alloc());
        if (!packet_ || !frame)
            return Fail(Failure("cannot read the movie", AVERROR(ENOMEM)));

        if (!progress_.At(0))
            return Outcome::Aborted;
        for (std::int64_t index = 0;; ++index) {
            const MovieReader::ReadStatus read = source_.ReadFrame(frame.get());
            if (read == MovieReader::ReadStatus::Failed)
                return Fail(source_.Error());
            if (read == MovieReader::ReadStatus::End)
                break;
            if (!encoder_.Send(frame.get(), index))
                return Fail(encoder_.Error());
            if (!WritePackets())
                return Outcome::Failed;
            ++frames_;
            if (!progress_.At(frames_))
                return Outcome::Aborted;
        }
        if (!encoder_.Send(nullptr, 0))
            return Fail(encoder_.Error());
        if (!WritePackets())
            return Outcome::Failed;
        if ((result = av_write_trailer(muxer)) < 0)
            return Fail(Failure("cannot write " + output_, result));
        if ((result = avio_closep(&muxer->pb)) < 0)
            return Fail(Failure("cannot write " + output_, result));
        if (!progress_.Finished())
            return Outcome::Aborted;
        return Outcome::Done;
    }

    // Writes every packet the encoder has ready.
    bool WritePackets()
    {
        for (;;) {
            switch (encoder_.ReceivePacket(packet_.get())) {
            case VideoEncoder::Receive::NeedMore:
            case VideoEncoder::Receive::End:
                return true;
            case VideoEncoder::Receive::Failed:
                error_ = encoder_.Error();
                return false;
            case VideoEncoder::Receive::Packet:
                break;
            }
            av_packet_rescale_ts(packet_.get(), encoder_.Context()->time_base, stream_->time_base);
            packet_->stream_index = stream_->index;
            if (const int result = av_interleaved_write_frame(muxer_.get(), packet_.get()); result < 0) {
                error_ = Failure("cannot write " + output_, result);
                return false;
            }
        }
    }

    MovieReader& source_;
    const std::string& output_;
    const SaveOptions& options_;
    ProgressReport progress_;
    VideoEncoder encoder_;
    ffmpeg::OutputFormatPtr muxer_;
    ffmpeg::PacketPtr packet_;
    AVStream* stream_ = nullptr;
    bool created_ = false;
    std::int64_t frames_ = 0;
    std::string error_;
};

}  // namespace

TranscodeResult TranscodeMovie(MovieReader& source, const std::string& output, const SaveOptions& options,
                               const TranscodeProgress& progress)
{
    return Transcode(source, output, options, progress).Run();
}

TranscodeResult TranscodeMovie(const std::string& input, const std::string& output, const SaveOptions& options,
                               const TranscodeProgress& progress)
{
    MovieReader source;
    if (source.Open(input) != MovieReader::OpenStatus::Opened)
        return {Outcome::Failed, source.Error(), 0};
    return TranscodeMovie(source, output, options, progress);
}

}  // namespace senki
