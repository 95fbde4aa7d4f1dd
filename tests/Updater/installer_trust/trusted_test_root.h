// The test root of the signed fixtures (made by sign_fixtures.sh) among the
// current user's trusted roots: the wrapper script runs TrustedTestRoot.Add
// alone before the tests (a process reads the trusted roots once) and
// TrustedTestRoot.Remove after them.
#pragma once

#include <windows.h>

#include <wincrypt.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace trust_test {

inline std::wstring WorkFile(const wchar_t* name) {
    const char* work = std::getenv("TRUST_WORK");
    std::wstring path = L"Z:";
    for (const char* p = work ? work : ""; *p; ++p) path += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
    return path + L"\\" + name;
}

inline std::vector<BYTE> ReadAll(const std::wstring& path) {
    std::vector<BYTE> bytes;
    if (FILE* f = _wfopen(path.c_str(), L"rb")) {
        BYTE buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
        std::fclose(f);
    }
    return bytes;
}

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

}  // namespace trust_test
