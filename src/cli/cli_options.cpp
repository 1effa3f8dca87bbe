#include "cli_options.h"

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
        if (argument == "--folder")
            parsed.options.folder = value;
        else if (argument == "--set")
            parsed.options.assignments.push_back(value);
        else
            parsed.options.output = value;
    }
    return parsed;
}

} // namespace kelvo::cli
