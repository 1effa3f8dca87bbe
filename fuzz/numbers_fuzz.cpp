// The number rules, the --set parser and the command-line option parsers.
#include "cli_options.h"
#include "core/settings/text_rules.h"
#include "fuzz_support.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using namespace kelvo;

bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void CheckNumberRules(std::string_view text)
{
    const NumberScan scan = ScanNumber(text);
    fuzz::Check(scan.length <= text.size(), "ScanNumber read past the text");
    ParseLeadingNumber(text);
    if (scan.length == 0 || !std::isfinite(scan.value))
        return;
    const std::string written = FormatFileNumber(scan.value);
    const NumberScan back = ScanNumber(written);
    fuzz::Check(back.length == written.size() && SameBits(back.value, scan.value),
                "a number written to a file did not read back to the same value");
    const std::string shown = FormatNumber(scan.value);
    fuzz::Check(ScanNumber(shown).length == shown.size(), "a number shown on screen does not read as a number");
    if (const auto single = ParseSingle(text.substr(0, scan.length))) {
        const auto again = ParseSingle(FormatFileNumber(*single));
        fuzz::Check(again && std::memcmp(&*again, &*single, sizeof *single) == 0,
                    "a single-precision number written to a file did not read back");
    }
}

void CheckSetField(std::string_view text)
{
    SignalSettings settings;
    const std::string before = fuzz::RecordImage(settings);
    const std::string error = SetField(settings, text);
    if (!error.empty()) {
        fuzz::Check(fuzz::RecordImage(settings) == before, "a refused --set changed the record");
        return;
    }
    // The value taken is one the panel could set.
    const std::string_view target = text.substr(0, text.find('='));
    const FieldInfo* field = FindField(target.substr(0, target.find('[')));
    fuzz::Check(field != nullptr, "--set took an unknown field");
    std::optional<std::int64_t> index;
    if (const auto open = target.find('['); open != std::string_view::npos)
        index = std::stoll(std::string(target.substr(open + 1)));
    const auto value = field->at(settings, index);
    fuzz::Check(value.has_value(), "--set took an index outside the field");
    std::visit(
        [&](auto* stored) {
            using T = std::remove_pointer_t<decltype(stored)>;
            if constexpr (!std::is_same_v<T, std::string>) {
                if (field->rounding != Rounding::Single)
                    fuzz::Check(field->accepts(static_cast<double>(*stored)), "--set stored a value outside the range");
                fuzz::Check(std::isfinite(static_cast<double>(*stored)), "--set stored a value that is not finite");
            }
        },
        *value);
}

void CheckOptions(std::string_view text)
{
    std::vector<std::string_view> arguments;
    for (std::size_t start = 0; start <= text.size();) {
        const auto end = std::min(text.find('\n', start), text.size());
        arguments.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    const auto render = cli::ParseRenderOptions(arguments);
    const auto play = cli::ParsePlayOptions(arguments);
    for (const auto* options : {&render.options, &play.options.render}) {
        fuzz::Check(!options->folder || !options->folder->empty(), "an empty --folder was taken");
        fuzz::Check(!options->output || !options->output->empty(), "an empty -o was taken");
    }
    if (play.error.empty() && play.options.seconds)
        fuzz::Check(*play.options.seconds > 0, "--seconds took a value that is not positive");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(size == 0 ? "" : reinterpret_cast<const char*>(data), size);
    CheckNumberRules(text);
    CheckSetField(text);
    CheckOptions(text);
    return 0;
}
