#include "avi/temp_movie_name.h"

namespace senki {

QString TempMovieName(const QString& fileName)
{
    const qsizetype nameStart = fileName.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot >= nameStart ? fileName.left(dot) : fileName;
    return stem + QStringLiteral("_.avi");
}

}  // namespace senki
