#include "playlist/WorkFile.h"

#include "framework/File.h"

// The work file's Win32 half: deleting it, and saving a playlist in its form.

namespace {

// The absolute, normalised name (".." and "." resolved, trailing dots and
// blanks dropped, as the file system does); the path itself when it has none.
CString FullPath(const CString& path)
{
    CString full;
    const DWORD length = ::GetFullPathNameA(path, MAX_PATH, full.GetBuffer(MAX_PATH), nullptr);
    full.ReleaseBuffer(length > 0 && length < MAX_PATH ? static_cast<int>(length) : 0);
    return full.IsEmpty() ? path : full;
}

}  // namespace

void DeleteWorkFileOf(const CString& playlistPath)
{
    if (playlistPath.IsEmpty() || IsItsOwnWorkFile(FullPath(playlistPath)))
        return;
    // DeleteFile fails on a missing file, which is just what we want left.
    ::DeleteFileA(WorkFilePath(playlistPath));
}

BOOL SavePlaylistAs(const CString& playlistPath, const std::vector<UINT>& lineIndices, const CString& savedPath)
{
    if (FullPath(savedPath).CompareNoCase(FullPath(WorkFilePath(playlistPath))) == 0)
        return FALSE;
    char partial[MAX_PATH];
    // GetTempFileName creates the (empty) file, so the name stays ours.
    if (!::GetTempFileNameA(ReplacementFolder(savedPath), "jmb", 0, partial))
        return FALSE;
    // The new file's data is on the disk before the file is closed
    // (osFlushOnClose), so no crash can leave savedPath naming data that was
    // still in memory. MoveFileEx within one folder is a rename: savedPath is
    // either the old file or the whole new one, never a part;
    // MOVEFILE_WRITE_THROUGH asks it to return once the move is on the disk.
    if (WriteWorkFile(playlistPath, partial, lineIndices, CFile::osFlushOnClose)
        && ::MoveFileExA(partial, savedPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return TRUE;
    ::DeleteFileA(partial);
    return FALSE;
}
