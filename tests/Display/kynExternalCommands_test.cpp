// What a command line asks for.
#include "Display/kynExternalCommands.h"

#include <gtest/gtest.h>

#include "framework/core/exceptions.h"

namespace kyn {
namespace {

using K = TCommandAction::TKind;

TEST(ExternalCommands, EveryWordMapsToItsIndexWhateverTheCase) {
    ASSERT_EQ(ExternalCommandTable.size(), 35u);
    EXPECT_EQ(ExternalCommandTable[ecSetContinuosMode], L"SetContinuosMode");
    EXPECT_EQ(ExternalCommandTable[ecCloseApplication], L"CloseApplication");
    for (size_t i = 0; i < ExternalCommandTable.size(); ++i) {
        std::wstring word(ExternalCommandTable[i]);
        EXPECT_EQ(ParseCommandLine(word), (TCommandAction{K::Word, static_cast<int>(i), 0})) << word;
        for (auto& c : word) c = static_cast<wchar_t>(c >= L'a' && c <= L'z' ? c - 32 : c);
        EXPECT_EQ(ParseCommandLine(word).Index, static_cast<int>(i)) << word;
    }
}

TEST(ExternalCommands, LinesThatAskForNothing) {
    const wchar_t* rows[] = {L"",
                             L"Run ",
                             L" Run",
                             L"Run\r",
                             L"Runner",
                             L"Show Grid",
                             L"numericalcommand SweepRate 250",  // the prefix is compared with case
                             L"NumericalCommand MakeNextStep 5",
                             L"NumericalCommand MakeNextStep",
                             L"NumericalCommand Speed 5",
                             L"NumericalCommand Speed"};
    for (const wchar_t* line : rows) EXPECT_EQ(ParseCommandLine(line), TCommandAction{}) << line;
}

TEST(ExternalCommands, ValueForm) {
    const struct {
        const wchar_t* line;
        int index;
        int value;
    } rows[] = {
        {L"NumericalCommand SweepRate 250", ncSweepRate, 250},
        {L"NumericalCommand sweeprate 250", ncSweepRate, 250},
        {L"NumericalCommand  LineThickness   3  extra", ncLineThickness, 3},
        {L"NumericalCommand GridSize $20", ncGridSize, 32},
        {L"NumericalCommand GridSize -4", ncGridSize, -4},
        {L"NumericalCommand \"Grid\"\"Size\" 1", -1, 0},
        {L"NumericalCommandos SweepRate 9", ncSweepRate, 9},
        {L"NumericalCommand\tSweepRate\t7", ncSweepRate, 7},
    };
    for (const auto& row : rows) {
        const TCommandAction action = ParseCommandLine(row.line);
        if (row.index < 0) {
            EXPECT_EQ(action, TCommandAction{}) << row.line;
        } else {
            EXPECT_EQ(action, (TCommandAction{K::Value, row.index, row.value})) << row.line;
        }
    }
}

TEST(ExternalCommands, CutOrBadValueFormsRaise) {
    const struct {
        const wchar_t* line;
        const wchar_t* message;
        bool convert;
    } rows[] = {
        {L"NumericalCommand", L"List index out of bounds (1)", false},
        {L"NumericalCommand ", L"List index out of bounds (1)", false},
        {L"NumericalCommand LineThickness", L"List index out of bounds (2)", false},
        {L"NumericalCommand SweepRate x", L"'x' is not a valid integer value", true},
        {L"NumericalCommand GridSize 99999999999", L"'99999999999' is not a valid integer value", true},
    };
    for (const auto& row : rows) {
        try {
            ParseCommandLine(row.line);
            ADD_FAILURE() << "no error for " << testing::PrintToString(std::wstring(row.line));
        } catch (const fw::Exception& e) {
            EXPECT_EQ(e.Message(), row.message);
            EXPECT_EQ(dynamic_cast<const fw::EConvertError*>(&e) != nullptr, row.convert);
        }
    }
}

}  // namespace
}  // namespace kyn
