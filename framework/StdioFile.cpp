#include "framework/StdioFile.h"

#include <algorithm>
#include <cstring>

namespace {

const char kCtrlZ = 0x1A;

}

CStdioFile::CStdioFile() = default;

CStdioFile::CStdioFile(const char* path, UINT flags)
{
    CFileException error;
    if (!Open(path, flags, &error))
        throw error;
}

CStdioFile::~CStdioFile()
{
    // The base destructor closes the handle; pending text must reach it first.
    try {
        FlushWriteBuffer();
    } catch (const CFileException&) {
    }
}

BOOL CStdioFile::Open(const char* path, UINT flags, CFileException* pError)
{
    if (IsOpen())
        Close();
    ResetBuffers();
    return CFile::Open(path, flags, pError);
}

BOOL CStdioFile::ReadString(CString& line)
{
    line.Empty();
    FlushWriteBuffer();
    if (m_textEnded)
        return FALSE;

    // The line is built straight in the caller's string: a loop that reads
    // into one CString reuses its storage, so lines cost no allocation.
    int length = 0;
    char* text = nullptr;
    for (;;) {
        if (m_readPos == m_readEnd && !FillReadBuffer())
            break;
        const char* first = m_readBuffer.get() + m_readPos;
        const char* last = m_readBuffer.get() + m_readEnd;
        const char* stop = std::find_if(first, last, [](char c) { return c == '\n' || c == kCtrlZ; });
        const int count = static_cast<int>(stop - first);
        if (count > 0) {
            text = line.GetBuffer(length + count);
            std::memcpy(text + length, first, static_cast<std::size_t>(count));
            length += count;
        }
        m_readPos = static_cast<UINT>(stop - m_readBuffer.get());
        if (stop == last)
            continue;
        if (*stop == kCtrlZ) {
            m_textEnded = true;
            break;
        }
        ++m_readPos;
        // Only the CR right before the LF belongs to the line end.
        if (length > 0 && text[length - 1] == '\r')
            --length;
        line.ReleaseBuffer(length);
        return TRUE;
    }
    // A last line without LF still counts.
    line.ReleaseBuffer(length);
    return length > 0;
}

void CStdioFile::WriteString(const char* text)
{
    if (!text)
        return;
    for (const char* lf; (lf = std::strchr(text, '\n')) != nullptr; text = lf + 1) {
        AppendToWriteBuffer(text, static_cast<std::size_t>(lf - text));
        AppendToWriteBuffer("\r\n", 2);
    }
    AppendToWriteBuffer(text, std::strlen(text));
}

UINT CStdioFile::Read(void* buf, UINT count)
{
    FlushWriteBuffer();
    const UINT fromBuffer = std::min(count, ReadAhead());
    if (fromBuffer > 0)
        std::memcpy(buf, m_readBuffer.get() + m_readPos, fromBuffer);
    m_readPos += fromBuffer;
    if (fromBuffer == count)
        return count;
    return fromBuffer + CFile::Read(static_cast<char*>(buf) + fromBuffer, count - fromBuffer);
}

void CStdioFile::Write(const void* buf, UINT count)
{
    AppendToWriteBuffer(static_cast<const char*>(buf), count);
}

ULONGLONG CStdioFile::Seek(LONGLONG off, UINT from)
{
    FlushWriteBuffer();
    // The file position runs ahead of the caller's by the unread read-ahead.
    if (from == current)
        off -= static_cast<LONGLONG>(ReadAhead());
    m_readPos = m_readEnd = 0;
    m_textEnded = false;
    return CFile::Seek(off, from);
}

ULONGLONG CStdioFile::GetPosition() const
{
    return CFile::GetPosition() - ReadAhead() + m_writeBuffer.size();
}

ULONGLONG CStdioFile::GetLength() const
{
    return std::max(CFile::GetLength(), CFile::GetPosition() + m_writeBuffer.size());
}

void CStdioFile::Close()
{
    try {
        FlushWriteBuffer();
    } catch (const CFileException&) {
        ResetBuffers();
        CloseQuietly();
        throw;
    }
    ResetBuffers();
    CFile::Close();
}

bool CStdioFile::FillReadBuffer()
{
    // Left uninitialised: every byte used is first read from the file, and
    // zeroing 64 KiB for each opened file costs more than reading a short one.
    if (!m_readBuffer)
        m_readBuffer.reset(new char[kBufferSize]);
    m_readPos = 0;
    m_readEnd = CFile::Read(m_readBuffer.get(), kBufferSize);
    return m_readEnd > 0;
}

void CStdioFile::FlushWriteBuffer()
{
    if (m_writeBuffer.empty())
        return;
    // Cleared also when the write fails, so a failing write is reported once
    // and not retried by Close or the destructor. clear() keeps the capacity:
    // the buffer does not regrow from empty after every flush.
    try {
        CFile::Write(m_writeBuffer.data(), static_cast<UINT>(m_writeBuffer.size()));
    } catch (...) {
        m_writeBuffer.clear();
        throw;
    }
    m_writeBuffer.clear();
}

void CStdioFile::DropReadAhead()
{
    if (ReadAhead() > 0)
        CFile::Seek(-static_cast<LONGLONG>(ReadAhead()), current);
    m_readPos = m_readEnd = 0;
}

void CStdioFile::AppendToWriteBuffer(const char* bytes, std::size_t count)
{
    DropReadAhead();
    m_writeBuffer.append(bytes, count);
    if (m_writeBuffer.size() >= kBufferSize)
        FlushWriteBuffer();
}

void CStdioFile::ResetBuffers()
{
    m_readPos = m_readEnd = 0;
    m_textEnded = false;
    m_writeBuffer.clear();
}
