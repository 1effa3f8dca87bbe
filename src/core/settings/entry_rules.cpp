#include "core/settings/entry_rules.h"

#include "core/runtime/rounding.h"
#include "core/settings/text_file.h"
#include "core/settings/text_rules.h"

#include <cmath>
#include <type_traits>
#include <variant>

namespace kelvo {
namespace {

// Stores an accepted value into the field, rounded as the field's type and rule ask.
bool Store(const FieldRef& ref, Rounding rounding, double value)
{
    return std::visit(
        [&](auto* target) {
            using T = std::remove_pointer_t<decltype(target)>;
            if constexpr (std::is_same_v<T, std::string>) {
                return false;
            } else if constexpr (std::is_integral_v<T>) {
                const auto fitted = FitInteger<T>(value);
                if (fitted)
                    *target = *fitted;
                return fitted.has_value();
            } else {
                if (rounding == Rounding::Single)
                    value = static_cast<float>(value);
                else if (rounding == Rounding::Half)
                    value = RoundToHalf(value);
                *target = static_cast<T>(value);
                return true;
            }
        },
        ref);
}

} // namespace

bool TakeEntry(SignalSettings& settings, const FieldInfo& field, std::string_view text, std::optional<std::int64_t> index)
{
    const auto ref = field.at(settings, index);
    const double value = ParseLeadingNumber(text);
    if (!ref || !field.accepts(value))
        return false;
    return Store(*ref, field.rounding, value);
}

std::string EntryText(SignalSettings& settings, const FieldInfo& field, std::optional<std::int64_t> index)
{
    const auto ref = field.at(settings, index);
    if (!ref)
        return {};
    return std::visit(
        [](auto* target) -> std::string {
            using T = std::remove_pointer_t<decltype(target)>;
            if constexpr (std::is_same_v<T, std::string>)
                return {};
            else
                return FormatNumber(*target);
        },
        *ref);
}

std::optional<std::int64_t> FieldCode(SignalSettings& settings, const FieldInfo& field)
{
    const auto ref = field.at(settings, std::nullopt);
    if (!ref)
        return std::nullopt;
    return std::visit(
        [](auto* target) -> std::optional<std::int64_t> {
            using T = std::remove_pointer_t<decltype(target)>;
            if constexpr (std::is_integral_v<T>)
                return *target;
            else
                return std::nullopt;
        },
        *ref);
}

bool SetFieldCode(SignalSettings& settings, const FieldInfo& field, std::int64_t code)
{
    const auto ref = field.at(settings, std::nullopt);
    if (!ref || !field.accepts(static_cast<double>(code)))
        return false;
    return Store(*ref, Rounding::Whole, static_cast<double>(code));
}

} // namespace kelvo
