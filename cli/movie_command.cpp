// senki-export movie: the whole history as an AVI movie, the same way the
// viewer exports it, with the codec named on the command line instead of a
// dialog.

#include "cli/commands.h"
#include "cli/terminal_progress.h"

#include "avi/avi_writer.h"
#include "avi/codec_catalog.h"
#include "avi/fourcc.h"
#include "avi/movie_transcoder.h"
#include "avi/temp_movie_name.h"
#include "export/movie_frames.h"
#include "history/history_loader.h"
#include "history/history_store.h"
#include "map/base_map.h"
#include "map/territory_maps.h"
#include "ui/message_box.h"

#include <QFile>
#include <QGuiApplication>

extern "C" {
#include <libavutil/log.h>
}

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>

namespace senki::cli {

namespace {

constexpr const char* kUsage =
    "usage: senki-export movie SAVE -o OUT.avi [--codec NAME] [--quality Q] [--keyframes N] [--bitrate KBPS]\n"
    "       senki-export movie --list-codecs\n";

struct MovieArguments {
    std::string save;
    std::string out;
    std::string codec = "h264";
    std::optional<int> quality;    // 0..100
    std::optional<int> keyFrames;  // a key frame every N frames
    std::optional<int> kilobitsPerSecond;
    bool listCodecs = false;
};

bool ParseNumber(const std::string& text, int low, int high, std::optional<int>& value)
{
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || number < low || number > high)
        return false;
    value = int(number);
    return true;
}

bool Parse(const Arguments& args, MovieArguments& parsed)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--list-codecs")
            parsed.listCodecs = true;
        else if (arg == "-o" && hasValue)
            parsed.out = args[++i];
        else if (arg == "--codec" && hasValue)
            parsed.codec = args[++i];
        else if (arg == "--quality" && hasValue) {
            if (!ParseNumber(args[++i], 0, 100, parsed.quality))
                return false;
        } else if (arg == "--keyframes" && hasValue) {
            if (!ParseNumber(args[++i], 1, 100000, parsed.keyFrames))
                return false;
        } else if (arg == "--bitrate" && hasValue) {
            if (!ParseNumber(args[++i], 1, 1000000, parsed.kilobitsPerSecond))
                return false;
        } else if (parsed.save.empty() && !arg.empty() && arg[0] != '-')
            parsed.save = arg;
        else
            return false;
    }
    return parsed.listCodecs || (!parsed.save.empty() && !parsed.out.empty());
}

void ListCodecs()
{
    std::printf("%-10s %-6s %-9s %s\n", "NAME", "FOURCC", "LOSSLESS", "CODEC");
    for (const CodecEntry& codec : AvailableCodecs())
        std::printf("%-10s %-6s %-9s %s\n", codec.encoder ? codec.encoder : "none", FourCCText(codec.handler).c_str(),
                    codec.lossless ? "yes" : "no", codec.label.toUtf8().constData());
}

// The writer reports through message boxes; here they go to standard error.
class MessagesToStandardError {
public:
    MessagesToStandardError()
        : previous_(SetMessageBoxHandler([this](const MessageBoxRequest& request) {
              std::fprintf(stderr, "senki-export: %s\n", request.text.toUtf8().constData());
              reported_ = true;
          }))
    {
    }
    ~MessagesToStandardError() { SetMessageBoxHandler(std::move(previous_)); }
    bool Reported() const { return reported_; }

private:
    MessageBoxHandler previous_;
    bool reported_ = false;
};

// The catalogue entry of `name` when this machine has its encoder.
const CodecEntry* AvailableCodec(const std::string& name)
{
    const CodecEntry* codec = FindCodecByName(name);
    if (codec)
        for (const CodecEntry& available : AvailableCodecs())
            if (available.handler == codec->handler)
                return codec;
    return nullptr;
}

int Fail(const std::string& message)
{
    std::fprintf(stderr, "senki-export: %s\n", message.c_str());
    return 1;
}

}  // namespace

int RunMovie(const Arguments& args)
{
    MovieArguments parsed;
    if (!Parse(args, parsed)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (parsed.listCodecs) {
        ListCodecs();
        return 0;
    }
    const CodecEntry* codec = AvailableCodec(parsed.codec);
    if (!codec)
        return Fail("the codec \"" + parsed.codec + "\" is not available here; see senki-export movie --list-codecs");

    SaveFileReading reading = ReadSaveFile(parsed.save);
    if (reading.result == SaveFileReading::Result::Unreadable)
        return Fail(reading.error);
    if (reading.result == SaveFileReading::Result::NoHistory)
        return Fail(parsed.save + ": " + kNoHistoryMessage);
    HistoryStore store;
    store.Replace(std::move(reading.historyArea));

    // Fonts for the date need a GUI application; no window is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "senki-export";
    char* argv[] = {name, nullptr};
    std::unique_ptr<QGuiApplication> application;
    if (!QGuiApplication::instance())
        application = std::make_unique<QGuiApplication>(argc, argv);

    av_log_set_level(AV_LOG_ERROR);  // FFmpeg's notes would break the progress bar
    const MessagesToStandardError messages;
    const QString out = QString::fromStdString(parsed.out);
    try {
        TerritoryMaps maps(LoadBaseMap());
        TAviWriter writer;
        writer.SetCompress(false);  // compressed below with the named codec, without a dialog
        writer.SetFileName(out);
        writer.SetWidth(std::uint16_t(maps.WorkMap().width()));
        writer.SetHeight(std::uint16_t(maps.WorkMap().height()));
        if (writer.Open()) {
            TerminalProgress progress("frames  ");
            for (std::int32_t record = 0; record <= store.LastIndex(); ++record) {
                maps.PaintMap(store.ReadRecord(record).OwnerCodes);
                QImage picture = maps.WorkMap();  // the date goes on this copy only
                if (!AddRecordFrames(writer, picture, record))
                    break;
                progress.Update(int(100LL * (record + 1) / (store.LastIndex() + 1)));
            }
        }
        writer.Close();
    } catch (const std::exception& error) {
        QFile::remove(out);
        return Fail(error.what());
    }
    if (messages.Reported())
        return 1;
    if (!codec->encoder)
        return 0;

    SaveOptions options;
    options.fccType = kStreamTypeVideo;
    options.fccHandler = codec->handler;
    options.quality = parsed.quality ? *parsed.quality * 100 : -1;
    options.keyFrameEvery = parsed.keyFrames.value_or(0);
    options.bytesPerSecond = parsed.kilobitsPerSecond ? *parsed.kilobitsPerSecond * 1000 / 8 : 0;
    const QString temporary = TempMovieName(out);
    TerminalProgress progress("compress");
    const TranscodeResult result = TranscodeMovie(out.toStdString(), temporary.toStdString(), options, [&](int percent) {
        progress.Update(percent);
        return 0;
    });
    progress.Finish();
    if (!result.Done() || std::rename(temporary.toLocal8Bit().constData(), out.toLocal8Bit().constData()) != 0) {
        const std::string why = result.Done() ? "cannot replace \"" + parsed.out + "\" with the compressed movie"
                                              : result.error;
        QFile::remove(temporary);
        QFile::remove(out);
        return Fail(why);
    }
    return 0;
}

}  // namespace senki::cli
