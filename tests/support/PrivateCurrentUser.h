#pragma once

#include <windows.h>

#include <string>

// Maps this process's HKEY_CURRENT_USER onto a fresh key for the life of
// the object (RegOverridePredefKey), so a test writes the player's
// key and the settings, and the program reads them, without touching the
// prefix's real ones, which other tests running at the same time may use.
// The redirection stays inside this process; the private key is deleted at
// the end. It is not volatile: the program creates ordinary keys inside it,
// and a volatile key refuses those.
class CPrivateCurrentUser
{
public:
    explicit CPrivateCurrentUser(const char* owner)
        : m_name(std::string("Software\\JumblaTests\\") + owner + "-" + std::to_string(GetCurrentProcessId()))
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, m_name.c_str());
        m_ok = RegCreateKeyExA(HKEY_CURRENT_USER, m_name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                               KEY_ALL_ACCESS, nullptr, &m_root, nullptr) == ERROR_SUCCESS &&
               RegOverridePredefKey(HKEY_CURRENT_USER, m_root) == ERROR_SUCCESS;
    }
    ~CPrivateCurrentUser()
    {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        if (m_root)
            RegCloseKey(m_root);
        RegDeleteTreeA(HKEY_CURRENT_USER, m_name.c_str());
        // The parent goes only when no other test run still has a key in it.
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\JumblaTests");
    }
    CPrivateCurrentUser(const CPrivateCurrentUser&) = delete;
    CPrivateCurrentUser& operator=(const CPrivateCurrentUser&) = delete;

    bool IsReady() const { return m_ok; }
    // Empties the private HKEY_CURRENT_USER.
    void Clear() { RegDeleteTreeA(m_root, nullptr); }

private:
    std::string m_name;
    HKEY m_root = nullptr;
    bool m_ok = false;
};
