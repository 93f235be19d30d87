#pragma once

#include "FrameUi.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

// The frame's interface with the test in the user's place: boxes, text
// questions and file dialogs are recorded and answered from queues the test
// fills, so that a window test never waits on a modal toolkit dialog.
class AnsweringUi : public FrameUi
{
public:
    using FrameUi::FrameUi;

    // Every box shown, as "caption: text".
    std::vector<std::string> boxes;
    // Answers to the next boxes, in order. Once they run out a box with the
    // single Ok button gets IdOk, and a question gets `otherwise`.
    std::deque<int> answers;
    int otherwise = IdOk;
    // Texts typed into the next questions; none left cancels the question.
    std::deque<std::string> texts;
    // Every text question asked, as "caption | proposed text".
    std::vector<std::string> asked;
    // Files chosen in the next file dialogs; none left cancels the dialog.
    std::deque<std::string> paths;
    // Run as each box comes, before it is answered: what the windows show
    // behind it.
    std::function<void()> onBox;
    // The title of every file dialog shown.
    std::vector<std::string> files;

    int MessageBox(const std::string& text, const std::string& caption, Buttons buttons, int) override
    {
        boxes.push_back(caption + ": " + text);
        if (onBox)
            onBox();
        if (!answers.empty())
        {
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return buttons == Buttons::Ok ? IdOk : otherwise;
    }
    bool AskText(const std::string&, const std::string& caption, std::string& text) override
    {
        asked.push_back(caption + " | " + text);
        return Next(texts, text);
    }
    std::string AskFilePath(const FileRequest& request) override
    {
        files.push_back(request.Title);
        std::string path;
        Next(paths, path);
        return path;
    }

    // How many boxes had that caption.
    int Count(const std::string& caption) const
    {
        int n = 0;
        for (const std::string& box : boxes)
            n += box.rfind(caption + ": ", 0) == 0;
        return n;
    }

private:
    static bool Next(std::deque<std::string>& queue, std::string& value)
    {
        if (queue.empty())
            return false;
        value = queue.front();
        queue.pop_front();
        return true;
    }
};
