// Feeds arbitrary bytes to the Base64 decoder and the chained decipherer, the
// two codecs that read text from log files and debug data. Under ASan and
// UBSan any read or write outside the buffers stops the run; the checks below
// stop it when a decoder breaks its own length rule or the two deciphering
// forms disagree.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "crashreport/delivery/Base64.h"
#include "crashreport/delivery/Crc16.h"
#include "crashreport/delivery/Md5.h"
#include "crashreport/delivery/TeaCipher.h"

using namespace drevnik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const std::string decoded = Base64DecodeString(text);
    if (decoded.size() != Base64DecodedLength(text)) __builtin_trap();
    if (Base64DecodeString(Base64EncodeString(text)) != text) __builtin_trap();

    // The first byte picks a password length (0 to 63, so the MD5 padding
    // runs on both sides of 56); the rest is the cipher text.
    const std::size_t passwordLength = size ? std::min<std::size_t>(data[0] % 64, size - 1) : 0;
    const std::string_view password = size ? text.substr(1, passwordLength) : std::string_view();
    const std::string_view cipher = size ? text.substr(1 + passwordLength) : std::string_view();
    SetTeaKeyFromPassword(password);

    std::vector<std::uint8_t> copied(cipher.size());
    std::vector<std::uint8_t> inPlace(cipher.begin(), cipher.end());
    TeaDecryptBuffer(cipher.data(), copied.data(), cipher.size());
    TeaDecryptBuffer(inPlace.data(), inPlace.data(), inPlace.size());
    if (copied != inPlace) __builtin_trap();

    // An enciphered name as it comes from a log file: Base64, then deciphered in place.
    std::string name = Base64DecodeString(cipher);
    TeaDecryptBuffer(name.data(), name.data(), name.size());

    Md5Digest digest;
    Md5Buffer(data, size, digest);
    (void)CalcCrc16(text);
    return 0;
}
