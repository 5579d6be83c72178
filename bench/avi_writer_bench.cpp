// Writing a movie through the AVI writer against plain sequential writes of
// the same number of bytes to the same directory: 3,840 frames of 560 × 375
// at 16 bits, the same picture each time, as the movie export hands them over.

#include "avi/avi_writer.h"
#include "avi/dib_frame.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int kWidth = 560;
constexpr int kHeight = 375;
constexpr int kFrames = 3840;
constexpr std::size_t kFrameBytes = 420000;

QImage MapLikePicture()
{
    QImage picture(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            picture.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF));
    return picture;
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

long PeakResidentKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_AviWriterAgainstPlainWrites(benchmark::State& state)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path();
    const std::string moviePath = (dir / "senki-bench-writer.avi").string();
    const std::string plainPath = (dir / "senki-bench-plain.bin").string();
    // Arg 0: the same picture for every frame, as the export hands over each
    // record's map; arg 1: a different picture every frame, so that every
    // frame is converted.
    std::vector<QImage> pictures{MapLikePicture()};
    if (state.range(0) == 1)
        pictures.push_back(MapLikePicture().mirrored(true, false));
    const std::vector<char> frame(kFrameBytes, 0x5A);
    double writerSeconds = 0, plainSeconds = 0;
    long residentGrowth = 0;

    auto writePlain = [&] {
        const auto start = std::chrono::steady_clock::now();
        const int fd = ::open(plainPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        for (int i = 0; i < kFrames && fd >= 0; ++i)
            if (::write(fd, frame.data(), frame.size()) != ssize_t(frame.size()))
                state.SkipWithError("plain write failed");
        if (fd < 0 || ::close(fd) != 0)
            state.SkipWithError("plain file failed");
        const double seconds = Seconds(start);
        std::filesystem::remove(plainPath);
        ::sync();  // untimed: the next run starts without dirty pages waiting
        return seconds;
    };
    auto writeMovie = [&] {
        senki::TAviWriter writer;
        writer.SetFileName(QString::fromStdString(moviePath));
        writer.SetWidth(kWidth);
        writer.SetHeight(kHeight);
        writer.SetCompress(false);
        const long residentBefore = PeakResidentKilobytes();
        const auto start = std::chrono::steady_clock::now();
        if (!writer.Open())
            state.SkipWithError("Open failed");
        for (int i = 0; i < kFrames; ++i)
            if (!writer.AddFrame(pictures[i % pictures.size()]))
                state.SkipWithError("AddFrame failed");
        writer.Close();
        const double seconds = Seconds(start);
        residentGrowth = std::max(residentGrowth, PeakResidentKilobytes() - residentBefore);
        std::filesystem::remove(moviePath);
        ::sync();
        return seconds;
    };

    bool plainFirst = true;
    for (auto _ : state) {
        // Alternate the order, so that neither run always meets a page cache
        // just emptied by the other.
        double plain, written;
        if (plainFirst) {
            plain = writePlain();
            written = writeMovie();
        } else {
            written = writeMovie();
            plain = writePlain();
        }
        plainFirst = !plainFirst;
        state.SetIterationTime(written);
        writerSeconds += written;
        plainSeconds += plain;
    }
    const double bytes = double(kFrameBytes) * kFrames * double(state.iterations());
    state.SetBytesProcessed(std::int64_t(bytes));
    state.counters["writer_MB/s"] = bytes / writerSeconds / 1e6;
    state.counters["plain_MB/s"] = bytes / plainSeconds / 1e6;
    state.counters["writer/plain"] = plainSeconds / writerSeconds;
    state.counters["peak_rss_growth_MB"] = double(residentGrowth) / 1024.0;
}
BENCHMARK(BM_AviWriterAgainstPlainWrites)->Arg(0)->Arg(1)->UseManualTime()->Iterations(4)->Unit(benchmark::kMillisecond);

// The conversion of one map picture into a 16-bit frame alone.
void BM_ConvertFrameToRgb555(benchmark::State& state)
{
    const QImage picture = MapLikePicture();
    senki::BitmapInfoHeader info;
    info.biWidth = kWidth;
    info.biHeight = kHeight;
    info.biBitCount = 16;
    std::vector<std::uint8_t> frame(kFrameBytes);
    for (auto _ : state) {
        senki::ConvertToDib(picture, info, frame.data(), frame.size());
        benchmark::DoNotOptimize(frame.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kFrameBytes));
}
BENCHMARK(BM_ConvertFrameToRgb555)->Unit(benchmark::kMicrosecond);

}  // namespace
