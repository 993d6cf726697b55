#include "framework/WideText.h"

std::wstring AfxWideFromAnsi(const CString& text)
{
    if (text.IsEmpty())
        return std::wstring();
    // Flags 0: invalid sequences are replaced rather than refused, as the
    // ANSI API does for the same bytes. A NUL inside the text is kept.
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.GetString(), text.GetLength(), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.GetString(), text.GetLength(), &wide[0], length);
    return wide;
}

CString AfxAnsiFromWide(const wchar_t* text)
{
    // -1: the input is NUL-terminated and the count includes the NUL.
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return CString();
    CString ansi;
    const int written = ::WideCharToMultiByte(CP_ACP, 0, text, -1, ansi.GetBuffer(size - 1), size, nullptr, nullptr);
    ansi.ReleaseBuffer(written > 0 ? written - 1 : 0);
    return ansi;
}

std::wstring AfxLoadText(UINT id)
{
    const wchar_t* text = nullptr;
    // A buffer size of 0 makes LoadStringW hand out a read-only pointer into
    // the resource and return the text's length: it is not NUL-terminated.
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}
