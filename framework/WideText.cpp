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

BOOL AfxExactAnsiFromWide(const wchar_t* name, CString& path)
{
    path.Empty();
    // -1: the name is NUL-terminated and the count includes the NUL. Flags 0
    // and a round trip rather than WC_NO_BEST_FIT_CHARS and the used-default
    // flag: code page 65001 (UTF-8) refuses those, and a name is exact when
    // its bytes read back as the very same name, whatever the code page.
    const int size = ::WideCharToMultiByte(CP_ACP, 0, name, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return size == 1;
    const int written = ::WideCharToMultiByte(CP_ACP, 0, name, -1, path.GetBuffer(size - 1), size, nullptr, nullptr);
    path.ReleaseBuffer(written > 0 ? written - 1 : 0);
    if (written > 0 && AfxWideFromAnsi(path) == name)
        return TRUE;
    path.Empty();
    return FALSE;
}

std::wstring AfxLoadText(UINT id)
{
    const wchar_t* text = nullptr;
    // A buffer size of 0 makes LoadStringW hand out a read-only pointer into
    // the resource and return the text's length: it is not NUL-terminated.
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}
