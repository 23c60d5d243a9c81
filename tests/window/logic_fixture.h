#pragma once

// The window logic over a FakeView in a fresh working folder, with
// FakePrompts in place of the person.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fake_prompts.h"
#include "fake_view.h"
#include "test_files.h"
#include "window/window_logic.h"

namespace tarvel::window {

namespace fs = std::filesystem;

class Logic : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = MakeTempDir("tarvel_logic");
        previous_ = fs::current_path();
        fs::current_path(dir_);
    }
    void TearDown() override {
        Close();
        fs::current_path(previous_);
        fs::remove_all(dir_);
    }

    WindowLogic& Open(const std::vector<std::string>& args = {"tarvel"}) {
        Close();
        view_ = std::make_unique<FakeView>(remembered_);
        prompts_ = std::make_unique<FakePrompts>();
        logic_ = std::make_unique<WindowLogic>(*view_, *prompts_, args);
        view_->Attach(*logic_);
        // The conversion's console dumps would flood the test output.
        logic_->Log().console = nullptr;
        return *logic_;
    }
    void Close() {
        logic_.reset();
        view_.reset();
        prompts_.reset();
    }

    // The window's loop starts ("-b" runs from here) and runs until idle.
    void StartAndWait() {
        logic_->Start();
        WaitIdle();
    }

    void WaitIdle() { ASSERT_TRUE(view_->RunUntilIdle()); }

    void Pick(const std::optional<std::string>& path) {
        prompts_->openAnswers.push_back(path);
        logic_->PickClicked();
        WaitIdle();
    }

    std::string Save(const std::string& name) {
        const std::string path = (dir_ / name).string();
        prompts_->saveAnswers.push_back(path);
        logic_->BspClicked();
        WaitIdle();
        return path;
    }

    std::vector<std::string> Memo() const { return {view_->memo.begin(), view_->memo.end()}; }
    std::vector<std::string> Panels() const { return {view_->panels.begin(), view_->panels.end()}; }
    static std::vector<std::string> Texts(const Counters& counters) {
        const std::array<std::string, kPanelCount> texts = PanelTexts(counters);
        return {texts.begin(), texts.end()};
    }

    fs::path dir_;
    fs::path previous_;
    // What the check box was left at, as a settings store keeps it.
    std::optional<bool> remembered_;
    std::unique_ptr<FakeView> view_;
    std::unique_ptr<FakePrompts> prompts_;
    std::unique_ptr<WindowLogic> logic_;
};

}  // namespace tarvel::window
