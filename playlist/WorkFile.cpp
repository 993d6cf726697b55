#include "playlist/WorkFile.h"

#include "framework/StdioFile.h"
#include "playlist/PlaylistWriter.h"

namespace {

const char kWorkFileName[] = "jumbla_work.vql";

}  // namespace

CString WorkFilePath(const CString& playlistPath)
{
    const int lastBackslash = playlistPath.ReverseFind('\\');
    if (lastBackslash < 0)
        return CString(kWorkFileName);
    return playlistPath.Left(lastBackslash) + "\\" + kWorkFileName;
}

namespace {

// WriteWorkFile, with the destination opened with `flags` added.
BOOL WriteInOrder(const CString& playlistPath, const CString& path, const std::vector<UINT>& lineIndices, UINT flags)
{
    try {
        CStdioFile source(playlistPath, CFile::modeRead | CFile::typeText);
        CStdioFile destination(path, CFile::modeCreate | CFile::modeWrite | CFile::typeText | flags);
        WriteShuffledPlaylist(source, destination, lineIndices);
    } catch (const CFileException&) {
        return FALSE;
    }
    return TRUE;
}

}  // namespace

BOOL WriteWorkFile(const CString& playlistPath, const CString& workPath, const std::vector<UINT>& lineIndices)
{
    return WriteInOrder(playlistPath, workPath, lineIndices, 0);
}

bool IsItsOwnWorkFile(const CString& playlistFullPath)
{
    return WorkFilePath(playlistFullPath).CompareNoCase(playlistFullPath) == 0;
}

CString ReplacementFolder(const CString& target)
{
    const CString folder = target.Left(target.ReverseFind('\\') + 1);
    return folder.IsEmpty() ? CString(".") : folder;
}

#ifdef _WIN32

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
    if (IsItsOwnWorkFile(FullPath(playlistPath)))
        return;
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
    if (WriteInOrder(playlistPath, partial, lineIndices, CFile::osFlushOnClose)
        && ::MoveFileExA(partial, savedPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return TRUE;
    ::DeleteFileA(partial);
    return FALSE;
}

#endif
