// Resource streams over the test program's own resources (data/resources.rc).
#include "framework/core/resource_stream.h"

#include <gtest/gtest.h>

#include <string>

namespace fw {
namespace {

std::string ReadAll(TStream& s) {
    std::string out(static_cast<std::size_t>(s.Size()), '\0');
    s.ReadBuffer(out.data(), out.size());
    return out;
}

TEST(ResourceStream, ReadsNamedAndNumberedResources) {
    TResourceStream named(nullptr, L"FWTEXT");
    // windres stores an RCDATA string without its terminating zero.
    EXPECT_EQ(ReadAll(named), "resource bytes");
    TResourceStream numbered(nullptr, 101, L"FWDATA");
    EXPECT_EQ(ReadAll(numbered), "numbered");
    EXPECT_THROW(numbered.WriteBuffer("x", 1), EInvalidOperation);
    EXPECT_THROW(TResourceStream(nullptr, L"MISSING"), EResNotFound);
    EXPECT_THROW(TResourceStream(nullptr, 101), EResNotFound);  // another type
}

}  // namespace
}  // namespace fw
