#include "framework/String.h"

#include "framework/CodePage.h"

#include <algorithm>
#include <cassert>

namespace {

// Width in bytes of the character starting at pos: 2 for a lead byte that has
// its trail byte, otherwise 1 (a lead byte cut off at the end stands alone).
std::size_t CharWidth(const std::string& bytes, std::size_t pos)
{
    return IsLeadByte(static_cast<unsigned char>(bytes[pos])) && pos + 1 < bytes.size() ? 2 : 1;
}

unsigned char ToLowerAscii(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

unsigned char ToUpperAscii(unsigned char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

int Sign(int n)
{
    return (n > 0) - (n < 0);
}

}

CString::CString() = default;

CString::CString(const char* psz) : m_bytes(psz ? psz : "")
{
}

CString::CString(const char* pch, int nLength)
{
    if (pch && nLength > 0)
        m_bytes.assign(pch, static_cast<std::size_t>(nLength));
}

CString::CString(char ch, int nRepeat)
{
    if (nRepeat > 0)
        m_bytes.assign(static_cast<std::size_t>(nRepeat), ch);
}

char CString::GetAt(int nIndex) const
{
    assert(nIndex >= 0 && nIndex < GetLength());
    return m_bytes[static_cast<std::size_t>(nIndex)];
}

CString CString::Left(int nCount) const
{
    return Mid(0, nCount);
}

CString CString::Right(int nCount) const
{
    if (nCount <= 0)
        return CString();
    if (nCount >= GetLength())
        return *this;
    return Mid(GetLength() - nCount);
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    const int first = std::clamp(nFirst, 0, GetLength());
    const int count = std::clamp(nCount, 0, GetLength() - first);
    return CString(m_bytes.data() + first, count);
}

int CString::Find(char ch, int nStart) const
{
    for (std::size_t pos = static_cast<std::size_t>(std::max(nStart, 0)); pos < m_bytes.size();
         pos += CharWidth(m_bytes, pos)) {
        if (m_bytes[pos] == ch)
            return static_cast<int>(pos);
    }
    return -1;
}

int CString::ReverseFind(char ch) const
{
    // Walk forward: going backwards cannot tell a trail byte from a character.
    int found = -1;
    for (std::size_t pos = 0; pos < m_bytes.size(); pos += CharWidth(m_bytes, pos)) {
        if (m_bytes[pos] == ch)
            found = static_cast<int>(pos);
    }
    return found;
}

void CString::MakeUpper()
{
    for (std::size_t pos = 0; pos < m_bytes.size(); pos += CharWidth(m_bytes, pos))
        m_bytes[pos] = static_cast<char>(ToUpperAscii(static_cast<unsigned char>(m_bytes[pos])));
}

void CString::MakeLower()
{
    for (std::size_t pos = 0; pos < m_bytes.size(); pos += CharWidth(m_bytes, pos))
        m_bytes[pos] = static_cast<char>(ToLowerAscii(static_cast<unsigned char>(m_bytes[pos])));
}

int CString::Compare(const char* psz) const
{
    return Sign(m_bytes.compare(psz ? psz : ""));
}

int CString::CompareNoCase(const char* psz) const
{
    const std::string other(psz ? psz : "");
    std::size_t pos = 0;
    while (pos < m_bytes.size() && pos < other.size()) {
        const std::size_t width = CharWidth(m_bytes, pos);
        for (std::size_t i = pos; i < pos + width; ++i) {
            unsigned char a = static_cast<unsigned char>(m_bytes[i]);
            // other[i] is its terminating NUL when other ends inside the character
            unsigned char b = static_cast<unsigned char>(other.c_str()[i]);
            if (width == 1) {
                a = ToLowerAscii(a);
                b = ToLowerAscii(b);
            }
            if (a != b)
                return a < b ? -1 : 1;
        }
        pos += width;
    }
    return Sign(static_cast<int>(m_bytes.size() > pos) - static_cast<int>(other.size() > pos));
}

char* CString::GetBuffer(int nMinBufLength)
{
    if (nMinBufLength > GetLength())
        m_bytes.resize(static_cast<std::size_t>(nMinBufLength));
    return &m_bytes[0];
}

void CString::ReleaseBuffer(int nNewLength)
{
    const std::size_t length = nNewLength < 0
        ? std::min(m_bytes.find('\0'), m_bytes.size())
        : std::min(static_cast<std::size_t>(nNewLength), m_bytes.size());
    m_bytes.resize(length);
}

CString& CString::operator=(const char* psz)
{
    m_bytes.assign(psz ? psz : "");
    return *this;
}

CString& CString::operator+=(const CString& str)
{
    m_bytes += str.m_bytes;
    return *this;
}

CString& CString::operator+=(const char* psz)
{
    if (psz)
        m_bytes += psz;
    return *this;
}

CString& CString::operator+=(char ch)
{
    m_bytes += ch;
    return *this;
}

CString operator+(const CString& a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, const char* b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const char* a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, char b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(char a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

bool operator==(const CString& a, const char* b)
{
    return a == CString(b);
}

bool operator==(const char* a, const CString& b)
{
    return CString(a) == b;
}

bool operator!=(const CString& a, const CString& b)
{
    return !(a == b);
}

bool operator!=(const CString& a, const char* b)
{
    return !(a == b);
}

bool operator!=(const char* a, const CString& b)
{
    return !(a == b);
}
