// Export tables and headers read from PE images made here in memory, in the
// 32-bit and the 64-bit layout, whole and damaged.
#include "crashreport/debuginfo/PeImageReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace drevnik {
namespace {

// A small DLL image: headers, a code section at 0x1000 and an export section
// at 0x2000 up to the image's end at 0x3000.
class TImage {
public:
    static constexpr uint32_t kSize = 0x3000;
    static constexpr uint32_t kPeOffset = 0x80;
    static constexpr uint32_t kExportDir = 0x2000;
    static constexpr uint32_t kFunctions = 0x2040;
    static constexpr uint32_t kNames = 0x2060;
    static constexpr uint32_t kOrdinals = 0x2080;
    static constexpr uint32_t kForwarder = 0x2200;
    static constexpr uint32_t kResolved = 0x9000;  // where "TARGET.Func" leads: another module

    explicit TImage(bool pe32Plus) : bytes_(kSize), pe32Plus_(pe32Plus) {
        Put16(0, 0x5A4D);
        Put32(60, kPeOffset);
        Put32(kPeOffset, 0x00004550);
        Put16(kPeOffset + 6, 2);  // sections
        Put16(kPeOffset + 20, OptionalSize());
        Put16(kPeOffset + 22, 0x2002);  // DLL, executable
        Put16(Optional(), pe32Plus ? 0x20B : 0x10B);
        Put32(Optional() + 4, 0x1000);  // SizeOfCode
        Put32(Optional() + 20, 0x1000);  // BaseOfCode
        Put32(Optional() + 56, kSize);  // SizeOfImage
        SetExportDirectory(kExportDir, 0x300);
        Section(0, 0x1000, 0x1000);
        Section(1, 0x2000, 0x1000);
        // Exports: four functions and a name for each but the third.
        Put32(kExportDir + 20, 5);
        Put32(kExportDir + 24, 4);
        Put32(kExportDir + 28, kFunctions);
        Put32(kExportDir + 32, kNames);
        Put32(kExportDir + 36, kOrdinals);
        const uint32_t functions[] = {0x1020, 0x1010, 0x1030, kForwarder, 0x0800};
        for (uint32_t i = 0; i < 5; ++i) Put32(kFunctions + 4 * i, functions[i]);
        Name(0, "Beta", 0, 0x2100);
        Name(1, "Alpha", 1, 0x2110);
        Name(2, "Fwd", 3, 0x2120);
        Name(3, "Low", 4, 0x2130);
        PutText(kForwarder, "TARGET.Func");
    }

    uint32_t Optional() const { return kPeOffset + 24; }
    uint16_t OptionalSize() const { return pe32Plus_ ? 240 : 224; }
    void SetExportDirectory(uint32_t rva, uint32_t size) {
        const uint32_t dirs = Optional() + (pe32Plus_ ? 112 : 96);
        Put32(dirs, rva);
        Put32(dirs + 4, size);
    }
    void Section(int index, uint32_t address, uint32_t size) {
        const uint32_t at = Optional() + OptionalSize() + 40 * index;
        Put32(at + 8, size);
        Put32(at + 12, address);
    }
    void Name(uint32_t index, const char* name, uint16_t ordinal, uint32_t at) {
        Put32(kNames + 4 * index, at);
        Put16(kOrdinals + 2 * index, ordinal);
        PutText(at, name);
    }
    void Put16(uint32_t at, uint16_t value) { Put(at, &value, sizeof value); }
    void Put32(uint32_t at, uint32_t value) { Put(at, &value, sizeof value); }
    void PutText(uint32_t at, const std::string& text) { Put(at, text.c_str(), text.size() + 1); }
    void PutBytes(uint32_t at, const std::vector<uint8_t>& code) { Put(at, code.data(), code.size()); }
    void Put(uint32_t at, const void* data, std::size_t count) {
        if (at > bytes_.size() || count > bytes_.size() - at) throw std::out_of_range("outside the test image");
        std::memcpy(bytes_.data() + at, data, count);
    }

    uintptr_t Base() const { return reinterpret_cast<uintptr_t>(bytes_.data()); }

