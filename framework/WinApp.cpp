#include "framework/WinApp.h"

#include "framework/UserPrompts.h"

#include <vector>

namespace {

CWinApp* g_pApp = nullptr;

// The executable's file name without folder and extension.
CString ExecutableName()
{
    std::vector<char> path(MAX_PATH);
    DWORD length = 0;
    // GetModuleFileNameA truncates silently when the buffer is full.
    while ((length = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()))) == path.size())
        path.resize(path.size() * 2);
    CString name(path.data(), static_cast<int>(length));
    name = name.Mid(name.ReverseFind('\\') + 1);
    const int dot = name.ReverseFind('.');
    return dot > 0 ? name.Left(dot) : name;
}

class CRegKey
{
public:
    CRegKey() = default;
    ~CRegKey()
    {
        if (m_hKey != nullptr)
            ::RegCloseKey(m_hKey);
    }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;

    // An empty path (no company key set) opens nothing.
    bool Open(const CString& path)
    {
        return !path.IsEmpty() && ::RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &m_hKey) == ERROR_SUCCESS;
    }
    // Creates the key and every missing key above it.
    bool Create(const CString& path)
    {
        return !path.IsEmpty() && ::RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                    KEY_WRITE, nullptr, &m_hKey, nullptr) == ERROR_SUCCESS;
    }
    HKEY Get() const { return m_hKey; }

private:
    HKEY m_hKey = nullptr;
};

}  // namespace

CWinApp::CWinApp(const char* pszAppName) : m_strAppName(pszAppName != nullptr ? CString(pszAppName) : ExecutableName())
{
    m_pszAppName = m_strAppName;
    g_pApp = this;
    AfxSetAppName(m_pszAppName);
}

CWinApp::~CWinApp()
{
    if (g_pApp == this) {
        g_pApp = nullptr;
        AfxSetAppName(nullptr);
    }
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

void CWinApp::SetRegistryKey(const char* lpszCompany)
{
    m_strRegistryKey = lpszCompany;
}

CString CWinApp::SectionKeyPath(const char* lpszSection) const
{
    if (m_strRegistryKey.IsEmpty())
        return CString();
    return "Software\\" + m_strRegistryKey + "\\" + m_strAppName + "\\" + lpszSection;
}

UINT CWinApp::GetProfileInt(const char* lpszSection, const char* lpszEntry, int nDefault)
{
    CRegKey key;
    if (!key.Open(SectionKeyPath(lpszSection)))
        return nDefault;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegQueryValueExA(key.Get(), lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return nDefault;
    return value;
}

BOOL CWinApp::WriteProfileInt(const char* lpszSection, const char* lpszEntry, int nValue)
{
    CRegKey key;
    if (!key.Create(SectionKeyPath(lpszSection)))
        return FALSE;
    const DWORD value = static_cast<DWORD>(nValue);
    return ::RegSetValueExA(key.Get(), lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                            sizeof(value)) == ERROR_SUCCESS;
}

CString CWinApp::GetProfileString(const char* lpszSection, const char* lpszEntry, const char* lpszDefault)
{
    const CString fallback(lpszDefault);
    CRegKey key;
    if (!key.Open(SectionKeyPath(lpszSection)))
        return fallback;
    DWORD type = 0;
    DWORD size = 0;
    LONG status = ::RegQueryValueExA(key.Get(), lpszEntry, nullptr, &type, nullptr, &size);
    std::vector<char> data;
    // The value may grow between the two queries; ask again until it fits.
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        if (type != REG_SZ)
            return fallback;
        data.resize(size + 1);
        size = static_cast<DWORD>(data.size());
        status = ::RegQueryValueExA(key.Get(), lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
        if (status == ERROR_SUCCESS && type == REG_SZ) {
            // The stored bytes need not end in a NUL, or may end in several.
            while (size > 0 && data[size - 1] == '\0')
                --size;
            return CString(data.data(), static_cast<int>(size));
        }
    }
    return fallback;
}

BOOL CWinApp::WriteProfileString(const char* lpszSection, const char* lpszEntry, const char* lpszValue)
{
    CRegKey key;
    if (lpszValue == nullptr || !key.Create(SectionKeyPath(lpszSection)))
        return FALSE;
    const CString value(lpszValue);
    return ::RegSetValueExA(key.Get(), lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.GetString()),
                            static_cast<DWORD>(value.GetLength() + 1)) == ERROR_SUCCESS;
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}
