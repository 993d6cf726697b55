#pragma once

#include "framework/File.h"

#include <memory>
#include <string>
#include <vector>

// Text file on top of CFile, with one text convention on every platform:
// reading, a line ends at LF and a CR right before that LF is dropped (a lone
// CR is data), and a Ctrl-Z byte ends the file; writing, LF becomes CR LF.
// Reads and writes go through 64 KiB buffers.
class CStdioFile : public CFile
{
public:
    CStdioFile();
    // Throws CFileException when the file cannot be opened.
    CStdioFile(const char* path, UINT flags);
    ~CStdioFile() override;

    BOOL Open(const char* path, UINT flags, CFileException* pError = nullptr) override;

    // Delivers the next line without its line end. At end of file returns
    // FALSE and leaves line empty.
    BOOL ReadString(CString& line);
    void WriteString(const char* text);

    // Raw bytes, in step with the buffered text reads and writes.
    UINT Read(void* buf, UINT count) override;
    void Write(const void* buf, UINT count) override;
    // Flushes pending writes and drops read-ahead, so SeekToBegin() rewinds a reader.
    ULONGLONG Seek(LONGLONG off, UINT from) override;
    ULONGLONG GetPosition() const override;
    ULONGLONG GetLength() const override;
    // Flushes pending writes (a write error throws, after the file is closed), then closes.
    void Close() override;
    // Drops pending writes and lets the file go (CFile::Abort).
    void Abort() noexcept override
    {
        ResetBuffers();
        CFile::Abort();
    }

private:
    static const UINT kBufferSize = 64 * 1024;

    UINT ReadAhead() const { return m_readEnd - m_readPos; }
    bool FillReadBuffer();
    void FlushWriteBuffer();
    // Moves the file position back over unread read-ahead and drops it.
    void DropReadAhead();
    void AppendToWriteBuffer(const char* bytes, std::size_t count);
    void ResetBuffers();

    std::unique_ptr<char[]> m_readBuffer;
    UINT m_readPos = 0;
    UINT m_readEnd = 0;
    bool m_textEnded = false;  // a Ctrl-Z was read
    std::string m_writeBuffer;
};
