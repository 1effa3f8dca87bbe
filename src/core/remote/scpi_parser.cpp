#include "core/remote/scpi_parser.h"

#include <algorithm>
#include <cctype>

namespace kelvo {
namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool IsMnemonicChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

ScpiCommand Refused(int code, std::string detail)
{
    ScpiCommand command;
    command.error = {code, std::move(detail)};
    return command;
}

// The parameters after the header: quoted strings or bare texts, separated by commas.
bool ParseParameters(std::string_view text, std::vector<ScpiParameter>& parameters, std::string& problem)
{
    std::size_t at = 0;
    for (;;) {
        while (at < text.size() && IsBlank(text[at]))
            ++at;
        ScpiParameter parameter;
        if (at < text.size() && (text[at] == '"' || text[at] == '\'')) {
            const char quote = text[at++];
            for (;; ++at) {
                if (at >= text.size()) {
                    problem = "a string has no closing quote";
                    return false;
                }
                if (text[at] == quote) {
                    if (at + 1 < text.size() && text[at + 1] == quote) {
                        parameter.text += quote;
                        ++at;
                        continue;
                    }
                    ++at;
                    break;
                }
                parameter.text += text[at];
            }
            parameter.quoted = true;
            while (at < text.size() && IsBlank(text[at]))
                ++at;
            if (at < text.size() && text[at] != ',') {
                problem = "text follows a string";
                return false;
            }
        } else {
            const std::size_t comma = std::min(text.find(',', at), text.size());
            parameter.text = std::string(Trimmed(text.substr(at, comma - at)));
            at = comma;
            if (parameter.text.empty()) {
                problem = "a parameter is empty";
                return false;
            }
        }
        parameters.push_back(std::move(parameter));
        if (at >= text.size())
            return true;
        ++at; // the comma
    }
}

ScpiCommand ParseCommand(std::string_view text)
{
    ScpiCommand command;
    std::size_t at = 0;
    if (text[0] == '*') {
        at = 1;
        while (at < text.size() && std::isalpha(static_cast<unsigned char>(text[at])) != 0)
            ++at;
        if (at == 1)
            return Refused(scpi::kSyntaxError, "a common command needs a name after '*'");
    } else {
        if (text[0] == ':') {
            command.absolute = true;
            at = 1;
        }
        // Mnemonics separated by single colons, each beginning with a letter.
        for (;;) {
            if (at >= text.size() || std::isalpha(static_cast<unsigned char>(text[at])) == 0)
                return Refused(scpi::kSyntaxError, "a header part must begin with a letter");
            while (at < text.size() && IsMnemonicChar(text[at]))
                ++at;
            if (at >= text.size() || text[at] != ':')
                break;
            ++at;
        }
    }
    for (std::size_t i = command.absolute ? 1 : 0; i < at; ++i)
        command.header += static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
    if (at < text.size() && text[at] == '?') {
        command.query = true;
        ++at;
    }
    if (at < text.size() && !IsBlank(text[at]))
        return Refused(scpi::kSyntaxError, "unexpected character '" + std::string(1, text[at]) + "' in the header");
    const std::string_view rest = Trimmed(text.substr(at));
    std::string problem;
    if (!rest.empty() && !ParseParameters(rest, command.parameters, problem))
        return Refused(scpi::kSyntaxError, problem);
    return command;
}

} // namespace

std::string_view ScpiErrorText(int code)
{
    switch (code) {
    case 0: return "No error";
    case scpi::kSyntaxError: return "Syntax error";
    case scpi::kParameterNotAllowed: return "Parameter not allowed";
    case scpi::kMissingParameter: return "Missing parameter";
    case scpi::kUndefinedHeader: return "Undefined header";
    case scpi::kInvalidSuffix: return "Invalid suffix";
    case scpi::kSettingsConflict: return "Settings conflict";
    case scpi::kDataOutOfRange: return "Data out of range";
    case scpi::kTooMuchData: return "Too much data";
    case scpi::kIllegalParameterValue: return "Illegal parameter value";
    case scpi::kQueueOverflow: return "Queue overflow";
    default: return "Error";
    }
}

std::vector<ScpiCommand> ParseScpiLine(std::string_view line)
{
    std::vector<ScpiCommand> commands;
    if (std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t'; })) {
        commands.push_back(Refused(scpi::kSyntaxError, "the line holds a control character"));
        return commands;
    }
    std::size_t start = 0;
    char quote = 0;
    for (std::size_t at = 0; at <= line.size(); ++at) {
        const char c = at < line.size() ? line[at] : ';';
        if (quote != 0) {
            // An open quote at the line's end leaves the command unterminated.
            if (c == quote || at == line.size())
                quote = 0;
            if (at < line.size())
                continue;
        } else if (c == '"' || c == '\'') {
            quote = c;
            continue;
        }
        if (c != ';')
            continue;
        const std::string_view text = Trimmed(line.substr(start, at - start));
        if (!text.empty())
            commands.push_back(ParseCommand(text));
        start = at + 1;
    }
    return commands;
}

} // namespace kelvo
