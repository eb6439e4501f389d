// The host of a dataset after a class set's first: it passes the checks the first one passed,
// with another seed, so it has nothing to ask, and it may run on any thread. What it is told
// it keeps rather than shows, for the set's message should a dataset be refused after all.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "commands/command_host.h"

namespace zek {

class SilentHost final : public CommandHost {
  public:
    void ShowMessage(std::string_view text) override {
        if (firstMessage_.empty()) firstMessage_ = text;
    }
    void Focus(std::string_view) override {}
    std::int32_t ClockRandomBelow(std::int32_t) override { return 0; }
    std::optional<std::string> AskPercentage(PercentageKind, std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::string> ChooseSaveFile(std::string_view, SaveKind) override {
        return std::nullopt;
    }

    /// The first message it was given, or empty.
    const std::string& firstMessage() const { return firstMessage_; }

  private:
    std::string firstMessage_;
};

}  // namespace zek
