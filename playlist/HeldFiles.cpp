#include "playlist/HeldFiles.h"

namespace {

// A wait looks again soon at first: the file it waits for is held for one
// read of a header or a playlist, a few milliseconds even on a slow drive.
// Behind a read that does not come back it sleeps longer, up to this.
const DWORD kLongestRetryMs = 50;

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

bool CHeldFiles::Hold(const CString& path, const std::function<bool()>& stop, const std::function<void(DWORD)>& sleep)
{
    const std::string key = Key(path);
    for (DWORD retryMs = 1;; retryMs = retryMs * 2 < kLongestRetryMs ? retryMs * 2 : kLongestRetryMs) {
        {
            CSingleLock lock(m_lock);
            if (m_held.insert(key).second)
                return true;
        }
        if (stop())
            return false;
        sleep(retryMs);
    }
}

void CHeldFiles::Release(const CString& path)
{
    const std::string key = Key(path);
    CSingleLock lock(m_lock);
    m_held.erase(key);
}
