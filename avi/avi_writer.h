#pragma once
// TAviWriter: turns a sequence of pictures into an AVI movie with one video
// stream. Set the properties, Open, AddFrame once per frame, then Close —
// also after an Open that failed. With Compress on and PreCompress off, Close
// ends with the compressing re-save, in which the user picks a codec.

#include "avi/avi_file.h"
#include "avi/dib_frame.h"
#include "avi/platform_faults.h"
#include "avi/save_options.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class QWidget;

namespace senki {

class SequenceCompressor;

// The user-visible texts, filled by the constructor, one set per instance.
struct AviWriterTexts {
    QString abortCaption;             // the progress window's abort button
    QString progressCaption;          // the progress window's caption
    QString progressLabel;            // the progress window's label
    QString resaveAborted;            // the re-save failed or was aborted
    QString cannotCreateFile;         // Open: the movie file
    QString cannotCreateStream;       // Open: the video stream, behind streamWord
    QString cannotOpenFile;           // the re-save: the movie
    QString cannotOpenStream;         // the re-save: its stream, behind streamWord
    QString streamWord;               // "映像"
    QString compressorChoiceTitle;    // the compressor-choice dialog
    QString cannotStartCompression;   // sequence compression failed to start
    QString cannotCompressFrame;      // a frame failed to compress
    QString movieIncomplete;          // a write failed; %1 is the file name
};

// The codec choice and the state of sequence compression (COMPVARS).
struct CompressorState {
    std::uint32_t cbSize = 0;
    std::uint32_t dwFlags = 0;
    std::uint32_t fccHandler = 0;
    std::int32_t lQ = 0;
    std::int32_t lKey = 0;
    std::int32_t lDataRate = 0;
    std::unique_ptr<SequenceCompressor> codec;  // the codec in sequence mode; null when none
};

class TAviWriter {
public:
    explicit TAviWriter(QWidget* owner = nullptr);
    ~TAviWriter();
    TAviWriter(const TAviWriter&) = delete;
    TAviWriter& operator=(const TAviWriter&) = delete;

    // Published properties.
    const QString& FileName() const { return fileName_; }
    void SetFileName(const QString& value) { fileName_ = value; }
    std::uint16_t Width() const { return width_; }
    void SetWidth(std::uint16_t value) { width_ = value; }
    std::uint16_t Height() const { return height_; }
    void SetHeight(std::uint16_t value) { height_ = value; }
    bool Compress() const { return compress_; }
    void SetCompress(bool value) { compress_ = value; }
    bool PreCompress() const { return preCompress_; }
    void SetPreCompress(bool value) { preCompress_ = value; }
    std::int32_t FrameRate() const { return frameRate_; }
    void SetFrameRate(std::int32_t value);  // clamped to 1..30
    std::uint16_t BitDepth() const { return bitDepth_; }
    void SetBitDepth(int value);  // only the low 8 bits count; 16 and 24 stay, else 16

    // True when the movie file and its video stream are ready for frames.
    bool Open();
    // Writes `picture`, stretched to Width × Height, as the next frame.
    bool AddFrame(const QImage& picture);
    // Ends the movie; with Compress on and PreCompress off, re-saves it compressed.
    void Close();
    // From a successful Open until Close has returned, re-save included.
    bool IsBusy() const { return busy_; }

    const AviWriterTexts& Texts() const { return texts_; }
    const BitmapInfoHeader& FrameInfo() const { return frameInfo_; }
    std::int64_t FrameBytes() const { return frameBytes_; }
    const StreamInfo& GetStreamInfo() const { return streamInfo_; }
    std::int64_t FrameCounter() const { return streamInfo_.dwLength; }
    const CompressorState& GetCompressorState() const { return compressorState_; }
    const SaveOptions& GetSaveOptions() const { return saveOptions_; }

    // The RIFF part size and index room of the files written (tests use small parts).
    void SetFileLayout(const AviFileLayout& layout) { layout_ = layout; }
    // Makes platform operations fail on purpose (tests).
    void SetPlatformFaults(const PlatformFaults& faults) { faults_ = faults; }

private:
    void InitCompressorState();
    bool ChooseCompressor();
    bool PreCompressing() const;
    void ReleaseMovie();

    QWidget* owner_;
    QString fileName_;
    std::uint16_t width_ = 320;
    std::uint16_t height_ = 240;
    bool compress_ = true;
    bool preCompress_ = false;
    std::int32_t frameRate_ = 30;

    std::unique_ptr<AviFile> movieFile_;  // MovieFile
    AviStream* movieStream_ = nullptr;    // MovieStream, owned by movieFile_
    StreamInfo streamInfo_;               // dwLength counts the frames written (FrameCounter)
    SaveOptions saveOptions_;
    BitmapInfoHeader frameInfo_;
    // FrameBitmap: one frame in the format of frameInfo_, kept for the whole
    // movie so that no frame allocates.
    std::vector<std::uint8_t> frameBuffer_;
    std::int64_t frameBytes_ = 0;
    qint64 convertedPicture_ = 0;  // cache key of the picture now in frameBuffer_; 0 for none
    CompressorState compressorState_;
    std::uint16_t bitDepth_ = 16;
    AviWriterTexts texts_;

    bool busy_ = false;
    bool writeFailed_ = false;
    bool closing_ = false;
    AviFileLayout layout_;
    PlatformFaults faults_;
};

}  // namespace senki