    // The exports as "name@rva/size"; an address far from the image as "name@=address/size".
    std::vector<std::string> Read(bool& result, bool followStubs = false) {
        // Bounded to the buffer, so that damage that points far away asks
        // nothing about memory that is not the test's.
        THModuleStream stream(bytes_.data(), bytes_.size());
        TExportReadOptions options;
        options.ResolveForwarder = [this](std::string_view forwarder, std::string_view name) -> uintptr_t {
            forwarders_.push_back(std::string(forwarder) + "|" + std::string(name));
            return forwarder == "TARGET.Func" ? Base() + kResolved : 0;
        };
        options.FollowDebugStubs = followStubs;
        TDrevnikFunctionsList list;
        result = ReadImageExports(stream, options, list);
        std::vector<std::string> out;
        for (int i = 0; i < list.Count(); ++i) {
            const TDrevnikFunctionInfo& f = list[i];
            const bool inside = f.EntryAddress >= Base() && f.EntryAddress < Base() + 0x10000;
            char text[96];
            std::snprintf(text, sizeof text, "%s@%s%lx/%u", f.ExportName.c_str(), inside ? "" : "=",
                          static_cast<unsigned long>(inside ? f.EntryAddress - Base() : f.EntryAddress),
                          f.MeasuredSize);
            out.push_back(text);
        }
        return out;
    }
    std::vector<std::string> forwarders_;

private:
    std::vector<uint8_t> bytes_;  // exactly the image's size: a read past it trips the sanitizer
    bool pe32Plus_;
};

class PeImageReader : public ::testing::TestWithParam<bool> {};

TEST_P(PeImageReader, NamedExportsSortedByAddressWithForwardersNamed) {
    TImage image(GetParam());
    bool result = false;
    // The ordinal-only function at 0x1030 has no name and is not listed; the
    // entry below the code and the forwarder are never measured.
    EXPECT_EQ(image.Read(result), (std::vector<std::string>{"Low@800/1", "Alpha@1010/0", "Beta@1020/0", "Fwd@9000/1"}));
    EXPECT_TRUE(result);
    EXPECT_EQ(image.forwarders_, std::vector<std::string>{"TARGET.Func|Fwd"});
}

TEST_P(PeImageReader, UnresolvedForwarderKeepsItsNameWithoutAddress) {
    TImage image(GetParam());
    image.PutText(TImage::kForwarder, "NOTLOADED.Func");
    bool result = false;
    EXPECT_EQ(image.Read(result).front(), "Fwd@=0/1");
}

TEST_P(PeImageReader, EmptiedSlotsAndTheEdgesOfTheExportDirectory) {
    // Low's slot (ordinal 4) against the export directory at 0x2000..0x2300.
    const struct {
        uint32_t rva;
        const char* expected;
    } rows[] = {
        {0, "Low@=0/1"},          // an emptied slot: no address, never measured
        {0x2000, "Low@=0/1"},     // the directory's first byte: a forwarder
        {0x22FF, "Low@=0/1"},     // its last byte
        {0x2300, "Low@2300/0"},   // just past it: code of this image
    };
    for (const auto& row : rows) {
        TImage image(GetParam());
        image.Put32(TImage::kFunctions + 4 * 4, row.rva);
        bool result = false;
        const std::vector<std::string> exports = image.Read(result);
        EXPECT_TRUE(result);
        EXPECT_NE(std::find(exports.begin(), exports.end(), row.expected), exports.end())
            << std::hex << row.rva << ": " << ::testing::PrintToString(exports);
    }
}

TEST_P(PeImageReader, LastNameEndingAtTheImageEndIsRead) {
    // The last name's NUL is the image's last byte: less than a name's 256
    // bytes are left, and the name is still read.
    TImage image(GetParam());
    image.Name(3, "Zed", 4, TImage::kSize - 4);
    bool result = false;
    EXPECT_EQ(image.Read(result).front(), "Zed@800/1");
}

TEST_P(PeImageReader, DebugStubsAreFollowedWhenAsked) {
    TImage image(GetParam());
    image.PutBytes(0x1010, {0x68, 0x78, 0x56, 0x34, 0x12, 0xE9, 0, 0, 0, 0});
    bool result = false;
    EXPECT_EQ(image.Read(result)[1], "Alpha@1010/0");
    const std::vector<std::string> followed = image.Read(result, true);
    // Measured or not depends on where the test image lies against that address.
    EXPECT_NE(std::find_if(followed.begin(), followed.end(),
                           [](const std::string& f) { return f.rfind("Alpha@=12345678/", 0) == 0; }),
              followed.end());
}

TEST_P(PeImageReader, DamageGivesAnEmptyTable) {
    struct Row {
        const char* what;
        std::function<void(TImage&)> damage;
    };
    const std::vector<Row> rows = {
        {"no MZ", [](TImage& i) { i.Put16(0, 0x4D5A); }},
        {"header offset 0", [](TImage& i) { i.Put32(60, 0); }},
        {"header offset far past the image", [](TImage& i) { i.Put32(60, 0x7FFFFFF0); }},
        {"no PE signature", [](TImage& i) { i.Put32(TImage::kPeOffset, 0x00004551); }},
        {"unknown optional header", [](TImage& i) { i.Put16(i.Optional(), 0x107); }},
        {"optional header without data directories", [](TImage& i) { i.Put16(TImage::kPeOffset + 20, 64); }},
        {"section table past the image", [](TImage& i) { i.Put16(TImage::kPeOffset + 6, 0xFFFF); }},
        {"code past the image", [](TImage& i) { i.Put32(i.Optional() + 4, 0x7FFF0000); }},
        {"no export directory", [](TImage& i) { i.SetExportDirectory(0, 0); }},
        {"directory outside every section", [](TImage& i) { i.SetExportDirectory(0x0200, 0x300); }},
        {"directory across the image end", [](TImage& i) { i.SetExportDirectory(TImage::kSize - 8, 0x300); }},
        {"reserved field not 0", [](TImage& i) { i.Put32(TImage::kExportDir, 1); }},
        {"name table past the image", [](TImage& i) { i.Put32(TImage::kExportDir + 32, TImage::kSize - 8); }},
        {"ordinal table past the image", [](TImage& i) { i.Put32(TImage::kExportDir + 36, TImage::kSize - 2); }},
        {"address table past the image", [](TImage& i) { i.Put32(TImage::kExportDir + 28, TImage::kSize - 8); }},
        {"huge name count", [](TImage& i) {
             i.Put32(TImage::kExportDir + 20, 0xFFFFFFFF);
             i.Put32(TImage::kExportDir + 24, 0xFFFFFFFF);
         }},
        {"name outside the image", [](TImage& i) { i.Put32(TImage::kNames + 8, 0x00F00000); }},
        {"ordinal past the address table", [](TImage& i) { i.Put16(TImage::kOrdinals + 4, 5); }},
    };
    for (const Row& row : rows) {
        TImage image(GetParam());
        row.damage(image);
        bool result = true;
        EXPECT_TRUE(image.Read(result).empty()) << row.what;
        EXPECT_FALSE(result) << row.what;
    }
}

TEST_P(PeImageReader, FileHeaderSaysWhetherTheImageIsADll) {
    TImage image(GetParam());
    const THModuleStream stream(reinterpret_cast<const void*>(image.Base()), TImage::kSize);
    TImageFileHeader header;
    ASSERT_TRUE(ReadImageFileHeader(stream, header));
    EXPECT_EQ(header.Characteristics & kImageFileDll, kImageFileDll);
    EXPECT_EQ(header.SectionCount, 2);
    TImageHeaders headers;
    ASSERT_TRUE(ReadImageHeaders(stream, headers));
    EXPECT_EQ(headers.Pe32Plus, GetParam());
    EXPECT_EQ(headers.ExportRva, TImage::kExportDir);
    EXPECT_EQ(headers.SizeOfImage, TImage::kSize);
}

INSTANTIATE_TEST_SUITE_P(Layouts, PeImageReader, ::testing::Values(false, true),
                         [](const auto& layout) { return layout.param ? "Pe32Plus" : "Pe32"; });

}  // namespace
}  // namespace drevnik
