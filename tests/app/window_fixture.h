#pragma once
// A TForm1 whose open dialog and message boxes are answered by the test, and
// save files with a synthetic war written on demand.

#include "app/main_window.h"
#include "support/temp_dir.h"
#include "tools/savegen/synthetic_save.h"
#include "ui/message_box.h"

#include <QString>

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace senki::testing {

class WindowFixture : public ::testing::Test {
protected:
    WindowFixture()
    {
        previousBoxes_ = SetMessageBoxHandler([this](const MessageBoxRequest& box) { boxes.push_back(box); });
        window.OpenDialog1.runner = [this](QWidget*, const FileDialogSettings& settings, const QString& offered) {
            dialogSettings = settings;
            offeredNames.push_back(offered);
            if (dialogAnswers.empty())
                return QString();  // cancelled
            const QString answer = dialogAnswers.front();
            dialogAnswers.pop_front();
            return answer;
        };
    }
    ~WindowFixture() override { SetMessageBoxHandler(previousBoxes_); }

    // A save with `records` whole records of the war numbered `seed`.
    std::string Save(int records, std::uint64_t seed = 1, int trailingBytes = 0)
    {
        savegen::SaveOptions options;
        options.records = records;
        options.seed = seed;
        options.trailingBytes = trailingBytes;
        options.block544Count = 2;
        options.block720Count = 1;
        const std::string path = dir.File("war" + std::to_string(++saves_) + ".sav");
        std::string error;
        EXPECT_TRUE(savegen::WriteSaveFile(path, options, error)) << error;
        return path;
    }

    // File > "開く" through the menu, the dialog answering `path`.
    void Open(const std::string& path)
    {
        dialogAnswers.push_back(QString::fromStdString(path));
        window.N1->trigger();
    }

    QString Caption() const { return window.windowTitle(); }

    TempDir dir;
    std::vector<MessageBoxRequest> boxes;
    std::deque<QString> dialogAnswers;
    std::vector<QString> offeredNames;
    FileDialogSettings dialogSettings;
    TForm1 window;

private:
    MessageBoxHandler previousBoxes_;
    int saves_ = 0;
};

inline QString Utf8(const std::string& text) { return QString::fromStdString(text); }

}  // namespace senki::testing
