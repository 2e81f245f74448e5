#include "session/command_line.h"

#include <gtest/gtest.h>

namespace tarn {

void PrintTo(const StartArguments& a, std::ostream* os) {
    *os << "{" << a.SpawnedCopy << ", \"" << a.StartUrl << "\", "
        << (a.GroupName ? "\"" + *a.GroupName + "\"" : "none") << ", "
        << (a.UserName ? "\"" + *a.UserName + "\"" : "none") << "}";
}

namespace {

struct CommandLineCase {
    const char* name;
    std::vector<std::string> parameters;
    StartArguments expected;
};

void PrintTo(const CommandLineCase& c, std::ostream* os) {
    *os << c.name;
}

class CommandLineTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, Parses) {
    EXPECT_EQ(parseCommandLine(GetParam().parameters), GetParam().expected);
}

const CommandLineCase kCases[] = {
    {"NoParameters", {}, {}},
    {"NewWindowRequest",
     {"Url=http://127.0.0.1/a b?q=\"x\"", "Group=Year 7", "User=Ann \"Jr\" Lee"},
     {1, "http://127.0.0.1/a b?q=\"x\"", "Year 7", "Ann \"Jr\" Lee"}},
    {"CopyButton", {"Copy=1", "Group=Staff", "User=bob"}, {1, "", "Staff", "bob"}},
    {"CopyNumberKept", {"Copy=2"}, {2, "", std::nullopt, std::nullopt}},
    {"LaterParameterWins", {"Url=a", "Copy=3", "User=x", "User=y"}, {3, "a", std::nullopt, "y"}},
    {"CopyZeroIsNormal", {"Copy=0"}, {}},
    // A copy must stay a copy whatever its number looks like.
    {"CopyNotANumber", {"Copy=two"}, {1, "", std::nullopt, std::nullopt}},
    {"CopyTrailingJunk", {"Copy=2x"}, {1, "", std::nullopt, std::nullopt}},
    {"CopyOutOfRange", {"Copy=65536"}, {1, "", std::nullopt, std::nullopt}},
    {"CopyEmpty", {"Copy="}, {1, "", std::nullopt, std::nullopt}},
    {"CopyAlone", {"Copy"}, {1, "", std::nullopt, std::nullopt}},
    {"UrlEmpty", {"Url="}, {1, "", std::nullopt, std::nullopt}},
    {"UrlAlone", {"Url"}, {1, "", std::nullopt, std::nullopt}},
    {"GroupAndUserAlone", {"Group", "User="}, {0, "", "", ""}},
    // The character after the keyword is skipped whatever it is.
    {"SeparatorUnchecked", {"Url:x", "Group#g"}, {1, "x", "g", std::nullopt}},
    {"KeywordsAreCaseSensitive", {"url=a", "COPY=2", "group=g", "user=u", "Urx=b", ""}, {}},
    {"PrefixOnlyMatters", {"Username=zed"}, {0, "", std::nullopt, "ame=zed"}},
    {"TokenOfACopy", {"Copy=1", "Token=0a1b"}, {1, "", std::nullopt, std::nullopt, "0a1b"}},
    {"MainInstanceOfACopy",
     {"Copy=1", "Main=/tmp/tarnview-copies-1"},
     {1, "", std::nullopt, std::nullopt, "", "/tmp/tarnview-copies-1"}},
};

std::string caseName(const ::testing::TestParamInfo<CommandLineCase>& param) {
    return param.param.name;
}

INSTANTIATE_TEST_SUITE_P(Table, CommandLineTest, ::testing::ValuesIn(kCases), caseName);

}  // namespace
}  // namespace tarn
