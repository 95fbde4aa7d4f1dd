// The ports and folder of the peers that web_peers.sh starts.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace drevnik {

inline uint16_t PeerPort(const char* variable) {
    const char* value = std::getenv(variable);
    return value ? static_cast<uint16_t>(std::atoi(value)) : 0;
}

// A file the peers wrote, read through Wine's drive of the root folder.
inline bool ReadPeerFile(const std::string& relative, std::string& bytes) {
    const char* work = std::getenv("KYN_WEB_WORK");
    if (work == nullptr) return false;
    std::string path = std::string("Z:") + work + "/" + relative;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream all;
    all << in.rdbuf();
    bytes = all.str();
    return true;
}

class TWebPeers : public testing::Test {
protected:
    void SetUp() override {
        upload_ = PeerPort("KYN_UPLOAD_PORT");
        uploadTls_ = PeerPort("KYN_UPLOADS_PORT");
        tracker_ = PeerPort("KYN_TRACKER_PORT");
        ftp_ = PeerPort("KYN_FTP_PORT");
        closed_ = PeerPort("KYN_CLOSED_PORT");
        if (upload_ == 0) GTEST_SKIP() << "run through web_peers.sh";
    }
    uint16_t upload_ = 0, uploadTls_ = 0, tracker_ = 0, ftp_ = 0, closed_ = 0;
};

}  // namespace drevnik
