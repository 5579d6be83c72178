#pragma once
// The map snapshot: a map written as an uncompressed 32-bit BMP file.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace senki {

// The BMP file of `map`: a 14-byte file header, a 40-byte information header
// and the rows bottom row first, four bytes a pixel (blue, green, red, 0).
// A 560 × 375 map gives 840,054 bytes.
QByteArray EncodeMapSnapshot(const QImage& map);

// Writes EncodeMapSnapshot(map) to `path`, creating or replacing the file.
// The file appears only once it is complete; on failure `error` names the
// file and the system's reason and any earlier file is left as it was.
bool WriteMapSnapshot(const QImage& map, const QString& path, QString& error);

}  // namespace senki
