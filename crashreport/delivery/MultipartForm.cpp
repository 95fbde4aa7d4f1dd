#include "crashreport/delivery/MultipartForm.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>

namespace drevnik {
namespace {

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

std::string FileNameOnly(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

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

std::string BuildMultipartBody(const std::string& boundary, const std::vector<std::string>& fields,
                               const std::vector<std::string>& files) {
    const std::string crlf = "\r\n";
    std::string body;
    std::string name, value;
    for (const std::string& line : fields) {
        SplitFieldLine(line, name, value);
        body += "--" + boundary + crlf;
        body += "Content-Disposition: form-data; name=\"" + name + "\";" + crlf;
        body += crlf;
        body += value + crlf;
    }
    for (const std::string& line : files) {
        SplitFieldLine(line, name, value);
        std::string bytes;
        bool readable = ReadWholeFile(value, bytes);
        body += "--" + boundary + crlf;
        body += "Content-Disposition: form-data; name=\"" + name + "\"; filename=\"" +
                (readable ? FileNameOnly(value) : std::string()) + "\";" + crlf;
        body += "Content-Type: application/octet-stream" + crlf;
        body += crlf;
        body += readable ? bytes + crlf : crlf;
    }
    body += "--" + boundary + "--" + crlf;
    return body;
}

}  // namespace drevnik
