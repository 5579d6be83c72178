#include "avi/save_options_dialog.h"

#include "avi/codec_catalog.h"
#include "avi/codec_preview.h"
#include "avi/fourcc.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QPixmap>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace senki {

namespace {

SaveOptionsDialogHandler& Handler()
{
    static SaveOptionsDialogHandler handler;
    return handler;
}

class SaveOptionsDialog : public QDialog {
public:
    SaveOptionsDialog(QWidget* owner, const QString& movieFile, const SaveOptions& options)
        : QDialog(owner), codecs_(AvailableCodecs())
    {
        setWindowTitle(QStringLiteral("ビデオの圧縮"));

        codec_ = new QComboBox(this);
        const std::uint32_t offered = options.lastChosenHandler ? options.lastChosenHandler : options.fccHandler;
        for (const CodecEntry& entry : codecs_) {
            codec_->addItem(entry.label, QVariant::fromValue(entry.handler));
            if (entry.handler == offered)
                codec_->setCurrentIndex(codec_->count() - 1);
        }
        keyFrames_ = new QSpinBox(this);
        keyFrames_->setRange(0, 9999);
        keyFrames_->setSpecialValueText(QStringLiteral("既定"));
        keyFrames_->setSuffix(QStringLiteral(" フレームごと"));
        keyFrames_->setValue(options.keyFrameEvery);
        dataRate_ = new QSpinBox(this);
        dataRate_->setRange(0, 100000);
        dataRate_->setSpecialValueText(QStringLiteral("指定なし"));
        dataRate_->setSuffix(QStringLiteral(" KB/秒"));
        dataRate_->setValue(options.bytesPerSecond / 1024);
        quality_ = new QSpinBox(this);
        quality_->setRange(-1, 100);
        quality_->setSpecialValueText(QStringLiteral("既定"));
        quality_->setValue(options.quality < 0 ? -1 : options.quality / 100);

        auto* form = new QFormLayout;
        form->addRow(QStringLiteral("圧縮プログラム:"), codec_);
        form->addRow(QStringLiteral("キーフレーム:"), keyFrames_);
        form->addRow(QStringLiteral("データレート:"), dataRate_);
        form->addRow(QStringLiteral("品質:"), quality_);

        original_ = new QLabel(this);
        compressed_ = new QLabel(this);
        note_ = new QLabel(this);
        note_->setWordWrap(true);
        // Both pictures at full size where the screen has room, the codec's
        // artefacts being what to judge; smaller on a small screen, so that the
        // dialog and its buttons stay on it.
        auto* previews = new QGridLayout;
        previews->addWidget(new QLabel(QStringLiteral("元の画像"), this), 0, 0);
        previews->addWidget(new QLabel(QStringLiteral("圧縮後"), this), 0, 1);
        previews->addWidget(original_, 1, 0);
        previews->addWidget(compressed_, 1, 1);
        previews->addWidget(note_, 2, 0, 1, 2);

        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

        auto* layout = new QVBoxLayout(this);
        layout->addLayout(form);
        layout->addLayout(previews);
        layout->addWidget(buttons);

        std::string error;
        if (preview_.Load(movieFile.toStdString(), error)) {
            original_->setPixmap(PreviewPixmap(preview_.Original()));
            // The compressed picture arrives after the dialog is shown: its
            // room is kept from the start, so the dialog does not grow then.
            compressed_->setMinimumSize(original_->pixmap().size());
        }
        else
            note_->setText(QStringLiteral("プレビューできません: ") + QString::fromStdString(error));

        // The preview runs the codec, so it follows the settings with a short delay.
        previewTimer_.setSingleShot(true);
        previewTimer_.setInterval(150);
        connect(&previewTimer_, &QTimer::timeout, this, &SaveOptionsDialog::UpdatePreview);
        connect(codec_, &QComboBox::currentIndexChanged, this, &SaveOptionsDialog::SettingsChanged);
        for (QSpinBox* box : {keyFrames_, dataRate_, quality_})
            connect(box, &QSpinBox::valueChanged, this, [this] { previewTimer_.start(); });
        SettingsChanged();
    }

    // The user's choice, on top of the options the dialog was opened with.
    SaveOptions Choice(SaveOptions options) const
    {
        const CodecEntry& entry = Current();
        options.fccHandler = entry.handler;
        options.lastChosenHandler = entry.handler;
        options.keyFrameEvery = keyFrames_->value();
        options.bytesPerSecond = dataRate_->value() * 1024;
        options.quality = quality_->value() < 0 ? -1 : quality_->value() * 100;
        return options;
    }

protected:
    // Placed over its owner, the wide dialog may reach past the screen's edge.
    void showEvent(QShowEvent* event) override
    {
        QDialog::showEvent(event);
        const QRect screen = (this->screen() ? this->screen() : QGuiApplication::primaryScreen())->availableGeometry();
        QRect frame = frameGeometry();
        frame.moveRight(std::min(frame.right(), screen.right()));
        frame.moveBottom(std::min(frame.bottom(), screen.bottom()));
        frame.moveLeft(std::max(frame.left(), screen.left()));
        frame.moveTop(std::max(frame.top(), screen.top()));
        move(frame.topLeft());
    }

private:
    const CodecEntry& Current() const { return codecs_[std::size_t(std::max(0, codec_->currentIndex()))]; }

    void SettingsChanged()
    {
        const CodecEntry& entry = Current();
        keyFrames_->setEnabled(entry.takesKeyFrames);
        dataRate_->setEnabled(entry.takesDataRate);
        quality_->setEnabled(entry.takesQuality);
        previewTimer_.start();
    }

    QPixmap PreviewPixmap(const QImage& image) const
    {
        constexpr int kRoomAround = 80;     // margins and the space between the two pictures
        constexpr int kRoomForForm = 260;   // the settings above the pictures and the buttons below
        const QRect screen = (this->screen() ? this->screen() : QGuiApplication::primaryScreen())->availableGeometry();
        const double scale = std::min({1.0, double(screen.width() - kRoomAround) / (2.0 * image.width()),
                                       double(screen.height() - kRoomForForm) / image.height()});
        if (scale >= 1.0 || scale <= 0.0)
            return QPixmap::fromImage(image);
        return QPixmap::fromImage(
            image.scaled(image.size() * scale, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }

    void UpdatePreview()
    {
        if (preview_.Original().isNull())
            return;
        std::string error;
        const QImage image = preview_.Compressed(Choice({}), error);
        compressed_->setPixmap(image.isNull() ? QPixmap() : PreviewPixmap(image));
        note_->setText(image.isNull() ? QStringLiteral("プレビューできません: ") + QString::fromStdString(error)
                                      : QString());
    }

    std::vector<CodecEntry> codecs_;
    QComboBox* codec_;
    QSpinBox* keyFrames_;
    QSpinBox* dataRate_;
    QSpinBox* quality_;
    QLabel* original_;
    QLabel* compressed_;
    QLabel* note_;
    CodecPreview preview_;
    QTimer previewTimer_;
};

}  // namespace

void ShowSaveOptionsDialog(QWidget* owner, const QString& movieFile, SaveOptions& options)
{
    if (Handler()) {
        Handler()(options);
        return;
    }
    SaveOptionsDialog dialog(owner, movieFile, options);
    if (dialog.exec() == QDialog::Accepted)
        options = dialog.Choice(options);
}

SaveOptionsDialogHandler SetSaveOptionsDialogHandler(SaveOptionsDialogHandler handler)
{
    return std::exchange(Handler(), std::move(handler));
}

}  // namespace senki
