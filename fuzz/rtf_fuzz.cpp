// libFuzzer target for the help topics' RTF reader: any bytes must read without a crash,
// a hang or a leak, and what comes out must be well formed for the text view.
#include "core/help/rtf_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

bool ValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto document = kelvo::ReadRtf(bytes);
    if (!document)
        return 0;
    for (const auto& paragraph : document->paragraphs) {
        for (const auto& run : paragraph.runs) {
            const bool fontKnown = run.style.font >= -1 && run.style.font < static_cast<int>(document->fonts.size());
            if (run.text.empty() || !ValidUtf8(run.text) || !fontKnown)
                std::abort();
        }
    }
    return 0;
}
