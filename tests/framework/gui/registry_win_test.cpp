// Registry access in the test prefix's HKEY_CURRENT_USER.
#include "framework/gui/registry.h"

#include <gtest/gtest.h>

#include <string>

namespace fw {
namespace {

// Other test programs may run at the same time: a key of this process.
std::wstring TestKey() { return L"Software\\FwRegistryTest" + std::to_wstring(GetCurrentProcessId()); }

TEST(Registry, WritesReadsAndDeletesValuesAndKeys) {
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    const std::wstring key = TestKey() + L"\\Lookup\\Edits";
    EXPECT_FALSE(reg.OpenKey(key, false));
    ASSERT_TRUE(reg.OpenKey(L"\\" + key, true));
    EXPECT_EQ(reg.CurrentPath(), key);
    reg.WriteString(L"Host", L"caf\u00E9 server");
    reg.WriteString(L"Empty", L"");
    reg.WriteInteger(L"Port", -25);
    EXPECT_EQ(reg.ReadString(L"Host"), L"caf\u00E9 server");
    EXPECT_EQ(reg.ReadString(L"Empty"), L"");
    EXPECT_EQ(reg.ReadInteger(L"Port"), -25);
    // Missing values and values of another type raise.
    for (const wchar_t* name : {L"Missing", L"Port"}) EXPECT_THROW(reg.ReadString(name), ERegistryException) << name;
    EXPECT_THROW(reg.ReadInteger(L"Host"), ERegistryException);
    EXPECT_TRUE(reg.ValueExists(L"Port"));
    EXPECT_TRUE(reg.DeleteValue(L"Port"));
    EXPECT_FALSE(reg.ValueExists(L"Port"));
    EXPECT_FALSE(reg.DeleteValue(L"Port"));
    reg.CloseKey();
    EXPECT_THROW(reg.ReadString(L"Host"), ERegistryException);

    // A read-only key reads but does not write.
    ASSERT_TRUE(reg.OpenKeyReadOnly(key));
    EXPECT_EQ(reg.ReadString(L"Host"), L"caf\u00E9 server");
    EXPECT_THROW(reg.WriteString(L"Host", L"x"), ERegistryException);
    reg.CloseKey();

    // Deleting a key takes what lies below it.
    EXPECT_TRUE(reg.KeyExists(key));
    EXPECT_TRUE(reg.DeleteKey(TestKey()));
    EXPECT_FALSE(reg.KeyExists(key));
    EXPECT_FALSE(reg.KeyExists(TestKey()));
    EXPECT_FALSE(reg.DeleteKey(TestKey()));
}

}  // namespace
}  // namespace fw
