// Messages of exceptions of any kind.
#include "framework/core/exceptions.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace fw {
namespace {

TEST(Exceptions, MessageAndAbortOfAnyException) {
    struct Row {
        std::exception_ptr e;
        std::wstring message;
        bool abort;
    };
    const Row rows[] = {
        {std::make_exception_ptr(EConvertError(L"'x' is not a number")), L"'x' is not a number", false},
        {std::make_exception_ptr(EAbort()), L"Operation aborted", true},
        {std::make_exception_ptr(std::runtime_error("caf\xE9 \x80")), L"caf\u00E9 \u20AC", false},
        {std::make_exception_ptr(17), L"Unknown exception", false},
        {nullptr, L"", false},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(ExceptionMessage(r.e), r.message);
        EXPECT_EQ(IsAbort(r.e), r.abort) << r.message;
    }
}

}  // namespace
}  // namespace fw
