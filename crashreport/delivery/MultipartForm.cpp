#include "crashreport/delivery/MultipartForm.h"

#include <cstdio>
#include <random>

#include "framework/core/file_io.h"
#include "framework/core/paths.h"
#include "framework/core/text_codec.h"

namespace drevnik {

std::string MakeMultipartBoundary() {
    static thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<int> number(0, 0xFFFE);
    std::string boundary(27, '-');
    for (int i = 0; i < 3; ++i) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%04X", number(generator));
        boundary += hex;
    }
    return boundary;
}

void SplitFieldLine(const std::string& line, std::string& name, std::string& value) {
    size_t eq = line.find('=');
    name = line.substr(0, eq);
    value = eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

void AppendFieldParts(std::string& body, const std::string& boundary, const std::vector<std::string>& fields) {
    const std::string crlf = "\r\n";
    std::string name, value;
    for (const std::string& line : fields) {
        SplitFieldLine(line, name, value);
        body += "--" + boundary + crlf;
        body += "Content-Disposition: form-data; name=\"" + name + "\";" + crlf;
        body += crlf;
        body += value + crlf;
    }
}

void AppendFilePart(std::string& body, const std::string& boundary, const std::string& name,
                    const std::string& fileName, const std::string& bytes) {
    const std::string crlf = "\r\n";
    body += "--" + boundary + crlf;
    body += "Content-Disposition: form-data; name=\"" + name + "\"; filename=\"" + fileName + "\";" + crlf;
    body += "Content-Type: application/octet-stream" + crlf;
    body += crlf;
    body += bytes + crlf;
}

std::string BuildMultipartBody(const std::string& boundary, const std::vector<std::string>& fields,
                               const std::vector<std::string>& files) {
    std::string body;
    AppendFieldParts(body, boundary, fields);
    std::string name, value;
    for (const std::string& line : files) {
        SplitFieldLine(line, name, value);
        std::string bytes;
        const bool readable = fw::TryReadFileBytes(fw::AnsiToWide(value), bytes);
        AppendFilePart(body, boundary, name, readable ? fw::ExtractFileName(value) : std::string(),
                       readable ? bytes : std::string());
    }
    body += "--" + boundary + "--\r\n";
    return body;
}

}  // namespace drevnik
