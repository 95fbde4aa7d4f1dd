// The Authenticode check of a downloaded installer before it is run.
#pragma once

#include <string>

namespace oru {

enum class TInstallerTrust {
    Trusted,     // signed, the file matches its signature, the chain ends in a trusted root
    Unsigned,    // no signature
    Untrusted,   // signed, but the file was changed or the signer is not trusted
};

struct TInstallerTrustResult {
    TInstallerTrust Trust = TInstallerTrust::Unsigned;
    long Status = 0;          // WinVerifyTrust's result
    std::wstring SignerName;  // empty when unsigned
};

// Windows only.
TInstallerTrustResult CheckInstallerSignature(const std::wstring& path);

}  // namespace oru
