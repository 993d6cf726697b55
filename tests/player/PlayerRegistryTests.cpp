#include "player/PlayerRegistry.h"
#include "tests/support/PrivateCurrentUser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Keys under a volatile key must be volatile too.
bool CreatePlayerKey(HKEY& key)
{
    return RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\YAMAHA\\SoundVQ", 0, nullptr, REG_OPTION_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS;
}

bool SetPlayerValue(const char* name, DWORD type, const std::string& data)
{
    HKEY key = nullptr;
    if (!CreatePlayerKey(key))
        return false;
    // RegSetValueExA adds the NUL to a string whose count left it out when
    // the byte after the data is NUL (as NT does); a non-NUL guard byte lets
    // a string be stored without one, as other programs may have stored it.
    const std::string guarded = data + '\x01';
    const LONG result = RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(guarded.data()),
                                       static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

std::string WithNul(const std::string& text)
{
    return text + '\0';
}

class PlayerRegistryTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_currentUser.IsReady()); }

    CPrivateCurrentUser m_currentUser{"player"};
};

struct ValueCase
{
    const char* name;
    DWORD type;
    std::string data;
    bool found;
    std::string value;  // when found
    const char* valueName = "DecodeDll";
};

const std::string kLong1022(1022, 'p');
const std::string kLong1023(1023, 'p');
const std::string kLong1024(1024, 'p');

const ValueCase kValueCases[] = {
    {"string", REG_SZ, WithNul("C:\\Program Files\\SoundVQ\\SVQDEC32.DLL"), true,
     "C:\\Program Files\\SoundVQ\\SVQDEC32.DLL"},
    // 音楽 and ソ (0x83 0x5C) in the folder come back as the same bytes.
    {"code page 932 string", REG_SZ, WithNul("C:\\\x89\xB9\x8A\x79\\\x83\x5C\\SVQDEC32.DLL"), true,
     "C:\\\x89\xB9\x8A\x79\\\x83\x5C\\SVQDEC32.DLL"},
    {"empty string", REG_SZ, WithNul(""), true, ""},
    {"string stored without NUL", REG_SZ, "C:\\svq\\SVQDEC32.DLL", true, "C:\\svq\\SVQDEC32.DLL"},
    {"value name in other letter case", REG_SZ, WithNul("C:\\svq\\SVQDEC32.DLL"), true, "C:\\svq\\SVQDEC32.DLL",
     "DECODEDLL"},
    {"binary without NUL", REG_BINARY, "C:\\svq\\SVQDEC32.DLL", true, "C:\\svq\\SVQDEC32.DLL"},
    {"binary ends at its first NUL", REG_BINARY, std::string("C:\\a\0junk", 9), true, "C:\\a"},
    {"empty binary", REG_BINARY, "", true, ""},
    {"DWORD taken as its bytes", REG_DWORD, std::string("C:\0\0", 4), true, "C:"},
    {"DWORD without NUL", REG_DWORD, "ABCD", true, "ABCD"},
    {"string of 1022 bytes and NUL", REG_SZ, WithNul(kLong1022), true, kLong1022},
    {"string of 1023 bytes stored without NUL", REG_SZ, kLong1023, true, kLong1023},
    {"binary of 1023 bytes", REG_BINARY, kLong1023, true, kLong1023},
    {"string of 1023 bytes and NUL", REG_SZ, WithNul(kLong1023), false, ""},
    {"binary of 1024 bytes", REG_BINARY, kLong1024, false, ""},
    {"binary of 5000 bytes", REG_BINARY, std::string(5000, 'p'), false, ""},
    {"the key without the value", REG_SZ, WithNul("C:\\svq\\SVQDEC32.DLL"), false, "", "PlayerPath"},
};

// A missing key, or a value missing from the key, fails and leaves the
// string untouched.
TEST_F(PlayerRegistryTest, ReadsTheValueWhateverItsTypeAndFailsWithoutIt)
{
    CString untouched("untouched");
    EXPECT_FALSE(ReadPlayerDecoderPath(untouched)) << "no key";
    EXPECT_EQ(untouched, "untouched");
    for (const ValueCase& c : kValueCases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(SetPlayerValue(c.valueName, c.type, c.data));
        CString value("untouched");
        EXPECT_EQ(ReadPlayerDecoderPath(value) != FALSE, c.found);
        EXPECT_EQ(std::string(value.GetString(), static_cast<std::size_t>(value.GetLength())),
                  c.found ? c.value : "untouched");
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\YAMAHA");
    }
}

}
