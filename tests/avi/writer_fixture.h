#pragma once
// A writer test: a scratch directory, the message boxes and the compressor
// choice answered without modal loops.

#include "avi/avi_writer.h"
#include "avi/compressor_choice.h"
#include "avi/fourcc.h"
#include "support/temp_dir.h"
#include "ui/message_box.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace senki::testing {

class WriterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousBoxes_ = SetMessageBoxHandler([this](const MessageBoxRequest& box) { boxes.push_back(box); });
        previousChoice_ = SetCompressorChoiceHandler([this](const CompressorChoiceRequest& request) {
            choiceRequests.push_back(request);
            return answer;
        });
    }
    void TearDown() override
    {
        SetMessageBoxHandler(previousBoxes_);
        SetCompressorChoiceHandler(previousChoice_);
    }

    // A writer for `name` in the scratch directory, Compress off.
    void Configure(const std::string& name, int width, int height)
    {
        path = dir.File(name);
        writer.SetFileName(QString::fromStdString(path));
        writer.SetWidth(std::uint16_t(width));
        writer.SetHeight(std::uint16_t(height));
        writer.SetCompress(false);
    }

    TempDir dir;
    TAviWriter writer;
    std::string path;
    std::vector<MessageBoxRequest> boxes;
    std::vector<CompressorChoiceRequest> choiceRequests;
    std::optional<CompressorChoice> answer;

private:
    MessageBoxHandler previousBoxes_;
    CompressorChoiceHandler previousChoice_;
};

}  // namespace senki::testing
