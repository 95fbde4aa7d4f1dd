// The installer's signature check: trusted, changed, untrusted and unsigned
// files made by the wrapper script with osslsigncode.
#include "Updater/oruInstallerTrust.h"

#include "tests/Updater/installer_trust/trusted_test_root.h"

#include <windows.h>

#include <wincrypt.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace oru {
namespace {

using trust_test::WorkFile;

TEST(InstallerTrust, TellsTrustedFromChangedUntrustedAndUnsigned) {
    ASSERT_NE(std::getenv("TRUST_WORK"), nullptr) << "run through sign_fixtures.sh";
    struct Row {
        const wchar_t* file;
        TInstallerTrust trust;
        const wchar_t* signer;
    } rows[] = {
        {L"signed.exe", TInstallerTrust::Trusted, L"Brimlet Test trusted Signer"},
        {L"changed.exe", TInstallerTrust::Untrusted, nullptr},
        {L"untrusted.exe", TInstallerTrust::Untrusted, L"Brimlet Test other Signer"},
        {L"unsigned.exe", TInstallerTrust::Unsigned, L""},
    };
    for (const auto& row : rows) {
        auto result = CheckInstallerSignature(WorkFile(row.file));
        EXPECT_EQ(static_cast<int>(result.Trust), static_cast<int>(row.trust))
            << std::string(row.file, row.file + wcslen(row.file)) << " status " << std::hex << result.Status;
        if (row.signer) {
            EXPECT_EQ(result.SignerName, row.signer);
        }
    }
    EXPECT_NE(static_cast<int>(CheckInstallerSignature(WorkFile(L"missing.exe")).Trust),
              static_cast<int>(TInstallerTrust::Trusted));
}

}  // namespace
}  // namespace oru
