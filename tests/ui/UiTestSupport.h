#pragma once

// What the window tests share: answers to the program's prompts, a private
// registry root, a scratch folder and the shell's drop and process handles.

#include "framework/Platform.h"
#include "framework/String.h"
#include "framework/UserPrompts.h"
#include "framework/WideText.h"
#include "tests/framework/TempDir.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <shellapi.h>

// The texts the program shows, as a person reads them and as the string
// table holds them (ShownTextTest checks the table against this list once).
namespace JumblaText {
const wchar_t kCaption[] = L"Jumbla";
const wchar_t kDropCaption[] = L"JUMBLA";
const wchar_t kSaveFailed[] = L"VQLファイルの保存に失敗しました";
const wchar_t kLoadSaved[] = L"保存したファイルを読みこみますか？";
const wchar_t kNotVql[] = L"VQLファイル以外はシャッフルできません";
const wchar_t kOneFileOnly[] = L"シャッフルできるファイルは１つだけです。";
const wchar_t kPlayerMissing[] = L"SoundVQ Playerが見つかりません";
const wchar_t kPlayerNotStarted[] = L"SoundVQ Playserを起動できませんでした";
const wchar_t kUnreadable[] = L"が読みこめません";  // after the entry's path
const wchar_t kOpenTitle[] = L"VQLファイルの指定";
const wchar_t kSaveTitle[] = L"VQLファイルの保存";
const wchar_t kFilter[] = L"VQLファイル(*.vql)|*.vql||";  // MFC's syntax: "|" for each NUL
const wchar_t kAboutMenu[] = L"Jumblaのバージョン (&A)...";
const wchar_t kShufflePlayMenu[] = L"シャッフルを行って演奏開始";
const wchar_t kAboutCaption[] = L"ﾊﾞｰｼﾞｮﾝ情報 Jumbla";
}  // namespace JumblaText

struct RecordedMessage
{
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
};

struct RecordedFileDialog
{
    BOOL bOpen;
    HWND owner;
    std::wstring title;
    CString initialDir;  // in the ANSI code page, like the path it came from
    std::wstring defExt;
    std::wstring filter;  // with its NUL separators, up to the double NUL
    DWORD flags;
    DWORD nMaxFile;
    DWORD nFilterIndex;
};

// A file name as the shell's dialogs and drops hand it over: UTF-16. An ANSI
// path stands for the name the system reads in its bytes.
struct WideName
{
    WideName(const CString& path) : name(AfxWideFromAnsi(path)) {}
    WideName(const wchar_t* wide) : name(wide) {}
    std::wstring name;
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

    int MessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) override;
    BOOL GetFileName(OPENFILENAMEW& ofn, BOOL bOpen) override;

    std::deque<int> messageAnswers;
    std::deque<WideName> fileAnswers;  // an empty name cancels
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
// The names of the files a pattern such as "C:\\dir\\*" matches, sorted,
// without "." and "..".
std::vector<std::string> FilesMatching(const CString& pattern);

// A drop of the given files as the shell delivers it in WM_DROPFILES: a
// DROPFILES block with UTF-16 names. The receiver releases it (DragFinish).
HDROP MakeDrop(const std::vector<WideName>& names);

// The value of an environment variable; empty when it is unset.
CString EnvironmentVariable(const char* name);

// The Unix path of a file built in this tree, as this process sees it.
CString WindowsPathOfUnixPath(const char* unixPath);

// Waits for every child process of this one started from an executable of
// the given file name to end. FALSE when none ends within a generous bound.
BOOL WaitForChildProcesses(const char* exeName);

// Runs this thread's messages until done() holds; FALSE when it does not
// within a minute. Wakes for each message, never sleeps past one.
BOOL PumpMessagesUntil(const std::function<bool()>& done);

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
    std::wstring caption;
    HWND owner = nullptr;
    // Runs inside the modal loop, on the dialog, before it is closed.
    std::function<void(HWND dialog)> inspect;

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    UINT_PTR m_timer;
};
