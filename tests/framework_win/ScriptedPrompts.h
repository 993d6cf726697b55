#pragma once

#include "framework/UserPrompts.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

// Answers message boxes and file dialogs from a script. A prompt nobody
// scripted fails the test and is answered with "cancel" at once, so a window
// test can never hang on a modal box.
class CScriptedPrompts : public CUserPrompts
{
public:
    struct Box
    {
        HWND owner;
        std::wstring text;
        std::wstring caption;
        UINT type;
    };

    std::deque<int> boxAnswers;
    std::vector<Box> boxes;
    std::function<BOOL(OPENFILENAMEW&, BOOL)> fileAnswer;

    int MessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) override
    {
        boxes.push_back({owner, text != nullptr ? text : L"", caption != nullptr ? caption : L"", type});
        if (boxAnswers.empty()) {
            ADD_FAILURE() << "unexpected message box: " << ::testing::PrintToString(boxes.back().text);
            return IDCANCEL;
        }
        const int answer = boxAnswers.front();
        boxAnswers.pop_front();
        return answer;
    }

    BOOL GetFileName(OPENFILENAMEW& ofn, BOOL bOpen) override
    {
        if (!fileAnswer) {
            ADD_FAILURE() << "unexpected file dialog";
            return FALSE;
        }
        return fileAnswer(ofn, bOpen);
    }
};

// Every window test runs with scripted prompts installed.
class PromptedTest : public ::testing::Test
{
protected:
    void SetUp() override { AfxSetUserPrompts(&prompts); }
    void TearDown() override { AfxSetUserPrompts(nullptr); }

    CScriptedPrompts prompts;
};
