#include "cli_options.h"

#include <cstdlib>

namespace kelvo::cli {

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
    std::vector<std::string_view> rest;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "--quiet") {
            parsed.options.quiet = true;
            continue;
        }
        if (argument != "--seconds" && argument != "--device") {
            rest.push_back(argument);
            if (argument == "--folder" || argument == "--set" || argument == "-o") {
                if (i + 1 < arguments.size())
                    rest.push_back(arguments[++i]);
            }
            continue;
        }
        if (i + 1 >= arguments.size()) {
            parsed.error = std::string(argument) + " needs a value";
            return parsed;
        }
        const std::string value(arguments[++i]);
        char* end = nullptr;
        if (argument == "--seconds") {
            const double seconds = std::strtod(value.c_str(), &end);
            if (end == value.c_str() || *end != '\0' || !(seconds > 0) || seconds > kLongestPlay) {
                parsed.error = "--seconds needs a positive number of seconds, not \"" + value + "\"";
                return parsed;
            }
            parsed.options.seconds = seconds;
        } else {
            const long device = std::strtol(value.c_str(), &end, 10);
            if (end == value.c_str() || *end != '\0' || device < -1 || device > INT16_MAX) {
                parsed.error = "--device needs a device index (-1 for the default), not \"" + value + "\"";
                return parsed;
            }
            parsed.options.device = static_cast<std::int16_t>(device);
        }
    }
    ParsedOptions render = ParseRenderOptions(rest);
    parsed.options.render = std::move(render.options);
    parsed.error = std::move(render.error);
    return parsed;
}

ParsedServeOptions ParseServeOptions(std::span<const std::string_view> arguments)
{
    ParsedServeOptions parsed;
    std::vector<std::string_view> rest;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument != "--port" && argument != "--listen") {
            if (argument == "-o") {
                parsed.error = "serve writes no output file";
                return parsed;
            }
            rest.push_back(argument);
            if ((argument == "--folder" || argument == "--set") && i + 1 < arguments.size())
                rest.push_back(arguments[++i]);
            continue;
        }
        if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
            parsed.error = std::string(argument) + " needs a value";
            return parsed;
        }
        const std::string value(arguments[++i]);
        if (argument == "--listen") {
            parsed.options.address = value;
            continue;
        }
        char* end = nullptr;
        const long port = std::strtol(value.c_str(), &end, 10);
        if (*end != '\0' || port < 1 || port > 65535) {
            parsed.error = "--port needs a TCP port from 1 to 65535, not \"" + value + "\"";
            return parsed;
        }
        parsed.options.port = static_cast<std::uint16_t>(port);
    }
    ParsedOptions render = ParseRenderOptions(rest);
    parsed.options.render = std::move(render.options);
    parsed.error = std::move(render.error);
    return parsed;
}

} // namespace kelvo::cli
