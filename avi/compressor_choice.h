#pragma once
// The compressor-choice dialog: the user picks the codec of a movie's
// pre-compressed frames, with its quality, key-frame rate and data rate. The
// dialog sits behind a seam so that tests answer it instead of a modal loop.

#include "avi/codec_catalog.h"
#include "avi/dib_frame.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace senki {

struct CompressorChoiceRequest {
    QWidget* owner = nullptr;
    QString title;
    BitmapInfoHeader input;          // the frames to be compressed
    std::vector<CodecEntry> codecs;  // those that take `input`, full frames first
};

struct CompressorChoice {
    std::uint32_t handler = 0;       // "DIB " for full frames
    std::int32_t quality = -1;       // 0..10000; -1 for the codec's default
    std::int32_t keyFrameEvery = 0;  // 0 for the codec's default
    std::int32_t kilobytesPerSecond = 0;
};

// The codecs of AvailableCodecs() that take frames of `input`, full frames first.
std::vector<CodecEntry> CodecsTaking(const BitmapInfoHeader& input, int frameRate);

// Shows the dialog (or asks the installed handler). Nullopt when cancelled.
std::optional<CompressorChoice> AskCompressorChoice(const CompressorChoiceRequest& request);

using CompressorChoiceHandler = std::function<std::optional<CompressorChoice>(const CompressorChoiceRequest&)>;
// Replaces the dialog (for tests); an empty handler restores it. Returns the
// handler that was in place.
CompressorChoiceHandler SetCompressorChoiceHandler(CompressorChoiceHandler handler);

}  // namespace senki
