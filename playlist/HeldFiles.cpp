#include "playlist/HeldFiles.h"

namespace {

// How often a wait looks again. The file it waits for is held for one read
// of a header or a playlist, a few milliseconds even on a slow drive.
const DWORD kRetryMs = 1;

}  // namespace

CHeldFiles& CHeldFiles::Process()
{
    // Never destroyed: a detached worker may still hold or let go a file
    // while the process runs its exit handlers.
    static CHeldFiles* const files = new CHeldFiles;
    return *files;
}

std::string CHeldFiles::Key(const CString& path)
{
    // MakeUpper leaves double-byte characters alone, as the system's
    // comparison of names does.
    CString key = path;
    key.MakeUpper();
    return std::string(key.GetString(), key.GetLength());
}

bool CHeldFiles::Hold(const CString& path, const std::function<bool()>& stop)
{
    const std::string key = Key(path);
    for (;;) {
        {
            CSingleLock lock(m_lock);
            if (m_held.insert(key).second)
                return true;
        }
        if (stop())
            return false;
        AfxSleep(kRetryMs);
    }
}

bool CHeldFiles::TryHold(const CString& path)
{
    const std::string key = Key(path);
    CSingleLock lock(m_lock);
    return m_held.insert(key).second;
}

void CHeldFiles::Release(const CString& path)
{
    const std::string key = Key(path);
    CSingleLock lock(m_lock);
    m_held.erase(key);
}
