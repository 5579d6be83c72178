#pragma once
// The options of the compressing re-save: which codec the movie's video
// stream is compressed with, and its settings. The choice dialog leaves the
// user's choice here, and a component keeps it for its next re-save.

#include <cstdint>

namespace senki {

struct SaveOptions {
    std::uint32_t fccType = 0;     // the stream type the options apply to ("vids")
    std::uint32_t fccHandler = 0;  // the codec's handler code; "DIB " for full frames
    std::int32_t keyFrameEvery = 0;   // a key frame every so many frames; 0 for the codec's default
    std::int32_t quality = -1;        // 0..10000; -1 for the codec's default
    std::int32_t bytesPerSecond = 0;  // the data rate; 0 for none
    // The codec confirmed in the dialog last time, which it offers first
    // again: the re-save resets fccHandler to full frames before the dialog,
    // so that leaving it by cancel compresses nothing. 0 before any choice.
    std::uint32_t lastChosenHandler = 0;
};

}  // namespace senki
