#include "tests/ui/UiTestSupport.h"
#include "tests/support/PrivateCurrentUser.h"

#include "framework/WideText.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <stdexcept>
#include <string>

CScriptedPrompts::CScriptedPrompts()
{
    AfxSetUserPrompts(this);
}

CScriptedPrompts::~CScriptedPrompts()
{
    AfxSetUserPrompts(nullptr);
}

int CScriptedPrompts::MessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type)
{
    messages.push_back({owner, text, caption, type});
    if (!messageAnswers.empty()) {
        const int answer = messageAnswers.front();
        messageAnswers.pop_front();
        return answer;
    }
    return (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
}

BOOL CScriptedPrompts::GetFileName(OPENFILENAMEW& ofn, BOOL bOpen)
{
    RecordedFileDialog dialog = {};
    dialog.bOpen = bOpen;
    dialog.owner = ofn.hwndOwner;
    dialog.title = ofn.lpstrTitle != nullptr ? ofn.lpstrTitle : L"";
    if (ofn.lpstrInitialDir != nullptr)
        AfxExactAnsiFromWide(ofn.lpstrInitialDir, dialog.initialDir);
    dialog.defExt = ofn.lpstrDefExt != nullptr ? ofn.lpstrDefExt : L"";
    if (ofn.lpstrFilter != nullptr) {
        const wchar_t* end = ofn.lpstrFilter;
        while (end[0] != L'\0' || end[1] != L'\0')
            ++end;
        dialog.filter.assign(ofn.lpstrFilter, static_cast<std::size_t>(end - ofn.lpstrFilter) + 2);
    }
    dialog.flags = ofn.Flags;
    dialog.nMaxFile = ofn.nMaxFile;
    dialog.nFilterIndex = ofn.nFilterIndex;
    fileDialogs.push_back(dialog);

    if (fileAnswers.empty() || fileAnswers.front().name.empty()) {
        if (!fileAnswers.empty())
            fileAnswers.pop_front();
        return FALSE;
    }
    const std::wstring answer = fileAnswers.front().name;
    fileAnswers.pop_front();
    if (answer.size() >= ofn.nMaxFile)
        return FALSE;
    memcpy(ofn.lpstrFile, answer.c_str(), (answer.size() + 1) * sizeof(wchar_t));
    return TRUE;
}

namespace {

void Check(LONG status, const char* what)
{
    if (status != ERROR_SUCCESS)
        throw std::runtime_error(std::string(what) + " failed: " + std::to_string(status));
}

// One private HKEY_CURRENT_USER for the whole test program, from the first
// window test on: the program under test reads and writes it as its own.
CPrivateCurrentUser& CurrentUser()
{
    static CPrivateCurrentUser currentUser("ui");
    if (!currentUser.IsReady())
        throw std::runtime_error("redirecting HKEY_CURRENT_USER failed");
    return currentUser;
}

}

void IsolateCurrentUserRegistry()
{
    CurrentUser();
}

void ClearCurrentUserRegistry()
{
    CurrentUser().Clear();
}

namespace {

void SetRegistryValue(const char* keyPath, const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key;
    Check(RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                          nullptr, &key, nullptr),
          keyPath);
    const LONG status = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    Check(status, name);
}

BOOL GetRegistryValue(const char* keyPath, const char* name, DWORD wantedType, void* data, DWORD& size)
{
    DWORD type = 0;
    const LONG status = RegGetValueA(HKEY_CURRENT_USER, keyPath, name, RRF_RT_ANY, &type, data, &size);
    return status == ERROR_SUCCESS && type == wantedType;
}

}

void SetRegistryString(const char* keyPath, const char* name, const CString& value)
{
    SetRegistryValue(keyPath, name, REG_SZ, value.GetString(), value.GetLength() + 1);
}

void SetRegistryDword(const char* keyPath, const char* name, DWORD value)
{
    SetRegistryValue(keyPath, name, REG_DWORD, &value, sizeof value);
}

BOOL GetRegistryString(const char* keyPath, const char* name, CString& value)
{
    char buffer[2048] = {};
    DWORD size = sizeof buffer - 1;
    if (!GetRegistryValue(keyPath, name, REG_SZ, buffer, size))
        return FALSE;
    value = buffer;
    return TRUE;
}

