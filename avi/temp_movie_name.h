#pragma once
// The name of the temporary file that the compressing re-save writes beside
// the movie: the extension of the file name (from the last "." of its last
// path component on) replaced by "_.avi", or "_.avi" appended to a name
// without one. war.avi gives war_.avi.

#include <QString>

namespace senki {

QString TempMovieName(const QString& fileName);

}  // namespace senki
