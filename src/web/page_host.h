// What the page's window model and commands tell the user: kept in order for the page to
// show, each message with the control it concerns and the one to focus.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands/command_host.h"

namespace zek {

struct PageMessage {
    std::string text;
    std::string details;  ///< lines of help below the text; empty for none
    std::string focus;    ///< the control to focus once it is closed; empty for none
};

class PageHost final : public CommandHost {
  public:
    void ShowMessage(std::string_view text) override {
        messages_.push_back({std::string(text), {}, {}});
    }
    void ShowMessageWithDetails(std::string_view text, std::string_view details) override {
        messages_.push_back({std::string(text), std::string(details), {}});
    }
    void Refuse(std::string_view message, std::string_view, std::string_view focus) override {
        messages_.push_back({std::string(message), {}, std::string(focus)});
    }
    void Focus(std::string_view controlName) override { focus_ = controlName; }
    /// The page's clock: a random number the page draws, 0 .. 1.
    void SetClockFraction(double fraction) { clockFraction_ = fraction; }
    std::int32_t ClockRandomBelow(std::int32_t bound) override {
        return static_cast<std::int32_t>(clockFraction_ * bound) % bound;
    }
    // The page asks for these before a run, in forms of its own.
    std::optional<std::string> AskPercentage(PercentageKind, std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::string> ChooseSaveFile(std::string_view, SaveKind) override {
        return std::nullopt;
    }

    /// The messages since the last call, oldest first.
    std::vector<PageMessage> TakeMessages() { return std::exchange(messages_, {}); }
    const std::string& focus() const { return focus_; }

  private:
    std::vector<PageMessage> messages_;
    std::string focus_;
    double clockFraction_ = 0.0;
};

}  // namespace zek