BOOL GetRegistryDword(const char* keyPath, const char* name, DWORD& value)
{
    DWORD size = sizeof value;
    return GetRegistryValue(keyPath, name, REG_DWORD, &value, size);
}

BOOL RegistryKeyExists(const char* keyPath)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return FALSE;
    RegCloseKey(key);
    return TRUE;
}

void WriteFileBytes(const CString& path, const CString& bytes)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error(std::string("cannot create ") + path.GetString());
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.GetString(), bytes.GetLength(), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != static_cast<DWORD>(bytes.GetLength()))
        throw std::runtime_error(std::string("cannot write ") + path.GetString());
}

CString ReadFileBytes(const CString& path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return CString();
    std::string content;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        content.append(chunk, got);
    CloseHandle(file);
    return CString(content.data(), static_cast<int>(content.size()));
}

BOOL FileExists(const CString& path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> FilesMatching(const CString& pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

HDROP MakeDrop(const std::vector<WideName>& names)
{
    // DROPFILES, then every name NUL-terminated, then one more NUL.
    SIZE_T size = sizeof(DROPFILES) + sizeof(wchar_t);
    for (const WideName& name : names)
        size += (name.name.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, size);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    auto* next = reinterpret_cast<wchar_t*>(drop + 1);
    for (const WideName& name : names) {
        memcpy(next, name.name.c_str(), (name.name.size() + 1) * sizeof(wchar_t));
        next += name.name.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

CString WindowsPathOfUnixPath(const char* unixPath)
{
    CString path = "Z:";
    for (const char* p = unixPath; *p != '\0'; ++p)
        path += *p == '/' ? '\\' : *p;
    return path;
}

BOOL WaitForChildProcesses(const char* exeName)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return FALSE;
    BOOL allEnded = TRUE;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ParentProcessID != GetCurrentProcessId() || CString(entry.szExeFile).CompareNoCase(exeName) != 0)
            continue;
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID);
        if (process == nullptr)
            continue;  // already gone
        if (WaitForSingleObject(process, 60000) != WAIT_OBJECT_0)
            allEnded = FALSE;
        CloseHandle(process);
    }
    CloseHandle(snapshot);
    return allEnded;
}

CString EnvironmentVariable(const char* name)
{
    char value[1024] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? CString(value) : CString();
}

BOOL PumpMessagesUntil(const std::function<bool()>& done)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > 60000)
            return FALSE;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return TRUE;
}

std::vector<ListItem> ListItems(HWND list)
{
    std::vector<ListItem> items;
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const int length = static_cast<int>(SendMessageA(list, LB_GETTEXTLEN, i, 0));
        std::string text(length + 1, '\0');
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
        items.push_back({CString(text.data(), length), static_cast<DWORD_PTR>(SendMessageA(list, LB_GETITEMDATA, i, 0))});
    }
    return items;
}

namespace {

CModalDialogCloser* g_pCloser = nullptr;

BOOL CALLBACK FindModalDialog(HWND window, LPARAM lParam)
{
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    // A modal dialog is the visible, enabled dialog; the window it belongs
    // to is disabled while it runs.
    if (CString(className) == "#32770" && IsWindowVisible(window) && IsWindowEnabled(window)) {
        *reinterpret_cast<HWND*>(lParam) = window;
        return FALSE;
    }
    return TRUE;
}

}

CModalDialogCloser::CModalDialogCloser()
{
    g_pCloser = this;
    m_timer = SetTimer(nullptr, 0, 10, &CModalDialogCloser::OnTimer);
}

CModalDialogCloser::~CModalDialogCloser()
{
    KillTimer(nullptr, m_timer);
    g_pCloser = nullptr;
}

void CALLBACK CModalDialogCloser::OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    CModalDialogCloser* closer = g_pCloser;
    if (closer == nullptr || closer->seen)
        return;
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindModalDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr)
        return;
    closer->seen = true;
    wchar_t caption[256] = {};
    GetWindowTextW(dialog, caption, sizeof caption / sizeof caption[0]);
    closer->caption = caption;
    closer->owner = GetWindow(dialog, GW_OWNER);
    if (closer->inspect)
        closer->inspect(dialog);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}
