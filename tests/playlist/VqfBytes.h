#pragma once

#include <cstdint>
#include <string>

// Raw VQF header bytes for the tag reader's tests: the reader skips the first
// 16 bytes, so any 16 bytes do; chunks follow as the test lays them out.
inline std::string BigEndianSize(std::uint32_t size)
{
    return {char(size >> 24), char(size >> 16), char(size >> 8), char(size)};
}

inline std::string Chunk(const char* id, const std::string& body)
{
    return std::string(id, 4) + BigEndianSize(static_cast<std::uint32_t>(body.size())) + body;
}

inline std::string VqfFile(const std::string& chunks)
{
    return std::string("TWIN97012000") + BigEndianSize(static_cast<std::uint32_t>(chunks.size())) + chunks;
}

inline std::string WellFormedVqf(const std::string& title, const std::string& author)
{
    return VqfFile(Chunk("COMM", std::string(12, '\1')) + Chunk("NAME", title) + Chunk("COMT", "comment") +
                   Chunk("(c) ", "copyright") + Chunk("AUTH", author));
}
