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
    // waits for its own file, and only until they give up.
    bool Hold(const CString& path, const std::function<bool()>& stop);
    // Holds path when none of our threads does, without waiting (for the
    // window's thread, which never waits on a file).
    bool TryHold(const CString& path);
    void Release(const CString& path);

    // Whether two paths name one file as this set tells files apart.
    static bool SameFile(const CString& a, const CString& b) { return Key(a) == Key(b); }

private:
    static std::string Key(const CString& path);

    CCriticalSection m_lock;
    std::set<std::string> m_held;  // keys, under m_lock
};

// Holds one file in CHeldFiles::Process() for its own lifetime.
class CFileHold
{
public:
    // Held() tells whether the hold was had.
    CFileHold(const CString& path, const std::function<bool()>& stop)
        : m_path(path), m_bHeld(CHeldFiles::Process().Hold(path, stop))
    {
    }
    explicit CFileHold(const CString& path) : m_path(path), m_bHeld(CHeldFiles::Process().TryHold(path)) {}
    ~CFileHold()
    {
        if (m_bHeld)
            CHeldFiles::Process().Release(m_path);
    }
    CFileHold(const CFileHold&) = delete;
    CFileHold& operator=(const CFileHold&) = delete;

    bool Held() const { return m_bHeld; }

private:
    const CString m_path;
    const bool m_bHeld;
};
