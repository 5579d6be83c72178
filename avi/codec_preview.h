#pragma once
// The preview of the save-options dialog: a movie's first frame as it is,
// and as it comes out of a codec with given settings.

#include "avi/save_options.h"

#include <QImage>

#include <memory>
#include <string>

struct AVFrame;

namespace senki {

class CodecPreview {
public:
    CodecPreview();
    ~CodecPreview();
    CodecPreview(const CodecPreview&) = delete;
    CodecPreview& operator=(const CodecPreview&) = delete;

    // Reads the first frame of the movie; false with `error` set when none.
    bool Load(const std::string& movie, std::string& error);

    QImage Original() const { return original_; }
    // The first frame compressed with `options` and decoded again; a null
    // image with `error` set on failure. Full frames give the original.
    QImage Compressed(const SaveOptions& options, std::string& error) const;

private:
    struct FrameCloser {
        void operator()(AVFrame* frame) const;
    };
    std::unique_ptr<AVFrame, FrameCloser> frame_;
    QImage original_;
};

}  // namespace senki
