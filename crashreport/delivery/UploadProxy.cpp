#include "crashreport/delivery/UploadProxy.h"

namespace drevnik {
namespace {

struct TUploadProxy {
    std::string text;
    bool configured = false;
    std::string user;
    std::string password;
};

TUploadProxy& Settings() {
    static TUploadProxy settings;
    return settings;
}

}  // namespace

void SetUploadProxy(std::string_view proxyUrl, uint16_t port) {
    Settings().text = std::string(proxyUrl) + ":" + std::to_string(port);
    Settings().configured = !proxyUrl.empty();
}

void SetUploadProxyCredentials(std::string_view user, std::string_view password) {
    Settings().user = std::string(user);
    Settings().password = std::string(password);
}

const std::string& UploadProxyText() { return Settings().text; }
bool UploadProxyConfigured() { return Settings().configured; }
const std::string& UploadProxyUser() { return Settings().user; }
const std::string& UploadProxyPassword() { return Settings().password; }

void WebToolsDone() { Settings() = TUploadProxy{}; }

}  // namespace drevnik
