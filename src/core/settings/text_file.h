#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kelvo {

// The longest quoted text the settings-like files hold: the longest path the system opens.
inline constexpr std::size_t kTextFieldLimit = 4096;
// A settings-like file larger than this is damaged and not read: the largest the program
// writes is a playlist of 402 texts of at most kTextFieldLimit bytes.
inline constexpr std::int64_t kTextFileLimit = 2 * 1024 * 1024;

// Why `text` cannot be written as a quoted text of a settings-like file and read back
// unchanged (it holds a double quote or a line break, or is too long); empty when it can.
[[nodiscard]] std::string QuotedTextRefusal(std::string_view text);

// Reads the fields of a settings-like text file in order. A line holds one or more
// fields separated by commas; a field that begins with a double quote runs to the
// next double quote, any other field to the next comma or the line end. CR LF, a lone
// CR and a lone LF each end a line; a line is cut at 64 KiB. Only regular files open.
class TextFieldReader {
public:
    explicit TextFieldReader(const std::filesystem::path& path);

    // True when the file was read into memory (it may still hold lines that cannot be read).
    bool isOpen() const { return m_open; }

    // The first thing that went wrong with a file that exists: why it cannot be read
    // ("cannot be read: Permission denied"), or the first value that could not be read
    // ("is damaged (line 7: "abc" is not a number)"). Empty while all is well; a missing
    // file is not a problem.
    const std::string& problem() const { return m_problem; }
    // Notes that the current line is damaged, saying `what` is wrong, unless a problem was
    // noted before.
    void damaged(std::string_view what);

    // The next field, or nothing at the end of the file (or when the file did not open).
    std::optional<std::string> next();

    // True when every field has been read: the file holds no further line.
    bool atEnd() const { return m_pos == std::string::npos && m_next >= m_contents.size(); }

    // Reads the next field into `target`. A field that is missing, is not a number, is
    // not finite or does not fit the type is a failed read: `target` keeps its value and
    // the problem is noted.
    bool read(std::int32_t& target);
    bool read(std::int16_t& target);
    bool read(float& target);
    bool read(double& target);
    // A text that the file cannot hold as it stands (a double quote inside it, a line cut
    // at 64 KiB, more than kTextFieldLimit bytes) is a failed read as well.
    bool read(std::string& target);

    // Reads a list count, limited to 0..100 (a count outside is noted as a problem); a
    // failed read leaves `target` unchanged.
    template <typename Int> bool readCount(Int& target);

private:
    struct Field {
        std::string text;
        bool whole = true; // false when the line was cut or a quoted text had text behind it
    };
    std::optional<Field> nextField();
    std::optional<std::string> nextNumberText();
    template <typename Int> bool readInteger(Int& target);
    bool readLine();
    void damagedValue(std::string_view text, std::string_view what);

    bool m_open = false;
    std::string m_contents;
    std::size_t m_next = 0; // where the next line starts in m_contents
    std::string m_line;
    bool m_lineCut = false;
    int m_lineNumber = 0;
    std::size_t m_pos = std::string::npos; // npos: the current line is used up
    std::string m_problem;
};

// Builds the text of a settings-like file: one value per line, each ended by CR LF.
class TextFileBuilder {
public:
    void add(std::int32_t value);
    void add(std::int16_t value);
    void add(float value);
    void add(double value);
    // A quoted text; one that QuotedTextRefusal refuses is written empty, so that it never
    // reads back as another text, and noted in problem().
    void add(std::string_view text);
    // A line as it stands.
    void addLine(std::string_view content) { line(content); }

    const std::string& text() const { return m_text; }
    // The first text that could not be written, with its line; empty when there was none.
    const std::string& problem() const { return m_problem; }

private:
    void line(std::string_view content);

    std::string m_text;
    int m_lines = 0;
    std::string m_problem;
};

// A whole-number field value: the nearest integer (halves to even) when it fits `Int`.
template <typename Int> std::optional<Int> FitInteger(double value);

} // namespace kelvo
