#pragma once

#include "core/settings/signal_settings.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

// The most tokens a list box's text gives: one per multitone frequency, two per user step.
inline constexpr std::size_t kMaxListTokens = 100;
inline constexpr std::size_t kMaxStepTokens = 2 * kMaxListTokens;

// Splits the text of a list box (user steps, multitone frequencies) into tokens. A comma, a
// CR, a lone LF and a CR LF pair each end one token, even an empty one; double quotes and
// apostrophes are dropped; every other character, blanks included, belongs to the token.
// Text after the last separator is not a token. At most `limit` tokens.
std::vector<std::string> ListTokens(std::string_view text, std::size_t limit = kMaxListTokens);

// StoreStepTable: the user step table from the text of the sweep setup's list box. Entries 1
// to 100 are cleared, then token 2i - 1 gives the frequency and token 2i the duration of
// entry i, each rounded to single precision; a duration of 0 or less is stored as 1, an
// empty or unreadable token leaves 0. UserStepCount becomes SweepSteps.
void StoreStepTable(SignalSettings& settings, std::string_view text);

// STORE of the multitone setup: MultiFreq(1..100) cleared, then token i gives MultiFreq(i)
// rounded to single precision; a token that is not a number leaves 0 at its position.
// MultiCount is not changed.
void StoreMultitoneText(SignalSettings& settings, std::string_view text);

// The count that the multitone setup's save takes from the text of its count box: the
// leading number as a whole number (halves to even), limited to what a list holds (0 to
// 100) instead of the box's 2 to 100. Nothing when the text holds no number.
std::optional<std::int16_t> ListCountFromText(std::string_view text);

// The user step table as the list box shows it: entries 1 to `count` (at most 100), one
// line each, "frequency , duration" with CR LF.
std::string StepTableText(const SignalSettings& settings, std::int64_t count);

// The multitone list as the list box shows it: MultiFreq(1) to MultiFreq(MultiCount) (at
// most 100), one line each with CR LF.
std::string MultitoneText(const SignalSettings& settings);

} // namespace kelvo
