// The installer's signature check: trusted, changed, untrusted and unsigned
// files made by the wrapper script with osslsigncode.
#include "Updater/oruInstallerTrust.h"

#include <windows.h>

#include <wincrypt.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace oru {
namespace {

std::wstring WorkFile(const wchar_t* name) {
    const char* work = std::getenv("TRUST_WORK");
    std::wstring path = L"Z:";
    for (const char* p = work ? work : ""; *p; ++p) path += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
    return path + L"\\" + name;
}

std::vector<BYTE> ReadAll(const std::wstring& path) {
    std::vector<BYTE> bytes;
    if (FILE* f = _wfopen(path.c_str(), L"rb")) {
        BYTE buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
        std::fclose(f);
    }
    return bytes;
}

// The test root in the current user's trusted roots (run alone, before and
// after the checks, by the wrapper script).
TEST(TrustedTestRoot, Add) {
    std::vector<BYTE> root = ReadAll(WorkFile(L"trusted-root.der"));
    ASSERT_FALSE(root.empty()) << "run through sign_fixtures.sh";
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
    ASSERT_NE(store, nullptr);
    EXPECT_TRUE(CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, root.data(), static_cast<DWORD>(root.size()),
                                                 CERT_STORE_ADD_REPLACE_EXISTING, nullptr));
    CertCloseStore(store, 0);
}

TEST(TrustedTestRoot, Remove) {
    std::vector<BYTE> root = ReadAll(WorkFile(L"trusted-root.der"));
    ASSERT_FALSE(root.empty());
    PCCERT_CONTEXT cert = CertCreateCertificateContext(X509_ASN_ENCODING, root.data(), static_cast<DWORD>(root.size()));
    ASSERT_NE(cert, nullptr);
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
    ASSERT_NE(store, nullptr);
    if (PCCERT_CONTEXT found = CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, cert, nullptr))
        CertDeleteCertificateFromStore(found);
    CertFreeCertificateContext(cert);
    CertCloseStore(store, 0);
}

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
