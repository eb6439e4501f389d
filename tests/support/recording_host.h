// A command host that records what the window would show and answers as told.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "commands/command_host.h"

namespace zek::testing {

class RecordingHost : public CommandHost {
  public:
    std::vector<std::string> messages;
    std::vector<std::string> focus;
    std::vector<std::string> details;
    /// What the percentage dialog returns on each showing; empty means no dialog.
    std::deque<std::string> percentageAnswers;
    int percentageDialogs = 0;
    std::int32_t clockRandom = 123456;
    std::int32_t lastClockBound = 0;
    std::int64_t clockCalls = 0;
    /// What the save chooser returns on each showing; nothing cancels.
    std::deque<std::optional<std::string>> saveAnswers;
    std::vector<std::string> saveOffers;
    std::vector<SaveKind> saveKinds;

    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
    void ShowMessageWithDetails(std::string_view text, std::string_view detail) override {
        messages.emplace_back(text);
        details.emplace_back(detail);
    }
    void Focus(std::string_view control) override { focus.emplace_back(control); }
    std::optional<std::string> AskPercentage(PercentageKind, std::string_view) override {
        ++percentageDialogs;
        if (percentageAnswers.empty()) return std::nullopt;
        std::string answer = percentageAnswers.front();
        percentageAnswers.pop_front();
        return answer;
    }
    /// The first call answers `clockRandom`, each later one another number, as a clock would.
    std::int32_t ClockRandomBelow(std::int32_t bound) override {
        lastClockBound = bound;
        const std::int64_t answer = clockRandom + clockCalls++ * std::int64_t{104729};
        return static_cast<std::int32_t>(answer % bound);
    }
    std::optional<std::string> ChooseSaveFile(std::string_view initialName,
                                              SaveKind kind) override {
        saveOffers.emplace_back(initialName);
        saveKinds.push_back(kind);
        if (saveAnswers.empty()) return std::nullopt;
        std::optional<std::string> answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    }
};

}  // namespace zek::testing
