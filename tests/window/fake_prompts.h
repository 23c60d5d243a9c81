#pragma once

// Stands in for the person at the window: answers the file choices from
// queues and remembers every message box.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "window/prompts.h"

namespace tarvel::window {

class FakePrompts final : public Prompts {
  public:
    std::optional<std::string> ChooseAseFile() override {
        ++openAsked;
        return Next(openAnswers);
    }
    std::optional<std::string> Choose3doFile() override {
        ++saveAsked;
        if (onSave) {
            onSave();
        }
        return Next(saveAnswers);
    }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }

    // nullopt answers as a cancel; an empty queue cancels too.
    std::deque<std::optional<std::string>> openAnswers;
    std::deque<std::optional<std::string>> saveAnswers;
    std::function<void()> onSave;
    int openAsked = 0;
    int saveAsked = 0;
    std::vector<std::string> messages;

  private:
    static std::optional<std::string> Next(std::deque<std::optional<std::string>>& answers) {
        if (answers.empty()) {
            return std::nullopt;
        }
        std::optional<std::string> answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace tarvel::window
