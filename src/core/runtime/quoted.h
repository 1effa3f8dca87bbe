#pragma once

#include <string>
#include <string_view>

namespace kelvo {

// A name or value as messages show it: between double quotes, as it is.
inline std::string Quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

} // namespace kelvo
