// Text to int.
#include "framework/core/int_conversion.h"

#include <gtest/gtest.h>

#include "framework/core/exceptions.h"

namespace fw {
namespace {

TEST(IntConversion, AcceptsDecimalAndHexForms) {
    const struct {
        const wchar_t* text;
        int value;
    } rows[] = {
        {L"250", 250},          {L"  42", 42},          {L"-17", -17},         {L"+8", 8},
        {L"007", 7},            {L"$1F", 31},           {L"x1f", 31},          {L"0x10", 16},
        {L"0X10", 16},          {L"-$10", -16},         {L"2147483647", 2147483647},
        {L"-2147483648", -2147483647 - 1},             {L"$FFFFFFFF", -1},    {L"$7FFFFFFF", 2147483647},
    };
    for (const auto& row : rows) EXPECT_EQ(StrToInt(row.text), row.value) << row.text;
}

TEST(IntConversion, RejectsEverythingElseWithTheTextInTheMessage) {
    const wchar_t* rows[] = {L"",   L" ",          L"-",           L"$",           L"0x",         L"a",
                             L"12 ", L"1 2",       L"1.5",         L"2147483648",  L"-2147483649", L"$100000000",
                             L"\t5", L"99999999999999999999999"};
    for (const wchar_t* text : rows) {
        EXPECT_FALSE(TryStrToInt(text).has_value()) << text;
        try {
            StrToInt(text);
            ADD_FAILURE() << "no error for " << testing::PrintToString(std::wstring(text));
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), L"'" + std::wstring(text) + L"' is not a valid integer value");
        }
    }
}

}  // namespace
}  // namespace fw
