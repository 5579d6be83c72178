#include "export/movie_frames.h"

#include "avi/avi_writer.h"
#include "export/date_overlay.h"
#include "history/calendar.h"

namespace senki {

bool AddRecordFrames(TAviWriter& writer, QImage& picture, std::int64_t record)
{
    DrawDateOverlay(picture, QString::fromStdString(RecordDateText(record)));
    for (int frame = 0; frame < kFramesPerRecord; ++frame)
        if (!writer.AddFrame(picture))
            return false;
    return true;
}

}  // namespace senki
