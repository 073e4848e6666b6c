#include "OptionParser.h"

#include <gtest/gtest.h>

namespace {
// A tool with one flag, one plain value option, one value option that can
// refuse its value, and --set; it records what it was handed, in order.
class RecordingParser : public OptionParser {
public:
    std::vector<std::string> taken;
    std::vector<std::string> positionals;
    std::vector<ParameterSettings::Setting> sets;
    bool finished = false;
    bool refuseFiles = false;

private:
    Kind kind(const std::string& name) const override
    {
        if (name == "--loud")
            return Kind::Flag;
        if (name == "--name" || name == "--even" || name == "--set")
            return Kind::Value;
        return Kind::Unknown;
    }
    void reset() override
    {
        taken.clear();
        positionals.clear();
        sets.clear();
        finished = false;
    }
    void takeFlag(const std::string& name) override { taken.push_back(name); }
    bool takeValue(const std::string& name, const std::string& value) override
    {
        if (name == "--set")
            return addSetting(value, sets);
        if (name == "--even" && value.size() % 2 != 0)
            return fail("--even is odd");
        taken.push_back(name + ":" + value);
        return true;
    }
    bool finish(const std::vector<std::string>& files) override
    {
        finished = true;
        positionals = files;
        return refuseFiles ? tooManyFiles(files.size(), "none") : true;
    }
};
}   // namespace

TEST(OptionParser, HandsOptionsToTheToolInOrderAndKeepsFiles)
{
    RecordingParser p;
    ASSERT_TRUE(p.parse({"a", "--name", "x=y", "-", "--loud", "--set=MIX=50", "--", "--loud", "-h"})) << p.error();
    EXPECT_EQ(p.taken, (std::vector<std::string>{"--name:x=y", "--loud"}));
    EXPECT_EQ(p.positionals, (std::vector<std::string>{"a", "-", "--loud", "-h"}));
    ASSERT_EQ(p.sets.size(), 1u);
    EXPECT_EQ(p.sets[0], ParameterSettings::Setting("MIX", "50"));
    EXPECT_TRUE(p.finished);

    // argv's first word is the program; a second parse starts afresh.
    const char* argv[] = {"tool", "--set", "A=1", "file"};
    ASSERT_TRUE(p.parse(4, argv)) << p.error();
    EXPECT_TRUE(p.taken.empty());
    EXPECT_EQ(p.positionals, (std::vector<std::string>{"file"}));
    ASSERT_EQ(p.sets.size(), 1u);
    EXPECT_EQ(p.sets[0], ParameterSettings::Setting("A", "1"));
}

TEST(OptionParser, HelpIsAFlagEveryToolHasAndSkipsTheChecksOfTheWhole)
{
    RecordingParser p;
    p.refuseFiles = true;
    ASSERT_TRUE(p.parse({"-h", "file"})) << p.error();
    EXPECT_EQ(p.taken, (std::vector<std::string>{"--help"}));
    EXPECT_FALSE(p.finished);
    ASSERT_TRUE(p.parse({"--loud", "--help"}));
    EXPECT_EQ(p.taken, (std::vector<std::string>{"--loud", "--help"}));

    EXPECT_FALSE(p.parse({"a", "b"}));
    EXPECT_EQ(p.error(), "too many file arguments (2); expected none");
}

TEST(OptionParser, StopsAtTheFirstFaultWithItsOwnLine)
{
    RecordingParser p;
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--quiet"}, "unknown option '--quiet' (see --help)"},
        {{"--quiet=1"}, "unknown option '--quiet' (see --help)"},
        {{"-x"}, "unknown option '-x' (see --help)"},
        {{"--loud=yes"}, "option --loud takes no value"},
        {{"--help=me"}, "option --help takes no value"},
        {{"--name"}, "option --name needs a value"},
        {{"--name="}, "option --name needs a non-empty value"},
        {{"--name", ""}, "option --name needs a non-empty value"},
        {{"--set", "MIX"}, "--set needs NAME=VALUE, not 'MIX'"},
        {{"--even", "abc", "--loud"}, "--even is odd"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(p.parse(c.first)) << c.second;
        EXPECT_EQ(p.error(), c.second);
        EXPECT_TRUE(p.taken.empty()) << c.second;
        EXPECT_FALSE(p.finished) << c.second;
    }
    // A good run after a failed one starts with no error.
    EXPECT_TRUE(p.parse({"--even", "ab"}));
    EXPECT_EQ(p.error(), "");
}
