#pragma once
// Switches that make operations of the movie platform layer fail on purpose,
// so that every failure path of the writer can be exercised. All off by
// default; the programs never set them.

#include <cstdint>

namespace senki {

struct PlatformFaults {
    bool createFile = false;             // creating the movie file
    bool createStream = false;           // creating its video stream
    bool setFormat = false;              // setting the stream's format
    std::int64_t failWriteAt = -1;       // writing the sample at this position
    bool finishFile = false;             // writing the indexes and headers when the file is released
    bool startCompression = false;       // starting sequence compression
    std::int64_t failCompressAt = -1;    // compressing the frame of this position
};

}  // namespace senki
