#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

namespace kelvo {

// Reads the fields of a settings-like text file in order. A line holds one or more
// fields separated by commas; a field that begins with a double quote runs to the
// next double quote, any other field to the next comma or the line end. CR LF, a lone
// CR and a lone LF each end a line; a line is cut at 64 KiB. Only regular files open.
class TextFieldReader {
public:
    explicit TextFieldReader(const std::filesystem::path& path);

    bool isOpen() const { return m_in.is_open(); }

    // The next field, or nothing at the end of the file (or when the file did not open).
    std::optional<std::string> next();

    // Reads the next field into `target`; a field that is missing, is not a number or
    // does not fit the type is a failed read and leaves `target` unchanged.
    bool read(std::int32_t& target);
    bool read(std::int16_t& target);
    bool read(float& target);
    bool read(double& target);
    bool read(std::string& target);

    // Reads a list count, limited to 0..100; a failed read leaves `target` unchanged.
    template <typename Int>
    bool readCount(Int& target);

private:
    std::optional<double> nextNumber();
    bool readLine();

    std::ifstream m_in;
    std::string m_line;
    std::size_t m_pos = std::string::npos; // npos: the current line is used up
};

// Builds the text of a settings-like file: one value per line, each ended by CR LF.
class TextFileBuilder {
public:
    void add(std::int32_t value);
    void add(std::int16_t value);
    void add(float value);
    void add(double value);
    void add(std::string_view quotedText);

    const std::string& text() const { return m_text; }

private:
    void line(std::string_view content);

    std::string m_text;
};

// A whole-number field value: the nearest integer (halves to even) when it fits `Int`.
template <typename Int>
std::optional<Int> FitInteger(double value);

} // namespace kelvo
