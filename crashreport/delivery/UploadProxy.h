// Library-wide proxy settings of the HTTP and FTP uploads. Written and read
// only while a report is delivered, which the report lock serialises.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace drevnik {

// The proxy text becomes the proxy URL, a colon and the port in decimal.
void SetUploadProxy(std::string_view proxyUrl, uint16_t port);
void SetUploadProxyCredentials(std::string_view user, std::string_view password);

const std::string& UploadProxyText();
// A proxy is configured when the URL part of the proxy text is not empty.
bool UploadProxyConfigured();
const std::string& UploadProxyUser();
const std::string& UploadProxyPassword();

// Shut-down step of the web tools: empties the settings.
void WebToolsDone();

}  // namespace drevnik
