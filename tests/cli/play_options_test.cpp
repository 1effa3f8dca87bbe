#include "cli_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace kelvo::cli {
namespace {

TEST(PlayOptions, TakeTheRenderOptionsPlusSecondsAndDevice)
{
    const std::vector<std::string_view> arguments = {"--set", "Freq=440", "--seconds", "2.5", "--folder", "/tmp/x",
                                                     "--device", "-1", "--set", "LegacyDriver=1"};
    const ParsedPlayOptions parsed = ParsePlayOptions(arguments);
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.seconds, 2.5);
    EXPECT_EQ(parsed.options.device, std::int16_t{-1});
    EXPECT_EQ(parsed.options.render.folder, std::filesystem::path("/tmp/x"));
    EXPECT_EQ(parsed.options.render.assignments, (std::vector<std::string>{"Freq=440", "LegacyDriver=1"}));

    const std::pair<std::vector<std::string_view>, std::string> bad[] = {
        {{"--seconds", "0"}, "--seconds needs a positive number of seconds, not \"0\""},
        {{"--seconds", "nan"}, "--seconds needs a positive number of seconds, not \"nan\""},
        {{"--seconds", "2s"}, "--seconds needs a positive number of seconds, not \"2s\""},
        {{"--device", "-2"}, "--device needs a device index (-1 for the default), not \"-2\""},
        {{"--device", "40000"}, "--device needs a device index (-1 for the default), not \"40000\""},
        {{"--device"}, "--device needs a value"},
        {{"--loud"}, "unknown option \"--loud\""},
    };
    for (const auto& [words, error] : bad)
        EXPECT_EQ(ParsePlayOptions(words).error, error);
}

} // namespace
} // namespace kelvo::cli
