// make_samples <folder> <windows-folder>
// Writes a dozen small VQF files (no audio, only the header chunks) with
// Japanese and ASCII titles and authors into <folder>, and the playlist
// sample.vql that names them by absolute Windows path <windows-folder>\<file>
// (code page 932, CR LF, with a comment line and a blank line as the player's
// own playlists have). <windows-folder> is where <folder> appears under Wine,
// e.g. C:\samples for <prefix>/drive_c/samples.
//
// Texts are kept as code page 932 bytes here so they land in the files
// exactly, whatever the compiler's character sets. One file name is Japanese
// with a trail byte 0x5C (表); on disk its name is UTF-8, as Wine maps it.

#include "VqfWriter.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct Sample
{
    const char* playlistName;  // code page 932, as the playlist names it
    const char* diskName;      // UTF-8, as Wine stores that name on Linux
    const char* title;         // code page 932
    const char* author;        // code page 932
};

const Sample kSamples[] = {
    {"01.vqf", "01.vqf", "\x92\xA9\x82\xCC\x8EU\x95\xE0", "\x8ER\x93" "c \x89\xD4\x8Eq"},  // 朝の散歩 / 山田 花子
    {"02.vqf", "02.vqf", "Blue Morning", "Northern Lights Band"},
    {"03.vqf", "03.vqf", "\x95\x5C\x8EQ\x93\xB9\x83\x5C\x83i\x83^", "\x97\xE9\x96\xD8 \x88\xEA\x98Y"},  // 表参道ソナタ / 鈴木 一郎
    {"04.vqf", "04.vqf", "\x89\xC4\x8D\xD5\x82\xE8", "\x82\xD0\x82\xDC\x82\xED\x82\xE8\x8Ay\x92" "c"},  // 夏祭り / ひまわり楽団
    {"05.vqf", "05.vqf", "Rainy Street", "Kenji Sato"},
    {"06.vqf", "06.vqf", "\x94\x5C\x93o\x82\xCC\x8A" "C", "\x8D`\x92\xAC\x83I\x81[\x83P\x83X\x83g\x83\x89"},  // 能登の海 / 港町オーケストラ
    {"07.vqf", "07.vqf", "\x90\xAF\x8B\xF3\x82\xCC\x83\x8F\x83\x8B\x83" "c", "\x8D\xB2\x93\xA1 \x82\xDD\x82\xC7\x82\xE8"},  // 星空のワルツ / 佐藤 みどり
    {"08.vqf", "08.vqf", "Coffee Break", "Jazz Quartet Tokyo"},
    {"09.vqf", "09.vqf", "\x90\xE1\x89\xF0\x82\xAF", "\x96k\x8D\x91\x8C\xB7\x8Ay\x8El\x8F" "d\x91t\x92" "c"},  // 雪解け / 北国弦楽四重奏団
    {"10.vqf", "10.vqf", "\x83_\x83\x93\x83X\x81" "E\x83_\x83\x93\x83X", "DJ \x82\xBD\x82\xEB\x82\xA4"},  // ダンス・ダンス / DJ たろう
    {"11.vqf", "11.vqf", "Untitled Sketch", ""},
    {"12 \x97\x5C\x92\xE8\x95\x5C.vqf", "12 予定表.vqf", "\x97\x5C\x92\xE8\x95\x5C\x82\xCC\x82\xA4\x82\xBD", "\x83R\x81[\x83\x89\x83X\x95\x94"},  // 予定表のうた / コーラス部
};

// The blank line goes after this many entries.
const int kEntriesBeforeBlankLine = 6;

bool WriteBytes(const std::filesystem::path& path, const CString& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.GetString(), bytes.GetLength());
    out.close();
    if (!out) {
        std::fprintf(stderr, "make_samples: cannot write %s\n", path.string().c_str());
        return false;
    }
    return true;
}

}

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_samples <folder> <windows-folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    CString windowsFolder = argv[2];
    if (windowsFolder.ReverseFind('\\') != windowsFolder.GetLength() - 1)
        windowsFolder += '\\';

    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "make_samples: cannot create %s: %s\n", argv[1], error.message().c_str());
        return 1;
    }

    CString playlist = "# Jumbla sample playlist: twelve VQF files without audio\r\n";
    int written = 0;
    for (const Sample& sample : kSamples) {
        if (!WriteBytes(folder / sample.diskName, VqfFileBytes(sample.title, sample.author)))
            return 1;
        playlist += windowsFolder + sample.playlistName + "\r\n";
        if (++written == kEntriesBeforeBlankLine)
            playlist += "\r\n";
    }
    if (!WriteBytes(folder / "sample.vql", playlist))
        return 1;
    return 0;
}
