// CheckInstallerSignature through WinVerifyTrust.
#include "Updater/oruInstallerTrust.h"

#include <windows.h>

#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

namespace oru {

TInstallerTrustResult CheckInstallerSignature(const std::wstring& path) {
    TInstallerTrustResult result;
    WINTRUST_FILE_INFO file{};
    file.cbStruct = sizeof file;
    file.pcwszFilePath = path.c_str();
    WINTRUST_DATA data{};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    LONG status = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    result.Status = status;
    bool chainTrusted = false;
    if (CRYPT_PROVIDER_DATA* prov = WTHelperProvDataFromStateData(data.hWVTStateData)) {
        if (CRYPT_PROVIDER_SGNR* signer = WTHelperGetProvSignerFromChain(prov, 0, FALSE, 0)) {
            // Wine passes SHA-256 leaves under an untrusted root; the chain's
            // own status tells them apart.
            chainTrusted = signer->pChainContext && signer->pChainContext->TrustStatus.dwErrorStatus == 0;
            if (CRYPT_PROVIDER_CERT* cert = WTHelperGetProvCertFromChain(signer, 0)) {
                wchar_t name[256] = {};
                if (CertGetNameStringW(cert->pCert, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name, 256) > 1)
                    result.SignerName = name;
            }
        }
    }
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    if (status == static_cast<LONG>(TRUST_E_NOSIGNATURE) || status == static_cast<LONG>(TRUST_E_SUBJECT_FORM_UNKNOWN) ||
        status == static_cast<LONG>(TRUST_E_PROVIDER_UNKNOWN)) {
        result.Trust = TInstallerTrust::Unsigned;
    } else if (status == 0 && chainTrusted) {
        result.Trust = TInstallerTrust::Trusted;
    } else {
        result.Trust = TInstallerTrust::Untrusted;
    }
    return result;
}

}  // namespace oru
