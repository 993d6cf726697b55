#include "playlist/WorkFile.h"

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
