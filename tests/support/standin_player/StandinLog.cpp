#include "tests/support/standin_player/StandinLog.h"

#include <cstdlib>
#include <string>

namespace {

const char kRecordStart[] = "SVQPlyer stand-in record";
const char kRecordEnd[] = "end";
const char kCommandLine[] = "command-line";
const char kArgument[] = "argument";
const char kPlaylist[] = "playlist";
const char kPlaylistError[] = "playlist-error";

void AppendField(CString& out, const char* name, const CString& bytes)
{
    out += name;
    out += " ";
    out += std::to_string(bytes.GetLength()).c_str();
    out += "\r\n";
    out += bytes;
    out += "\r\n";
}

class CLogReader
{
public:
    explicit CLogReader(const CString& log) : m_log(log) {}

    bool AtEnd() const { return m_pos >= m_log.GetLength(); }

    // One CR LF terminated line, without its end.
    bool ReadLine(CString& line)
    {
        for (int end = m_pos; end + 1 < m_log.GetLength(); ++end) {
            if (m_log[end] == '\r' && m_log[end + 1] == '\n') {
                line = m_log.Mid(m_pos, end - m_pos);
                m_pos = end + 2;
                return true;
            }
        }
        return false;
    }

    bool ReadExpectedLine(const char* expected)
    {
        CString line;
        return ReadLine(line) && line == expected;
    }

    // A field header "<name> <count>" of the given name, then its bytes.
    bool ReadField(const char* name, CString& bytes)
    {
        const int start = m_pos;
        CString header;
        const CString prefix = CString(name) + " ";
        if (!ReadLine(header) || header.Left(prefix.GetLength()) != prefix) {
            m_pos = start;
            return false;
        }
        const CString digits = header.Mid(prefix.GetLength());
        if (digits.IsEmpty() || digits.GetLength() > 9)
            return false;
        for (int i = 0; i < digits.GetLength(); ++i) {
            if (digits[i] < '0' || digits[i] > '9')
                return false;
        }
        const int count = std::atoi(digits);
        if (count > m_log.GetLength() - m_pos - 2)
            return false;
        bytes = m_log.Mid(m_pos, count);
        m_pos += count;
        if (m_log[m_pos] != '\r' || m_log[m_pos + 1] != '\n')
            return false;
        m_pos += 2;
        return true;
    }

private:
    const CString& m_log;
    int m_pos = 0;
};

bool ReadRecord(CLogReader& reader, StandinRecord& record)
{
    if (!reader.ReadExpectedLine(kRecordStart) || !reader.ReadField(kCommandLine, record.commandLine) ||
        !reader.ReadField(kArgument, record.argument))
        return false;
    CString errorText;
    if (reader.ReadField(kPlaylist, record.playlist)) {
        record.playlistRead = true;
    } else if (reader.ReadField(kPlaylistError, errorText)) {
        record.readError = std::strtoul(errorText, nullptr, 10);
    } else {
        return false;
    }
    return reader.ReadExpectedLine(kRecordEnd);
}

}

CString FormatStandinRecord(const StandinRecord& record)
{
    CString out = kRecordStart;
    out += "\r\n";
    AppendField(out, kCommandLine, record.commandLine);
    AppendField(out, kArgument, record.argument);
    if (record.playlistRead)
        AppendField(out, kPlaylist, record.playlist);
    else
        AppendField(out, kPlaylistError, std::to_string(record.readError).c_str());
    out += kRecordEnd;
    out += "\r\n";
    return out;
}

bool ParseStandinLog(const CString& log, std::vector<StandinRecord>& records)
{
    records.clear();
    CLogReader reader(log);
    while (!reader.AtEnd()) {
        StandinRecord record;
        if (!ReadRecord(reader, record))
            return false;
        records.push_back(record);
    }
    return true;
}
