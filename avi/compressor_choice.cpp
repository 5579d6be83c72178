#include "avi/compressor_choice.h"

#include "avi/sequence_compressor.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QListWidget>
#include <QSpinBox>
#include <QVBoxLayout>

namespace senki {

namespace {

CompressorChoiceHandler& InstalledHandler()
{
    static CompressorChoiceHandler handler;
    return handler;
}

std::optional<CompressorChoice> RunDialog(const CompressorChoiceRequest& request)
{
    QDialog dialog(request.owner);
    dialog.setWindowTitle(request.title);
    auto* layout = new QVBoxLayout(&dialog);

    auto* list = new QListWidget(&dialog);
    for (const CodecEntry& codec : request.codecs)
        list->addItem(codec.label);
    list->setCurrentRow(0);
    layout->addWidget(list);

    auto* form = new QFormLayout;
    auto* quality = new QSpinBox(&dialog);
    quality->setRange(-1, 100);  // -1: the codec's default
    quality->setSpecialValueText(QStringLiteral("既定"));
    quality->setValue(-1);
    auto* keyFrames = new QSpinBox(&dialog);
    keyFrames->setRange(0, 9999);
    keyFrames->setSpecialValueText(QStringLiteral("既定"));
    auto* dataRate = new QSpinBox(&dialog);
    dataRate->setRange(0, 1000000);
    dataRate->setSuffix(QStringLiteral(" KB/秒"));
    dataRate->setSpecialValueText(QStringLiteral("指定なし"));
    form->addRow(QStringLiteral("品質"), quality);
    form->addRow(QStringLiteral("キーフレーム間隔"), keyFrames);
    form->addRow(QStringLiteral("データレート"), dataRate);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);

    // Only the settings that the selected codec takes are offered.
    auto follow = [&] {
        const int row = list->currentRow();
        const bool valid = row >= 0 && row < int(request.codecs.size());
        quality->setEnabled(valid && request.codecs[row].takesQuality);
        keyFrames->setEnabled(valid && request.codecs[row].takesKeyFrames);
        dataRate->setEnabled(valid && request.codecs[row].takesDataRate);
    };
    QObject::connect(list, &QListWidget::currentRowChanged, &dialog, follow);
    follow();

    if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0 ||
        list->currentRow() >= int(request.codecs.size()))
        return std::nullopt;
    CompressorChoice choice;
    choice.handler = request.codecs[list->currentRow()].handler;
    choice.quality = quality->value() < 0 ? -1 : quality->value() * 100;
    choice.keyFrameEvery = keyFrames->value();
    choice.kilobytesPerSecond = dataRate->value();
    return choice;
}

}  // namespace

std::vector<CodecEntry> CodecsTaking(const BitmapInfoHeader& input, int frameRate)
{
    std::vector<CodecEntry> codecs;
    for (const CodecEntry& codec : AvailableCodecs())
        if (SequenceCompressor::Accepts(codec, input, frameRate))
            codecs.push_back(codec);
    return codecs;
}

std::optional<CompressorChoice> AskCompressorChoice(const CompressorChoiceRequest& request)
{
    if (const CompressorChoiceHandler& handler = InstalledHandler())
        return handler(request);
    return RunDialog(request);
}

CompressorChoiceHandler SetCompressorChoiceHandler(CompressorChoiceHandler handler)
{
    CompressorChoiceHandler previous = std::move(InstalledHandler());
    InstalledHandler() = std::move(handler);
    return previous;
}

}  // namespace senki
