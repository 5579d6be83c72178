#pragma once
// The movie engine of the compressing re-save, without any user interface:
// reads the video stream of a movie, compresses it with the codec and
// settings of a SaveOptions and writes it to a new AVI file, reporting the
// percentage done as it goes.

#include "avi/save_options.h"

#include <cstdint>
#include <functional>
#include <string>

namespace senki {

class MovieReader;

struct TranscodeResult {
    enum class Outcome { Done, Aborted, Failed };
    Outcome outcome = Outcome::Failed;
    std::string error;        // why it failed
    std::int64_t frames = 0;  // frames written
    bool Done() const { return outcome == Outcome::Done; }
};

// Called with 0 to 100, each value once at most and in rising order; any
// return value other than 0 stops the transcode, which then ends as aborted.
using TranscodeProgress = std::function<int(int percent)>;

// Writes the movie of `source`, read from its first frame on, to `output`.
// `options.fccHandler` names the codec (see codec_catalog.h); full frames are
// not a compression and fail. On failure or abort no file is left at
// `output`.
TranscodeResult TranscodeMovie(MovieReader& source, const std::string& output, const SaveOptions& options,
                               const TranscodeProgress& progress);

// The same, opening the movie at `input` first.
TranscodeResult TranscodeMovie(const std::string& input, const std::string& output, const SaveOptions& options,
                               const TranscodeProgress& progress);

}  // namespace senki
