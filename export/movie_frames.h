#pragma once
// One record's share of a movie: its picture with the date in the corner,
// handed to the writer fifteen times, half a second at 30 frames a second.

#include <QImage>

#include <cstdint>

namespace senki {

class TAviWriter;

inline constexpr int kFramesPerRecord = 15;

// Writes the date of `record` into `picture` and adds the picture to the
// movie kFramesPerRecord times. False when a frame could not be written (the
// writer has then told the user); the remaining frames are not attempted.
bool AddRecordFrames(TAviWriter& writer, QImage& picture, std::int64_t record);

}  // namespace senki
