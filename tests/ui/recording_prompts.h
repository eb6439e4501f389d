// Answers the window's message boxes and file choosers as a test tells it, and keeps what
// was shown, in order.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

#include "ui/user_prompts.h"

namespace zek::testing {

class RecordingPrompts final : public UserPrompts {
  public:
    QStringList messages;
    QStringList details;
    std::deque<std::optional<QString>> saveAnswers;  ///< nothing cancels
    QStringList saveOffers;
    std::deque<std::optional<QString>> openAnswers;
    QStringList openOffers;
    std::optional<QString> pdfAnswer;
    int pdfQuestions = 0;
    QStringList pdfOffers;
    std::vector<zek::SaveKind> saveKinds;
    QStringList questions;
    std::deque<bool> questionAnswers;  ///< none left answers No
    QStringList textLabels;
    std::deque<std::optional<QString>> textAnswers;  ///< none left cancels
    /// Called as each message is shown, to look at the screen at that moment.
    std::function<void()> whileMessageShows;

    void Message(QWidget*, const QString& text, const QString& detail = {}) override {
        messages << text;
        details << detail;
        if (whileMessageShows) whileMessageShows();
    }
    std::optional<QString> SaveFileName(QWidget*, const QString& initialName,
                                        zek::SaveKind kind) override {
        saveOffers << initialName;
        saveKinds.push_back(kind);
        return Next(saveAnswers);
    }
    std::optional<QString> OpenFileName(QWidget*, const QString& initialName) override {
        openOffers << initialName;
        return Next(openAnswers);
    }
    std::optional<QString> FolderName(QWidget*, const QString&) override { return std::nullopt; }
    std::optional<QString> PdfFileName(QWidget*, const QString&,
                                       const QString& suggestedName) override {
        ++pdfQuestions;
        pdfOffers << suggestedName;
        return pdfAnswer;
    }
    bool Question(QWidget*, const QString& text) override {
        questions << text;
        if (questionAnswers.empty()) return false;
        const bool answer = questionAnswers.front();
        questionAnswers.pop_front();
        return answer;
    }

    std::optional<QString> AskText(QWidget*, const QString& label, const QString&) override {
        textLabels << label;
        return Next(textAnswers);
    }

  private:
    static std::optional<QString> Next(std::deque<std::optional<QString>>& answers) {
        if (answers.empty()) return std::nullopt;
        std::optional<QString> answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace zek::testing
