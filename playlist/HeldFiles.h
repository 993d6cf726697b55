#pragma once

#include "framework/String.h"
#include "framework/Thread.h"

#include <functional>
#include <set>
#include <string>

// The files this program's own threads have open for a load or a command.
// Files are opened for exclusive use, so that one another program holds (the
// player) fails to open; two of our own threads opening one file at once
// would each find it held by the other and report it unreadable. Instead the
// later one waits here until the earlier one lets the file go. Paths are
// compared without case, as the system compares names; other spellings of
// one file (a short 8.3 name, "..") count as other files.
class CHeldFiles
{
public:
    // The program's one set: every load and command of the process shares it.
    static CHeldFiles& Process();

    // Waits until none of our threads holds path, then holds it for the
    // caller. false, holding nothing, when stop() turns true first (the
    // load was cancelled): a read that never returns holds back only the
    // waits for its own file, and only until they give up. The wait looks
    // again after sleep(1 ms), then 2, 4 and so on up to 50.
    bool Hold(const CString& path, const std::function<bool()>& stop, const std::function<void(DWORD)>& sleep);
    void Release(const CString& path);

    // Whether two paths name one file as this set tells files apart.
    static bool SameFile(const CString& a, const CString& b) { return Key(a) == Key(b); }

private:
    static std::string Key(const CString& path);

    CCriticalSection m_lock;
    std::set<std::string> m_held;  // keys, under m_lock
};

// Holds one file in CHeldFiles::Process() from Hold to its own end.
class CFileHold
{
public:
    CFileHold() = default;
    ~CFileHold()
    {
        if (m_bHeld)
            CHeldFiles::Process().Release(m_path);
    }
    CFileHold(const CFileHold&) = delete;
    CFileHold& operator=(const CFileHold&) = delete;

    // Once per hold; false when stop() came first.
    bool Hold(const CString& path, const std::function<bool()>& stop, const std::function<void(DWORD)>& sleep)
    {
        m_path = path;
        m_bHeld = CHeldFiles::Process().Hold(path, stop, sleep);
        return m_bHeld;
    }

private:
    CString m_path;
    bool m_bHeld = false;
};
