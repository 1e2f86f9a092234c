#pragma once

#include "gui/Prompts.h"

#include <QStringList>

#include <deque>
#include <stdexcept>

namespace keyloom::test {

// Answers message boxes and file dialogs from a script and records what was shown, as
// "warning: <text>", "question: <text>", "open: <title>" and so on.
class ScriptedPrompts final : public Prompts {
public:
    // Queued answers, taken in order. A dialog or question without a queued answer fails the test.
    std::deque<Answer> answers;
    std::deque<std::optional<QString>> fileNames;
    QStringList shown;
    // The last file dialog request, to check titles, filters and folders.
    FileDialogRequest lastRequest;

    void warning(const QString& text) override { shown << "warning: " + text; }
    void information(const QString& text) override { shown << "information: " + text; }
    void error(const QString& text) override { shown << "error: " + text; }
    Answer question(const QString& text, bool allowCancel) override {
        shown << QString(allowCancel ? "question: " : "yes/no question: ") + text;
        return take(answers, "question");
    }
    std::optional<QString> openFileName(const FileDialogRequest& request) override {
        shown << "open: " + request.title;
        lastRequest = request;
        return take(fileNames, "open dialog");
    }
    std::optional<QString> saveFileName(const FileDialogRequest& request) override {
        shown << "save: " + request.title;
        lastRequest = request;
        return take(fileNames, "save dialog");
    }

private:
    template <typename T>
    static T take(std::deque<T>& queue, const char* what) {
        if (queue.empty())
            throw std::logic_error(std::string("no scripted answer for the ") + what);
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};

} // namespace keyloom::test
