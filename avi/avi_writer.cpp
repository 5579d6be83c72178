#include "avi/avi_writer.h"

#include "avi/compressing_resave.h"
#include "avi/compressor_choice.h"
#include "avi/fourcc.h"
#include "avi/sequence_compressor.h"
#include "ui/message_box.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <new>

namespace senki {

namespace {

constexpr std::int32_t kQualityDefault = -1;  // ICQUALITY_DEFAULT
constexpr std::uint32_t kCompVarsValid = 1;   // ICMF_COMPVARS_VALID
constexpr std::uint32_t kCompVarsBytes = 64;
constexpr std::int32_t kFullQuality = 10000;
// Larger frames than this are refused: they could not be held in memory or
// stored as one sample of a RIFF part.
constexpr std::int64_t kMaxFrameBytes = std::int64_t(1) << 30;

}  // namespace

TAviWriter::TAviWriter(QWidget* owner) : owner_(owner)
{
    texts_.abortCaption = QStringLiteral("中断");
    texts_.progressCaption = QStringLiteral("進行状況");
    texts_.progressLabel = QStringLiteral("圧縮ＡＶＩファイル作成中...");
    texts_.resaveAborted = QStringLiteral("圧縮ＡＶＩファイル作成を中断しました.");
    texts_.cannotCreateFile = QStringLiteral("ＡＶＩファイルを作成できませんでした.");
    texts_.cannotCreateStream = QStringLiteral("ストリームを作成できませんでした.");
    texts_.cannotOpenFile = QStringLiteral("ＡＶＩファイルを開けませんでした.");
    texts_.cannotOpenStream = QStringLiteral("ストリームを開けませんでした.");
    texts_.streamWord = QStringLiteral("映像");
    texts_.compressorChoiceTitle = QStringLiteral("ＡＶＩ圧縮方式選択");
    texts_.cannotStartCompression = QStringLiteral("フレームシーケンス圧縮のリソースが初期化出来ません.");
    texts_.cannotCompressFrame = QStringLiteral("フレームシーケンス圧縮が出来ませんでした.");
    texts_.movieIncomplete =
        QStringLiteral("ＡＶＩファイル %1 の書き込みに失敗しました. 完成していないため削除しました.");
}

TAviWriter::~TAviWriter() = default;

void TAviWriter::SetFrameRate(std::int32_t value)
{
    frameRate_ = std::clamp(value, 1, 30);
}

void TAviWriter::SetBitDepth(int value)
{
    const std::uint8_t low = std::uint8_t(value);  // the property takes one byte
    bitDepth_ = (low == 16 || low == 24) ? low : 16;
}

void TAviWriter::InitCompressorState()
{
    compressorState_.codec.reset();
    compressorState_.cbSize = kCompVarsBytes;
    compressorState_.dwFlags = kCompVarsValid;
    compressorState_.fccHandler = kFullFramesHandler;
    compressorState_.lQ = kQualityDefault;
    compressorState_.lKey = 0;
    compressorState_.lDataRate = 0;
}

bool TAviWriter::ChooseCompressor()
{
    InitCompressorState();
    CompressorChoiceRequest request;
    request.owner = owner_;
    request.title = texts_.compressorChoiceTitle;
    request.input = frameInfo_;
    request.codecs = CodecsTaking(frameInfo_, frameRate_);
    const std::optional<CompressorChoice> choice = AskCompressorChoice(request);
    if (!choice)
        return false;
    compressorState_.fccHandler = choice->handler;
    compressorState_.lQ = choice->quality;
    compressorState_.lKey = choice->keyFrameEvery;
    compressorState_.lDataRate = choice->kilobytesPerSecond;
    if (compressorState_.fccHandler == kFullFramesHandler)
        return true;

    CompressionSettings settings;
    settings.handler = compressorState_.fccHandler;
    settings.quality = compressorState_.lQ;
    settings.keyFrameEvery = compressorState_.lKey;
    settings.kilobytesPerSecond = compressorState_.lDataRate;
    settings.frameRate = frameRate_;
    if (!faults_.startCompression)
        compressorState_.codec = SequenceCompressor::Start(settings, frameInfo_);
    if (!compressorState_.codec) {
        ShowError(owner_, texts_.cannotStartCompression);
        return false;
    }
    return true;
}

bool TAviWriter::PreCompressing() const
{
    return compress_ && preCompress_ && compressorState_.fccHandler != kFullFramesHandler &&
           compressorState_.codec;
}

bool TAviWriter::Open()
{
    if (fileName_.isEmpty() || busy_)
        return false;

    // The directory must exist and no file of that name may: an existing one
    // is replaced without a question.
    const QFileInfo target(fileName_);
    if (!QDir().mkpath(target.absolutePath())) {
        ShowWarning(owner_, texts_.cannotCreateFile);
        return false;
    }
    QFile::remove(fileName_);

    frameInfo_ = BitmapInfoHeader{};
    frameInfo_.biWidth = width_;
    frameInfo_.biHeight = height_;
    frameInfo_.biBitCount = bitDepth_;
    frameBytes_ = FrameBufferBytes(width_, height_, bitDepth_);
    if (frameBytes_ <= 0 || frameBytes_ > kMaxFrameBytes) {
        ShowWarning(owner_, texts_.cannotCreateFile);
        return false;
    }
    try {
        frameBuffer_.assign(std::size_t(frameBytes_), 0);
    } catch (const std::bad_alloc&) {
        ShowWarning(owner_, texts_.cannotCreateFile);
        return false;
    }

    InitCompressorState();
    if (compress_ && preCompress_ && !ChooseCompressor()) {
        std::vector<std::uint8_t>().swap(frameBuffer_);
        return false;
    }

    movieFile_ = AviFile::Create(fileName_, layout_, faults_);
    if (!movieFile_) {
        std::vector<std::uint8_t>().swap(frameBuffer_);
        ShowWarning(owner_, texts_.cannotCreateFile);
        return false;
    }

    const bool compressed = PreCompressing();
    streamInfo_.fccType = kStreamTypeVideo;
    // Uncompressed streams name no handler, whatever an earlier movie used.
    streamInfo_.fccHandler = compressed ? compressorState_.fccHandler : 0;
    streamInfo_.dwScale = 1;
    streamInfo_.dwRate = std::uint32_t(frameRate_);
    streamInfo_.dwLength = 0;
    streamInfo_.dwQuality = compressed ? compressorState_.lQ : kFullQuality;
    streamInfo_.rcFrame = {0, 0, width_, height_};
    std::memset(streamInfo_.szName, 0, sizeof streamInfo_.szName);
    std::memcpy(streamInfo_.szName, "VIDEO", 5);
    streamInfo_.dwFlags = streamInfo_.dwCaps = 0;
    streamInfo_.wPriority = streamInfo_.wLanguage = 0;
    streamInfo_.dwStart = streamInfo_.dwInitialFrames = streamInfo_.dwSuggestedBufferSize = 0;
    streamInfo_.dwSampleSize = streamInfo_.dwEditCount = streamInfo_.dwFormatChangeCount = 0;

    movieStream_ = movieFile_->CreateStream(streamInfo_);
    const std::vector<std::uint8_t> format =
        compressed ? compressorState_.codec->StreamFormat() : SerializeBitmapInfoHeader(frameInfo_);
    // A stream without its format could hold no readable frame, so a refused
    // format counts as a stream that was not created.
    if (!movieStream_ || !movieStream_->SetFormat(0, format.data(), format.size())) {
        ReleaseMovie();
        QFile::remove(fileName_);
        std::vector<std::uint8_t>().swap(frameBuffer_);
        ShowWarning(owner_, texts_.streamWord + texts_.cannotCreateStream);
        return false;
    }

    writeFailed_ = false;
    convertedPicture_ = 0;
    busy_ = true;
    return true;
}

bool TAviWriter::AddFrame(const QImage& picture)
{
    // A null picture has nothing to draw: no frame, but the movie goes on.
    if (!movieStream_ || picture.isNull())
        return false;
    // The export hands the same unchanged picture over for several frames in
    // a row; its frame is then still in the buffer. Any change to a QImage
    // gives it a new cache key, except drawing through a painter that was
    // already active, so such a picture is always converted.
    if (picture.cacheKey() != convertedPicture_ || picture.paintingActive()) {
        convertedPicture_ = 0;
        // The program passes pictures of exactly the frame size; others are stretched.
        const bool fits = picture.width() == width_ && picture.height() == height_;
        const QImage stretched =
            fits ? QImage() : picture.scaled(width_, height_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (!ConvertToDib(fits ? picture : stretched, frameInfo_, frameBuffer_.data(), frameBuffer_.size()))
            return false;
        convertedPicture_ = picture.cacheKey();
    }

    const std::int64_t position = streamInfo_.dwLength;
    bool written;
    if (PreCompressing()) {
        bool keyFrame = false;
        std::uint32_t size = std::uint32_t(frameBytes_);
        const std::uint8_t* data = position == faults_.failCompressAt
                                       ? nullptr
                                       : compressorState_.codec->CompressFrame(frameBuffer_.data(), keyFrame, size);
        if (!data) {
            ShowError(owner_, texts_.cannotCompressFrame);
            return false;
        }
        written = movieStream_->Write(position, data, size, keyFrame ? kAviKeyFrame : 0);
    } else {
        written = movieStream_->Write(position, frameBuffer_.data(), std::uint32_t(frameBytes_), kAviKeyFrame);
    }
    if (!written) {
        writeFailed_ = true;
        return false;
    }
    ++streamInfo_.dwLength;
    return true;
}

// Releases the stream and the file; a file that could not be completed
// counts as a failed write.
void TAviWriter::ReleaseMovie()
{
    movieStream_ = nullptr;
    if (movieFile_) {
        if (!movieFile_->Release())
            writeFailed_ = true;
        movieFile_.reset();
    }
}

void TAviWriter::Close()
{
    if (closing_)
        return;  // reached again from the re-save's event processing
    closing_ = true;
    const bool opened = busy_;
    struct Idle {
        TAviWriter& writer;
        ~Idle() { writer.busy_ = writer.closing_ = false; }
    } idle{*this};

    std::vector<std::uint8_t>().swap(frameBuffer_);
    compressorState_.codec.reset();  // ends sequence compression and frees the codec
    ReleaseMovie();

    // After a failed Open there is no movie to finish or to re-save.
    if (!opened)
        return;
    if (writeFailed_) {
        // A movie with missing frames must not pass for a finished one.
        QFile::remove(fileName_);
        ShowWarning(owner_, texts_.movieIncomplete.arg(QDir::toNativeSeparators(fileName_)));
        return;
    }
    if (compress_ && !preCompress_) {
        const ResaveTexts resaveTexts{texts_.abortCaption,  texts_.progressCaption, texts_.progressLabel,
                                      texts_.resaveAborted, texts_.cannotOpenFile,  texts_.cannotOpenStream,
                                      texts_.streamWord};
        RunCompressingResave(fileName_, saveOptions_, resaveTexts, owner_);
    }
}

}  // namespace senki
