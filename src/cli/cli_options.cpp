#include "cli_options.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <initializer_list>

namespace kelvo::cli {

namespace {

// Hands a command's own options to `take` (with their value, or an empty one for a flag) and
// parses the rest as render options into `render`. Returns the first error.
std::string TakeOwnOptions(std::span<const std::string_view> arguments, std::initializer_list<std::string_view> withValue,
                           std::initializer_list<std::string_view> flags,
                           const std::function<std::string(std::string_view, const std::string&)>& take, RenderOptions& render)
{
    std::vector<std::string_view> rest;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        const bool flag = std::ranges::find(flags, argument) != flags.end();
        if (!flag && std::ranges::find(withValue, argument) == withValue.end()) {
            rest.push_back(argument);
            if ((argument == "--folder" || argument == "--set" || argument == "-o") && i + 1 < arguments.size())
                rest.push_back(arguments[++i]);
            continue;
        }
        if (!flag && i + 1 >= arguments.size())
            return std::string(argument) + " needs a value";
        if (std::string error = take(argument, flag ? std::string() : std::string(arguments[++i])); !error.empty())
            return error;
    }
    ParsedOptions parsed = ParseRenderOptions(rest);
    render = std::move(parsed.options);
    return parsed.error;
}

} // namespace

ParsedOptions ParseRenderOptions(std::span<const std::string_view> arguments)
{
    ParsedOptions parsed;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        const bool takesValue = argument == "--folder" || argument == "--set" || argument == "-o";
        if (!takesValue) {
            parsed.error = "unknown option \"" + std::string(argument) + "\"";
            return parsed;
        }
        if (i + 1 >= arguments.size()) {
            parsed.error = std::string(argument) + " needs a value";
            return parsed;
        }
        const std::string value(arguments[++i]);
        if (value.empty() && argument != "--set") {
            parsed.error =
                std::string(argument) + (argument == "-o" ? " needs a file name" : " needs a folder") + ", not an empty text";
            return parsed;
        }
        if (argument == "--folder")
            parsed.options.folder = value;
        else if (argument == "--set")
            parsed.options.assignments.push_back(value);
        else
            parsed.options.output = value;
    }
    return parsed;
}

ParsedPlayOptions ParsePlayOptions(std::span<const std::string_view> arguments)
{
    constexpr double kLongestPlay = 1e7; // seconds; longer is "until interrupted" in practice
    ParsedPlayOptions parsed;
    const auto take = [&parsed](std::string_view option, const std::string& value) -> std::string {
        char* end = nullptr;
        if (option == "--quiet") {
            parsed.options.quiet = true;
        } else if (option == "--seconds") {
            const double seconds = std::strtod(value.c_str(), &end);
            if (end == value.c_str() || *end != '\0' || !(seconds > 0) || seconds > kLongestPlay)
                return "--seconds needs a positive number of seconds, not \"" + value + "\"";
            parsed.options.seconds = seconds;
        } else {
            const long device = std::strtol(value.c_str(), &end, 10);
            if (end == value.c_str() || *end != '\0' || device < -1 || device > INT16_MAX)
                return "--device needs a device index (-1 for the default), not \"" + value + "\"";
            parsed.options.device = static_cast<std::int16_t>(device);
        }
        return {};
    };
    parsed.error = TakeOwnOptions(arguments, {"--seconds", "--device"}, {"--quiet"}, take, parsed.options.render);
    return parsed;
}

ParsedServeOptions ParseServeOptions(std::span<const std::string_view> arguments)
{
    ParsedServeOptions parsed;
    const auto take = [&parsed](std::string_view option, const std::string& value) -> std::string {
        if (option == "--listen") {
            if (value.empty())
                return "--listen needs an address, not an empty text";
            parsed.options.address = value;
            return {};
        }
        char* end = nullptr;
        const long port = std::strtol(value.c_str(), &end, 10);
        if (end == value.c_str() || *end != '\0' || port < 1 || port > 65535)
            return "--port needs a TCP port from 1 to 65535, not \"" + value + "\"";
        parsed.options.port = static_cast<std::uint16_t>(port);
        return {};
    };
    parsed.error = TakeOwnOptions(arguments, {"--port", "--listen"}, {}, take, parsed.options.render);
    if (parsed.error.empty() && parsed.options.render.output)
        parsed.error = "serve writes no output file";
    return parsed;
}

} // namespace kelvo::cli
