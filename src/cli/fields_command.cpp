#include "fields_command.h"

#include "core/settings/field_registry.h"
#include "core/settings/text_rules.h"

#include <algorithm>
#include <map>
#include <variant>

namespace kelvo::cli {
namespace {

// The indices the field takes, "[0-10]"; empty for a field without an index.
std::string IndexText(const FieldInfo& info, SignalSettings& settings)
{
    if (info.shape == FieldShape::Single)
        return {};
    std::int64_t last = 0;
    while (info.at(settings, last + 1))
        ++last;
    return "[0-" + std::to_string(last) + "]";
}

// The start value: of the live slot, or of a list the value most entries hold and the
// few entries that differ.
std::string DefaultText(const FieldInfo& info, SignalSettings& settings)
{
    if (info.shape != FieldShape::List)
        return FieldValueText(*info.at(settings, std::nullopt));
    std::map<std::string, int> counts;
    std::vector<std::string> values;
    for (std::int64_t i = 0; auto field = info.at(settings, i); ++i) {
        values.push_back(FieldValueText(*field));
        ++counts[values.back()];
    }
    const auto common = std::ranges::max_element(counts, {}, [](const auto& entry) { return entry.second; })->first;
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i)
        if (values[i] != common)
            text += "[" + std::to_string(i) + "] " + values[i] + ", ";
    return text + (text.empty() ? common : "others " + common);
}

std::string Padded(std::string text, std::size_t width)
{
    text.resize(std::max(text.size() + 1, width), ' ');
    return text;
}

} // namespace

std::string FieldsText()
{
    SignalSettings start;
    std::string text = "Each field as --set Field=Value takes it. A field with [0-10] is the live signal without an index\n"
                       "or with [0], a memory with [1] to [10]; a list field needs its entry's index.\n\n";
    for (const FieldInfo& info : Fields()) {
        const bool isText = std::holds_alternative<std::string*>(
            *info.at(start, info.shape == FieldShape::List ? 0 : std::optional<std::int64_t>()));
        const std::string values =
            isText ? "any text" : info.rangeText() + (info.unit.empty() ? "" : " " + std::string(info.unit));
        text += Padded(std::string(info.name) + IndexText(info, start), 22) + Padded(values, 26) +
                Padded("start " + DefaultText(info, start), 14) + std::string(info.meaning) + "\n";
    }
    return text;
}

} // namespace kelvo::cli
