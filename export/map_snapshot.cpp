#include "export/map_snapshot.h"

#include <QDir>
#include <QSaveFile>

#include <cstdint>

namespace senki {

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr std::uint32_t kPixelsPerMetre = 3780;  // 96 dots per inch

void Put16(char*& out, std::uint16_t value)
{
    *out++ = char(value & 0xFF);
    *out++ = char(value >> 8);
}

void Put32(char*& out, std::uint32_t value)
{
    for (int b = 0; b < 4; ++b)
        *out++ = char((value >> (8 * b)) & 0xFF);
}

}  // namespace

QByteArray EncodeMapSnapshot(const QImage& map)
{
    const QImage rgb = map.convertToFormat(QImage::Format_RGB32);
    const std::uint32_t width = std::uint32_t(rgb.width()), height = std::uint32_t(rgb.height());
    const std::uint32_t imageSize = width * height * 4;
    const std::uint32_t offset = kFileHeaderSize + kInfoHeaderSize;
    QByteArray file(qsizetype(offset + imageSize), '\0');
    char* out = file.data();

    *out++ = 'B';
    *out++ = 'M';
    Put32(out, offset + imageSize);
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, offset);

    Put32(out, kInfoHeaderSize);
    Put32(out, width);
    Put32(out, height);  // positive: bottom row first
    Put16(out, 1);       // planes
    Put16(out, 32);      // bits per pixel
    Put32(out, 0);       // uncompressed RGB
    Put32(out, imageSize);
    Put32(out, kPixelsPerMetre);
    Put32(out, kPixelsPerMetre);
    Put32(out, 0);  // colours used
    Put32(out, 0);  // important colours

    for (int y = int(height) - 1; y >= 0; --y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (std::uint32_t x = 0; x < width; ++x)
            Put32(out, row[x] & 0xFFFFFFu);
    }
    return file;
}

bool WriteMapSnapshot(const QImage& map, const QString& path, QString& error)
{
    QSaveFile file(path);
    const QByteArray bytes = EncodeMapSnapshot(map);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error = QStringLiteral("Cannot write file \"%1\": %2").arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    return true;
}

}  // namespace senki
