#pragma once
// Reads movies back with ffprobe and ffmpeg, the independent readers, and
// makes recognisable test pictures.

#include "support/run_program.h"

#include <QImage>

#include <cstdint>
#include <map>
#include <sstream>
#include <string>

namespace senki::testing {

inline std::string Quoted(const std::string& path)
{
    return "'" + path + "'";
}

// The first video stream's fields (codec_name, width, height, pix_fmt,
// r_frame_rate, nb_read_frames, TAG:title, ...) as ffprobe reports them.
inline std::map<std::string, std::string> ProbeVideo(const std::string& movie)
{
    const ProgramRun run = RunProgram(
        "ffprobe -v error -select_streams v:0 -count_frames -show_entries "
        "stream=codec_name,codec_tag_string,width,height,pix_fmt,r_frame_rate,nb_read_frames:stream_tags=title "
        "-of default=nw=1 " + Quoted(movie),
        movie + ".err");
    std::map<std::string, std::string> fields;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);)
        if (const auto eq = line.find('='); eq != std::string::npos)
            fields[line.substr(0, eq)] = line.substr(eq + 1);
    fields["exit"] = std::to_string(run.exitCode);
    fields["stderr"] = run.err;
    return fields;
}

// The key-frame flag of every packet, "K" or "_", in order.
inline std::string PacketKeyFlags(const std::string& movie)
{
    const ProgramRun run = RunProgram(
        "ffprobe -v error -select_streams v:0 -show_entries packet=flags -of csv=p=0 " + Quoted(movie),
        movie + ".err");
    std::string flags;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty())
            flags += line[0];
    return flags;
}

// Frame `index` decoded by ffmpeg as raw pixels of `pixelFormat`.
inline std::string DecodeFrame(const std::string& movie, int index, const std::string& pixelFormat)
{
    return RunProgram("ffmpeg -v error -i " + Quoted(movie) + " -vf 'select=eq(n\\," + std::to_string(index) +
                          ")' -frames:v 1 -f rawvideo -pix_fmt " + pixelFormat + " -",
                      movie + ".err")
        .out;
}

// A picture that differs in every pixel and from one `seed` to the next.
inline QImage TestPicture(int width, int height, int seed)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb((x * 7 + seed * 13) & 0xFF, (y * 5 + seed * 3) & 0xFF, (x + y + seed * 31) & 0xFF));
    return picture;
}

// The picture as top-down little-endian RGB555 words, as ffmpeg outputs rgb555le.
inline std::string ExpectedRgb555(const QImage& picture)
{
    std::string bytes;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = picture.pixel(x, y);
            const auto word = std::uint16_t((qRed(p) >> 3) << 10 | (qGreen(p) >> 3) << 5 | (qBlue(p) >> 3));
            bytes += char(word & 0xFF);
            bytes += char(word >> 8);
        }
    return bytes;
}

inline std::string ExpectedBgr24(const QImage& picture)
{
    std::string bytes;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = picture.pixel(x, y);
            bytes += char(qBlue(p));
            bytes += char(qGreen(p));
            bytes += char(qRed(p));
        }
    return bytes;
}

// The picture as a 16-bit frame holds it, decoded to rgb24 the way ffmpeg
// widens each 5-bit channel back to 8 bits.
inline std::string ExpectedRgb24From16Bits(const QImage& picture)
{
    std::string bytes;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = picture.pixel(x, y);
            for (const int channel : {qRed(p), qGreen(p), qBlue(p)})
                bytes += char((channel & 0xF8) | (channel >> 5));
        }
    return bytes;
}

}  // namespace senki::testing
