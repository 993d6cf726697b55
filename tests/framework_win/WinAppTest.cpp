#include "framework/WinApp.h"

#include "ScriptedPrompts.h"

#include <gtest/gtest.h>

#include <stdexcept>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);

namespace {

const char kCompany[] = "Jumbla Framework Tests";

class SettingsTest : public PromptedTest
{
protected:
    void SetUp() override
    {
        PromptedTest::SetUp();
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Jumbla Framework Tests");
        app.SetRegistryKey(kCompany);
    }
    void TearDown() override
    {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Jumbla Framework Tests");
        PromptedTest::TearDown();
    }

    CWinApp app;
};

// The application is named after the executable, and its values go under
// company, that name and the section; a value of the other type reads as
// missing.
TEST_F(SettingsTest, ValuesRoundTripUnderCompanyAppAndSectionAndReadAsTheirOwnTypeOnly)
{
    EXPECT_STREQ(app.m_pszAppName, "framework_win_tests");
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_EQ(static_cast<int>(app.GetProfileInt("Settings", "HandlingBy", 0)), 0) << "missing int gives the default";
    EXPECT_EQ(app.GetProfileString("Settings", "VQLFile", ""), "") << "missing string gives the default";
    EXPECT_EQ(app.GetProfileString("Settings", "VQLFile"), "") << "no default: empty";

    const CString path("C:\\\x83\x5C\\\x83\x7C.vql");
    EXPECT_TRUE(app.WriteProfileInt("Settings", "handlingBy", 1));
    EXPECT_TRUE(app.WriteProfileString("Settings", "VQLFile", path));
    EXPECT_EQ(static_cast<int>(app.GetProfileInt("Settings", "HandlingBy", 0)), 1)
        << "written as handlingBy, read as HandlingBy";
    EXPECT_EQ(app.GetProfileString("Settings", "vqlfile", ""), path) << "string read back byte for byte";

    app.WriteProfileInt("Settings", "handlingBy", -1);
    EXPECT_EQ(static_cast<int>(app.GetProfileInt("Settings", "HandlingBy", 0)), -1) << "negative value";
    app.WriteProfileString("Settings", "VQLFile", "");
    EXPECT_EQ(app.GetProfileString("Settings", "VQLFile", "default"), "") << "stored empty string is not missing";

    HKEY hKey = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Jumbla Framework Tests\\framework_win_tests\\Settings", 0,
                              KEY_READ, &hKey),
              ERROR_SUCCESS)
        << "key layout";
    DWORD type = 0;
    EXPECT_EQ(::RegQueryValueExA(hKey, "HandlingBy", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(::RegQueryValueExA(hKey, "VQLFile", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    ::RegCloseKey(hKey);

    app.WriteProfileString("Settings", "HandlingBy", "1");
    app.WriteProfileInt("Settings", "VQLFile", 5);
    EXPECT_EQ(static_cast<int>(app.GetProfileInt("Settings", "HandlingBy", 7)), 7) << "string read as int";
    EXPECT_EQ(app.GetProfileString("Settings", "VQLFile", "def"), "def") << "int read as string";
}

TEST_F(SettingsTest, WithoutCompanyKeyNothingIsStored)
{
    CWinApp bare("Bare");
    EXPECT_FALSE(bare.WriteProfileInt("Settings", "HandlingBy", 1));
    EXPECT_EQ(static_cast<int>(bare.GetProfileInt("Settings", "HandlingBy", 3)), 3);
}

class CScriptedApp : public CWinApp
{
public:
    explicit CScriptedApp(bool fail) : CWinApp("ScriptedApp"), m_fail(fail) {}
    BOOL InitInstance() override
    {
        ++runs;
        if (m_fail)
            throw std::runtime_error("start-up failed");
        return FALSE;
    }

    int runs = 0;

private:
    bool m_fail;
};

class WinMainTest : public PromptedTest
{
};

TEST_F(WinMainTest, RunsInitInstanceOnceAndStopsEveryException)
{
    {
        CScriptedApp app(false);
        EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, SW_SHOW), 0) << "normal run";
        EXPECT_EQ(app.runs, 1);
    }
    {
        CScriptedApp app(true);
        prompts.boxAnswers = {IDOK};
        EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, SW_SHOW), 1) << "failed run";
        ASSERT_EQ(prompts.boxes.size(), 1u) << "the failure is reported";
        EXPECT_EQ(prompts.boxes[0].text, L"start-up failed");
        EXPECT_EQ(prompts.boxes[0].caption, L"ScriptedApp");
    }
}

}  // namespace
