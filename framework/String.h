#pragma once

#include <string>

// Byte string in the ANSI code page. Bytes are kept exactly, NUL bytes
// included (the length is explicit). Positions and counts are in bytes;
// searches and case changes step over double-byte characters.
class CString
{
public:
    CString();
    CString(const char* psz);  // nullptr gives an empty string
    CString(const char* pch, int nLength);
    CString(char ch, int nRepeat = 1);

    int GetLength() const { return static_cast<int>(m_bytes.size()); }
    bool IsEmpty() const { return m_bytes.empty(); }
    void Empty() { m_bytes.clear(); }
    const char* GetString() const { return m_bytes.c_str(); }
    operator const char*() const { return m_bytes.c_str(); }
    char GetAt(int nIndex) const;
    char operator[](int nIndex) const { return GetAt(nIndex); }

    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;

    int Find(char ch, int nStart = 0) const;
    int ReverseFind(char ch) const;

    void MakeUpper();
    void MakeLower();

    int Compare(const char* psz) const;
    int CompareNoCase(const char* psz) const;

    // The buffer holds at least nMinBufLength bytes plus a terminating NUL.
    char* GetBuffer(int nMinBufLength);
    // nNewLength -1 keeps the bytes up to the first NUL.
    void ReleaseBuffer(int nNewLength = -1);

    CString& operator=(const char* psz);
    CString& operator+=(const CString& str);
    CString& operator+=(const char* psz);
    CString& operator+=(char ch);

    friend bool operator==(const CString& a, const CString& b) { return a.m_bytes == b.m_bytes; }

private:
    std::string m_bytes;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const char* b);
CString operator+(const char* a, const CString& b);
CString operator+(const CString& a, char b);
CString operator+(char a, const CString& b);

bool operator==(const CString& a, const char* b);
bool operator==(const char* a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, const char* b);
bool operator!=(const char* a, const CString& b);
