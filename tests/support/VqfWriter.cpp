#include "VqfWriter.h"

namespace {

CString BigEndian32(unsigned long value)
{
    CString bytes;
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes += static_cast<char>((value >> shift) & 0xFF);
    return bytes;
}

// Channel mode 1 (stereo), 96 kbit/s, 44 kHz: what a common encoder writes.
CString CommonChunkBody()
{
    return BigEndian32(1) + BigEndian32(96) + BigEndian32(44);
}

}

CString VqfChunk(const char* id, const CString& body)
{
    return VqfChunkWithSize(id, static_cast<unsigned long>(body.GetLength()), body);
}

CString VqfChunkWithSize(const char* id, unsigned long size, const CString& body)
{
    return CString(id, 4) + BigEndian32(size) + body;
}

CString VqfHeaderBytes(const CString& chunks)
{
    return CString("TWIN97012000") + BigEndian32(static_cast<unsigned long>(chunks.GetLength())) + chunks;
}

CString VqfFileFromChunks(const CString& chunks)
{
    return VqfHeaderBytes(chunks) + "DATA" + CString('\0', 8);
}

CString VqfTagChunks(const CString& title, const CString& author)
{
    return VqfChunk("COMM", CommonChunkBody()) + VqfChunk("NAME", title) +
           VqfChunk("COMT", "Sample made by Jumbla's tools; it holds no audio") + VqfChunk("(c) ", "Jumbla sample") +
           VqfChunk("AUTH", author);
}

CString VqfFileBytes(const CString& title, const CString& author)
{
    return VqfFileFromChunks(VqfTagChunks(title, author));
}
