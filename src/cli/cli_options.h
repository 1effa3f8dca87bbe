#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo::cli {

// The options shared by the commands that render.
struct RenderOptions {
    std::optional<std::filesystem::path> folder;
    std::vector<std::string> assignments; // "Field=Value", applied in order
    std::optional<std::filesystem::path> output;
};

struct ParsedOptions {
    RenderOptions options;
    std::string error; // empty when the arguments were understood
};

// Parses the arguments after the command name.
ParsedOptions ParseRenderOptions(std::span<const std::string_view> arguments);

// The options of `play`: those of `render`, how long to play and on which device.
struct PlayOptions {
    RenderOptions render;
    std::optional<double> seconds;
    std::optional<std::int16_t> device;
    bool quiet = false; // no word on gaps; the exit status still tells
};

struct ParsedPlayOptions {
    PlayOptions options;
    std::string error;
};

ParsedPlayOptions ParsePlayOptions(std::span<const std::string_view> arguments);

// The options of `serve`: the program folder and assignments as for `render` (no output
// file), the port and the address to listen on (empty: the loopback addresses).
struct ServeOptions {
    RenderOptions render;
    std::uint16_t port = 5025;
    std::string address;
};

struct ParsedServeOptions {
    ServeOptions options;
    std::string error;
};

ParsedServeOptions ParseServeOptions(std::span<const std::string_view> arguments);

} // namespace kelvo::cli
