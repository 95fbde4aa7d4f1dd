// The multipart/form-data body of the HTTP client's requests.
#pragma once

#include <string>
#include <vector>

namespace drevnik {

// 27 '-' and three random 4-digit upper-case hexadecimal numbers.
std::string MakeMultipartBoundary();

// Parts of `fields` ("name=value" lines), then of `files` ("name=path"
// lines), each in list order, then the closing boundary. A file that cannot
// be read gives a part with an empty file name and no data.
std::string BuildMultipartBody(const std::string& boundary, const std::vector<std::string>& fields,
                               const std::vector<std::string>& files);

// Appends one part per "name=value" line of `fields`, in list order.
void AppendFieldParts(std::string& body, const std::string& boundary, const std::vector<std::string>& fields);
// Appends one file part: the form name, the file name and the bytes.
void AppendFilePart(std::string& body, const std::string& boundary, const std::string& name,
                    const std::string& fileName, const std::string& bytes);

// Splits a "name=value" line at its first '='.
void SplitFieldLine(const std::string& line, std::string& name, std::string& value);

}  // namespace drevnik
