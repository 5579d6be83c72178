// The compressing re-save against FFmpeg's own command-line tool: the same
// uncompressed movie (960 frames of 560 × 375 at 16 bits, as the movie export
// writes for 64 half months), the same codec, pixel format and settings, and
// the tool's default threading on both sides. `ratio` is the re-save's wall
// time over the tool's; it should stay at 1.1 or below. `cpu_ratio` compares
// the processor time of all threads on both sides, which a busy machine
// disturbs far less than the wall time.

#include "avi/codec_catalog.h"
#include "avi/fourcc.h"
#include "avi/movie_transcoder.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const fs::path& Scratch()
{
    static const fs::path dir = [] {
        fs::path path = fs::temp_directory_path() / ("senki-bench-resave-" + std::to_string(::getpid()));
        fs::create_directories(path);
        return path;
    }();
    return dir;
}

// Made once per run.
const std::string& UncompressedMovie()
{
    static const std::string path = [] {
        const std::string movie = (Scratch() / "war.avi").string();
        const std::string command = "ffmpeg -v error -y -f lavfi -i testsrc=size=560x375:rate=30 -frames:v 960 "
                                    "-c:v rawvideo -pix_fmt rgb555le '" + movie + "'";
        return std::system(command.c_str()) == 0 ? movie : std::string();
    }();
    return path;
}

struct Case {
    const char* codec;     // our name of it
    const char* toolArgs;  // the same encoding for the tool
};

// Motion JPEG at the re-save's default quantiser; H.264 at x264's defaults,
// High profile 4:2:0 with the 375 rows padded to 376 after the conversion.
constexpr Case kCases[] = {
    {"mjpeg", "-c:v mjpeg -pix_fmt yuvj420p -q:v 4"},
    {"h264", "-vf format=yuv420p,pad=560:376 -c:v libx264 -profile:v high"},
};

double Seconds(Clock::duration elapsed)
{
    return std::chrono::duration<double>(elapsed).count();
}

// User and system time so far of this process's threads, or of its ended children.
double ProcessorSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Timing {
    double wall = 0;
    double processor = 0;
};

void BM_ResaveAgainstTool(benchmark::State& state)
{
    const Case& c = kCases[state.range(0)];
    state.SetLabel(c.codec);
    const std::string& input = UncompressedMovie();
    if (input.empty()) {
        state.SkipWithError("cannot make the uncompressed movie with ffmpeg");
        return;
    }
    senki::SaveOptions options;
    options.fccType = senki::kStreamTypeVideo;
    options.fccHandler = senki::FindCodecByName(c.codec)->handler;
    const std::string ours = (Scratch() / "ours.avi").string();
    const std::string theirs = (Scratch() / "tool.avi").string();
    const std::string tool = std::string("ffmpeg -v error -y -i '") + input + "' " + c.toolArgs + " -f avi '" +
                             theirs + "'";

    auto runResave = [&] {
        const double processor = ProcessorSeconds(RUSAGE_SELF);
        const Clock::time_point start = Clock::now();
        const senki::TranscodeResult result = senki::TranscodeMovie(input, ours, options, nullptr);
        if (!result.Done())
            state.SkipWithError(result.error.c_str());
        return Timing{Seconds(Clock::now() - start), ProcessorSeconds(RUSAGE_SELF) - processor};
    };
    auto runTool = [&] {
        const double processor = ProcessorSeconds(RUSAGE_CHILDREN);
        const Clock::time_point start = Clock::now();
        if (std::system(tool.c_str()) != 0)
            state.SkipWithError("the ffmpeg tool failed");
        return Timing{Seconds(Clock::now() - start), ProcessorSeconds(RUSAGE_CHILDREN) - processor};
    };

    // The two take turns going first, so that neither always meets a
    // colder cache or a busier machine.
    Timing resaveTotal, toolTotal;
    bool resaveFirst = true;
    for (auto _ : state) {
        Timing resave, byTool;
        if (resaveFirst) {
            resave = runResave();
            byTool = runTool();
        } else {
            byTool = runTool();
            resave = runResave();
        }
        resaveFirst = !resaveFirst;
        if (state.error_occurred())
            return;
        state.SetIterationTime(resave.wall);
        resaveTotal.wall += resave.wall;
        resaveTotal.processor += resave.processor;
        toolTotal.wall += byTool.wall;
        toolTotal.processor += byTool.processor;
    }
    const double runs = double(state.iterations());
    state.counters["resave_s"] = resaveTotal.wall / runs;
    state.counters["tool_s"] = toolTotal.wall / runs;
    state.counters["ratio"] = resaveTotal.wall / toolTotal.wall;
    state.counters["cpu_ratio"] = resaveTotal.processor / toolTotal.processor;
    state.counters["fps"] = 960.0 * runs / resaveTotal.wall;
}
BENCHMARK(BM_ResaveAgainstTool)
    ->DenseRange(0, int(std::size(kCases)) - 1)
    ->UseManualTime()
    ->Iterations(4)
    ->Unit(benchmark::kMillisecond);

// Removes the scratch movies at the end of the run.
const struct ScratchCleaner {
    ~ScratchCleaner()
    {
        std::error_code ignored;
        fs::remove_all(Scratch(), ignored);
    }
} scratchCleaner;

}  // namespace
