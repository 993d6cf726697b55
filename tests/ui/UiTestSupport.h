#pragma once

// What the window tests share: answers to the program's prompts, a private
// registry root, a scratch folder and the shell's drop and process handles.

#include "framework/Platform.h"
#include "framework/String.h"
#include "framework/UserPrompts.h"
#include "tests/framework/TempDir.h"

#include <deque>
#include <functional>
#include <vector>

#include <shellapi.h>

// The program's messages as the tests compare them: the one place to change
// when the texts change their type.
inline const char kSaveFailedMessage[] = "VQLファイルの保存に失敗しました";
inline const char kLoadSavedQuestion[] = "保存したファイルを読みこみますか？";
inline const char kPlayerNotStartedMessage[] = "SoundVQ Playserを起動できませんでした";

struct RecordedMessage
{
    HWND owner;
    CString text;
    CString caption;
    UINT type;
};

struct RecordedFileDialog
{
    BOOL bOpen;
    HWND owner;
    CString title;
    CString initialDir;
    CString defExt;
    CString filter;  // with its NUL separators, up to the double NUL
    DWORD flags;
    DWORD nMaxFile;
    DWORD nFilterIndex;
};

// Answers message boxes and file dialogs at once instead of blocking, and
// records what was asked. A message box without a queued answer gets IDOK
// (IDNO for a Yes/No question); a file dialog without one is cancelled.
// Installed for the object's lifetime.
class CScriptedPrompts : public CUserPrompts
{
public:
    CScriptedPrompts();
    ~CScriptedPrompts() override;

    int MessageBox(HWND owner, const char* text, const char* caption, UINT type) override;
    BOOL GetFileName(OPENFILENAMEA& ofn, BOOL bOpen) override;

    std::deque<int> messageAnswers;
    std::deque<CString> fileAnswers;  // an empty name cancels
    std::vector<RecordedMessage> messages;
    std::vector<RecordedFileDialog> fileDialogs;
};

// HKEY_CURRENT_USER of this process is redirected to a private key for the
// whole run, so tests neither see nor change the settings or the player key
// of anyone else sharing the Wine prefix. Call once before any registry use.
void IsolateCurrentUserRegistry();
// Empties the private HKEY_CURRENT_USER.
void ClearCurrentUserRegistry();
void SetRegistryString(const char* keyPath, const char* name, const CString& value);
void SetRegistryDword(const char* keyPath, const char* name, DWORD value);
// FALSE when the value is missing or of another type.
BOOL GetRegistryString(const char* keyPath, const char* name, CString& value);
BOOL GetRegistryDword(const char* keyPath, const char* name, DWORD& value);
BOOL RegistryKeyExists(const char* keyPath);

// A folder of its own under %TEMP%, removed with everything in it.
class CScratchFolder
{
public:
    CString Path() const { return m_folder.Path().c_str(); }
    CString operator/(const char* name) const { return Path() + "\\" + name; }

private:
    TempDir m_folder;
};

void WriteFileBytes(const CString& path, const CString& bytes);
CString ReadFileBytes(const CString& path);  // empty when it cannot be read
BOOL FileExists(const CString& path);

// A drop of the given files as the shell delivers it in WM_DROPFILES: a
// DROPFILES block with ANSI names. The receiver releases it (DragFinish).
HDROP MakeDrop(const std::vector<CString>& paths);

// The Unix path of a file built in this tree, as this process sees it.
CString WindowsPathOfUnixPath(const char* unixPath);

// Waits for every child process of this one started from an executable of
// the given file name to end. FALSE when none ends within a generous bound.
BOOL WaitForChildProcesses(const char* exeName);

// The items of a list box: display text and item data.
struct ListItem
{
    CString text;
    DWORD_PTR data;
    bool operator==(const ListItem& other) const { return text == other.text && data == other.data; }
};
std::vector<ListItem> ListItems(HWND list);

// Closes, by IDCANCEL, the first modal dialog this thread shows from now
// on, recording its caption and owner. Must be armed right before the call
// that shows the dialog and checked after it returned.
class CModalDialogCloser
{
public:
    CModalDialogCloser();
    ~CModalDialogCloser();

    bool seen = false;
    CString caption;
    HWND owner = nullptr;
    // Runs inside the modal loop, on the dialog, before it is closed.
    std::function<void(HWND dialog)> inspect;

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    UINT_PTR m_timer;
};
