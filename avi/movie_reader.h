#pragma once
// Reads the first video stream of a movie file frame by frame, decoded.

#include <cstdint>
#include <memory>
#include <string>

struct AVFormatContext;
struct AVCodecContext;
struct AVStream;
struct AVFrame;
struct AVPacket;

namespace senki {

class MovieReader {
public:
    enum class OpenStatus {
        Opened,
        CannotOpenFile,     // missing, unreadable or not a movie
        CannotOpenStream,   // no video stream, or none that can be decoded
    };
    enum class ReadStatus { Frame, End, Failed };

    MovieReader();
    ~MovieReader();
    MovieReader(const MovieReader&) = delete;
    MovieReader& operator=(const MovieReader&) = delete;

    OpenStatus Open(const std::string& path);
    // Why the last operation failed.
    const std::string& Error() const { return error_; }

    AVStream* Stream() const { return stream_; }
    const AVCodecContext* Decoder() const { return decoder_.get(); }
    int Width() const;
    int Height() const;
    // The frame rate as num/den frames per second; false when unknown.
    bool FrameRate(int& num, int& den) const;
    // The number of frames the file announces; 0 when it does not say.
    std::int64_t FrameCount() const;

    // Decodes the next frame into `frame` (which it unreferences first).
    ReadStatus ReadFrame(AVFrame* frame);

private:
    struct InputCloser {
        void operator()(AVFormatContext* context) const;
    };
    struct DecoderCloser {
        void operator()(AVCodecContext* context) const;
    };
    struct PacketCloser {
        void operator()(AVPacket* packet) const;
    };

    std::unique_ptr<AVFormatContext, InputCloser> input_;
    std::unique_ptr<AVCodecContext, DecoderCloser> decoder_;
    std::unique_ptr<AVPacket, PacketCloser> packet_;
    AVStream* stream_ = nullptr;
    bool draining_ = false;
    std::string error_;
};

}  // namespace senki
