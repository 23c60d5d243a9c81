#pragma once

// A main window in a fresh working folder, with FakePrompts in place of the
// person, and ways to read what it shows.

#include <QLabel>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "window/fake_prompts.h"
#include "window/test_files.h"

namespace tarvel::app {

// What the window shows and does is the window logic's.
using namespace window;

namespace fs = std::filesystem;

class Window : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = MakeTempDir("tarvel_window");
        previous_ = fs::current_path();
        fs::current_path(dir_);
        // Every test starts as the first start does (app_test_main.cpp keeps
        // the settings in a folder of the test run).
        QSettings(kSettingsOrganization, kSettingsApplication).clear();
    }

    // What the window remembers of the check box, as a run before left it.
    static void RememberDebugLog(bool on) {
        QSettings(kSettingsOrganization, kSettingsApplication).setValue(kDebugLogSetting, on);
    }
    void TearDown() override {
        form_.reset();
        fs::current_path(previous_);
        fs::remove_all(dir_);
    }

    TForm1& Open(std::vector<std::string> args = {"tarvel"}) {
        auto prompts = std::make_unique<FakePrompts>();
        prompts_ = prompts.get();
        form_ = std::make_unique<TForm1>(std::move(args), std::move(prompts));
        // The conversion's console dumps would flood the test output.
        form_->Log().console = nullptr;
        form_->show();
        return *form_;
    }

    template <typename W = QWidget>
    W& Widget(const char* name) {
        W* widget = form_->findChild<W*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return *widget;
    }

    std::string Panel(const char* name) { return Widget<QLabel>(name).text().toStdString(); }

    std::vector<std::string> PanelTextsShown() {
        return {Panel("Panel_Depth"), Panel("Panel_Polys"), Panel("Panel_Splits"),
                Panel("Panel_ListSize"), Panel("Panel_Nodes")};
    }

    std::vector<std::string> MemoLines() {
        const QString text = Widget<QPlainTextEdit>("Memo1").toPlainText();
        std::vector<std::string> lines;
        if (text.isEmpty()) {
            return lines;
        }
        for (const QString& line : text.split('\n')) {
            lines.push_back(line.toStdString());
        }
        return lines;
    }

    // A click that starts a pick or a build returns at once; the window's
    // loop runs until the work has ended.
    void WaitIdle() {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !form_->Busy(); }, 300000));
    }

    void Pick(const std::optional<std::string>& path) {
        prompts_->openAnswers.push_back(path);
        form_->Button1Click();
        WaitIdle();
    }

    std::string Save(const std::string& name) {
        const std::string path = (dir_ / name).string();
        prompts_->saveAnswers.push_back(path);
        form_->Button2Click();
        WaitIdle();
        return path;
    }

    fs::path dir_;
    fs::path previous_;
    std::unique_ptr<TForm1> form_;
    FakePrompts* prompts_ = nullptr;
};

inline std::vector<std::string> AsVector(const std::array<std::string, 5>& texts) {
    return {texts.begin(), texts.end()};
}

}  // namespace tarvel::app
