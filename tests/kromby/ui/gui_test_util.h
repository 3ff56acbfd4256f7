// Shared by the window tests: one offscreen application per test program, and a dialogs seam
// that answers from a script and records everything it was asked to show.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <gtest/gtest.h>

#include "kromby/ui/dialogs.h"

namespace fixture {

inline void EnsureQtApp() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "kromby-gui-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

class QtTest : public ::testing::Test {
protected:
    QtTest() { EnsureQtApp(); }
};

struct AskedQuestion {
    std::string Caption, Text;
};

class ScriptedDialogs : public kui::Dialogs {
public:
    // Answers, used front first; an empty queue means the user cancels.
    std::deque<std::string> OpenAnswers, SaveAnswers;
    std::deque<bool> QuestionAnswers;
    // Runs while a modal window is "open": it is shown (so its show handler ran) and this
    // plays the user's part. Without it the window is closed at once with the close box.
    std::function<void(QDialog&)> OnExecute;

    // What was shown, in order.
    std::vector<std::string> Infos, Errors, Urls, Executed;
    std::vector<AskedQuestion> Questions;
    std::vector<std::vector<kui::FileFilter>> OpenFilters, SaveFilters;
    std::vector<std::string> DefaultExtensions;

    std::optional<std::string> OpenFile(QWidget*, const std::vector<kui::FileFilter>& filters) override {
        OpenFilters.push_back(filters);
        return Next(OpenAnswers);
    }
    std::optional<std::string> SaveFile(QWidget*, const std::vector<kui::FileFilter>& filters,
                                        const std::string& ext) override {
        SaveFilters.push_back(filters);
        DefaultExtensions.push_back(ext);
        return Next(SaveAnswers);
    }
    void Information(QWidget*, const std::string& text) override { Infos.push_back(text); }
    bool Question(QWidget*, const std::string& caption, const std::string& text) override {
        Questions.push_back({caption, text});
        if (QuestionAnswers.empty()) return false;
        const bool ok = QuestionAnswers.front();
        QuestionAnswers.pop_front();
        return ok;
    }
    void Error(QWidget*, const std::string& text) override { Errors.push_back(text); }
    bool Execute(QDialog& dialog) override {
        Executed.push_back(dialog.objectName().toStdString());
        dialog.setResult(QDialog::Rejected);
        dialog.show();
        if (OnExecute) OnExecute(dialog);
        const bool accepted = dialog.result() == QDialog::Accepted;
        dialog.hide();
        return accepted;
    }
    void OpenUrl(QWidget*, const std::string& url) override { Urls.push_back(url); }

private:
    static std::optional<std::string> Next(std::deque<std::string>& answers) {
        if (answers.empty()) return std::nullopt;
        std::string s = answers.front();
        answers.pop_front();
        return s;
    }
};

}  // namespace fixture
