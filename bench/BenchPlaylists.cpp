#include "BenchPlaylists.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace {

// "音楽" and "曲" in code page 932.
const char kMusic[] = "\x89\xB9\x8A\x79";
const char kSong[] = "\x8B\xC8";

std::string PlaylistBytes(std::size_t n)
{
    std::string bytes = "#control(repeat=\"all\")\r\n";
    char line[128];
    for (std::size_t i = 0; i < n; ++i) {
        if (i % 100 == 0)
            bytes += "# album " + std::to_string(i / 100) + "\r\n";
        std::snprintf(line, sizeof line, "C:\\%s\\album%04zu\\%06zu %s.vqf\r\n", kMusic, i / 100, i, kSong);
        bytes += line;
    }
    return bytes;
}

}  // namespace

CBenchPlaylists::CBenchPlaylists()
{
    const auto folder = std::filesystem::temp_directory_path() / ("jumbla_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    m_folder = folder.string();
}

CBenchPlaylists::~CBenchPlaylists()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

const std::string& CBenchPlaylists::Playlist(std::size_t n)
{
    for (const auto& playlist : m_playlists) {
        if (playlist.first == n)
            return playlist.second;
    }
    const std::string path = OutputPath(("list" + std::to_string(n) + ".vql").c_str());
    const std::string bytes = PlaylistBytes(n);
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    m_playlists.emplace_back(n, path);
    return m_playlists.back().second;
}

std::string CBenchPlaylists::OutputPath(const char* name) const
{
    return (std::filesystem::path(m_folder) / name).string();
}

void SkipLines(CStdioFile& source, UINT k)
{
    source.SeekToBegin();
    CString line;
    for (UINT i = 0; i < k; ++i)
        source.ReadString(line);
}
