#pragma once
// Movies for the re-save tests, made and inspected with FFmpeg's own tools.

#include "support/run_program.h"
#include "support/temp_dir.h"

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>

namespace senki::testing {

inline bool RunTool(const std::string& command, const std::string& scratch)
{
    return RunProgram(command, scratch + ".err").exitCode == 0;
}

// An uncompressed movie as the writer leaves it: 16-bit frames of the map's
// size (X1R5G5B5, FFmpeg's rgb555le), 30 per second, in a stream named "VIDEO".
inline bool MakeUncompressedMovie(const std::string& path, int frames)
{
    return RunTool("ffmpeg -v error -y -f lavfi -i testsrc=size=560x375:rate=30 -frames:v " +
                       std::to_string(frames) +
                       " -c:v rawvideo -pix_fmt rgb555le -metadata:s:v title=VIDEO '" + path + "'",
                   path);
}

// What ffprobe says of the first video stream, key by key.
inline std::map<std::string, std::string> ProbeVideo(const std::string& path)
{
    const ProgramRun run = RunProgram(
        "ffprobe -v error -select_streams v:0 -count_frames -show_entries "
        "stream=codec_name,codec_tag_string,profile,pix_fmt,width,height,nb_read_frames -of default=nw=1 '" +
            path + "'",
        path + ".probe.err");
    std::map<std::string, std::string> fields;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);)
        if (const auto eq = line.find('='); eq != std::string::npos)
            fields[line.substr(0, eq)] = line.substr(eq + 1);
    return fields;
}

// Every frame of the movie decoded into raw pixels of `pixelFormat`.
inline std::string DecodedPixels(const std::string& path, const std::string& pixelFormat)
{
    const std::string raw = path + "." + pixelFormat + ".raw";
    if (!RunTool("ffmpeg -v error -y -i '" + path + "' -f rawvideo -pix_fmt " + pixelFormat + " '" + raw + "'",
                 raw))
        return {};
    std::ifstream in(raw, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace senki::testing
