#pragma once

#include <string>

namespace kelvo::cli {

// What `kelvo-cli fields` prints: every field --set takes, one per line, with its index,
// the values it takes and their unit, its start value and what it means.
std::string FieldsText();

} // namespace kelvo::cli
