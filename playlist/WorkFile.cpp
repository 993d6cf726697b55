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

BOOL WriteWorkFile(const CString& playlistPath, const CString& workPath, const std::vector<UINT>& lineIndices,
                   UINT openFlags)
{
    try {
        CStdioFile source(playlistPath, CFile::modeRead | CFile::typeText);
        CStdioFile destination(workPath, CFile::modeCreate | CFile::modeWrite | CFile::typeText | openFlags);
        WriteShuffledPlaylist(source, destination, lineIndices);
    } catch (const CFileException&) {
        return FALSE;
    }
    return TRUE;
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
