#include "core/remote/scpi_commands.h"

#include "core/oscillator/oscillator.h"
#include "core/player/playlist.h"
#include "core/remote/scpi_status.h"
#include "core/remote/scpi_values.h"
#include "core/settings/entry_rules.h"
#include "core/settings/field_registry.h"
#include "core/settings/level_units.h"
#include "core/settings/memories.h"
#include "core/settings/signal_codes.h"
#include "core/settings/text_rules.h"
#include "kelvo_config.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <span>

namespace kelvo {
namespace {

// The mnemonics of FUNCtion, in waveform code order (1 to 16), and of CHANnel:MODE (1 to 6).
constexpr std::array<std::string_view, 16> kFunctions = {"SINusoid", "SQUare", "TRIangle", "RAMP",      "NOISe", "BURSt",
                                                         "PULSe",    "DIRac",  "TTONe",    "MULTitone", "SWEep", "WARBle",
                                                         "AM",       "FM",     "DSB",      "USER"};
constexpr std::array<std::string_view, 6> kModes = {"L", "R", "LPR", "LMR", "QUAD", "USER"};
constexpr std::array<std::string_view, 6> kLevelUnits = {"DB", "DBFS", "DBU", "DBV", "VRMS", "VPP"};
// What a numeric parameter may name instead of a number, in the order of Bound.
constexpr std::array<std::string_view, 3> kBounds = {"MINimum", "MAXimum", "DEFault"};
enum Bound : std::size_t { kMinimum, kMaximum, kDefault };

// One part of a header pattern: a mnemonic (capitals: its short form) that may be left out.
struct Node {
    std::string_view name;
    bool optional;
};

// "[SOURce:]FREQuency[:LEFT]" as its parts.
std::vector<Node> Nodes(std::string_view pattern)
{
    std::vector<Node> nodes;
    bool optional = false;
    std::size_t start = 0;
    const auto end = [&](std::size_t at) {
        if (at > start)
            nodes.push_back({pattern.substr(start, at - start), optional});
        start = at + 1;
    };
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        const char c = pattern[at];
        if (c == '[' || c == ']' || c == ':') {
            end(at);
            if (c != ':')
                optional = c == '[';
        }
    }
    end(pattern.size());
    return nodes;
}

std::string_view ShortForm(std::string_view name)
{
    std::size_t length = 0;
    while (length < name.size() && std::isupper(static_cast<unsigned char>(name[length])) != 0)
        ++length;
    return name.substr(0, length == 0 ? name.size() : length);
}

std::string Upper(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// Whether a typed mnemonic (in capitals) is the short or the long form of `name`.
bool Matches(std::string_view name, std::string_view typed)
{
    return typed == ShortForm(name) || typed == Upper(name);
}

bool MatchNodes(const std::vector<Node>& nodes, std::size_t i, const std::vector<std::string>& parts, std::size_t j)
{
    if (i == nodes.size())
        return j == parts.size();
    if (nodes[i].optional && MatchNodes(nodes, i + 1, parts, j))
        return true;
    return j < parts.size() && Matches(nodes[i].name, parts[j]) && MatchNodes(nodes, i + 1, parts, j + 1);
}

std::vector<std::string> Split(std::string_view header)
{
    std::vector<std::string> parts;
    for (std::size_t start = 0;;) {
        const auto colon = header.find(':', start);
        parts.emplace_back(header.substr(start, colon - start));
        if (colon == std::string_view::npos)
            return parts;
        start = colon + 1;
    }
}

// The position of a typed mnemonic in `names` (short or long form), or nothing.
std::optional<std::size_t> Choice(std::span<const std::string_view> names, std::string_view typed)
{
    const std::string upper = Upper(typed);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (Matches(names[i], upper))
            return i;
    return std::nullopt;
}

// A field's value as a query answers it: numbers that read back exactly, texts quoted.
std::string QueryText(const FieldRef& field)
{
    return std::visit(
        [](const auto* value) -> std::string {
            using T = std::remove_cvref_t<decltype(*value)>;
            if constexpr (std::is_same_v<T, std::string>)
                return ScpiString(*value);
            else if constexpr (std::is_integral_v<T>)
                return FormatNumber(std::int64_t{*value});
            else
                return FormatFileNumber(*value);
        },
        field);
}

// Whether `file` lies outside `folder` (or cannot be told), where a remote client may not
// have the user player read.
bool OutsideFolder(const std::filesystem::path& file, const std::filesystem::path& folder)
{
    std::error_code error;
    const auto inside = std::filesystem::weakly_canonical(folder, error);
    const auto target = error ? inside : std::filesystem::weakly_canonical(folder / file, error);
    const auto mismatch = std::mismatch(inside.begin(), inside.end(), target.begin(), target.end());
    return error || mismatch.first != inside.end();
}

// The bound a parameter names instead of a number, if any.
std::optional<std::size_t> NamedBound(const ScpiParameter& parameter)
{
    return parameter.quoted ? std::nullopt : Choice(kBounds, parameter.text);
}

// MINimum or MAXimum (the ends of the field's range or of its choices) or DEFault (the
// start value) of a numeric field; nothing, with the error, where the range is open.
std::optional<double> BoundValue(const FieldInfo& info, std::optional<std::int64_t> index, std::size_t bound, ScpiError& error)
{
    double value = 0;
    if (bound == kDefault) {
        SignalSettings start;
        const auto ref = info.at(start, index);
        if (!ref) {
            error = {scpi::kIllegalParameterValue, std::string(info.name) + " needs an entry"};
            return std::nullopt;
        }
        std::visit(
            [&value](const auto* field) {
                if constexpr (!std::is_same_v<std::remove_cvref_t<decltype(*field)>, std::string>)
                    value = static_cast<double>(*field);
            },
            *ref);
    } else if (!info.choices.empty()) {
        value = bound == kMinimum ? std::ranges::min(info.choices) : std::ranges::max(info.choices);
    } else {
        value = bound == kMinimum ? info.min : info.max;
    }
    if (!std::isfinite(value)) {
        error = {scpi::kIllegalParameterValue, std::string(info.name) + " has no " + (bound == kMinimum ? "minimum" : "maximum")};
        return std::nullopt;
    }
    return value;
}

// The live slot of every slotted field back to its start value.
void ResetLiveSlot(SignalSettings& settings)
{
    SignalSettings start;
    for (const FieldInfo& field : Fields()) {
        if (field.shape != FieldShape::Slotted)
            continue;
        const auto from = field.at(start, std::nullopt);
        const auto to = field.at(settings, std::nullopt);
        std::visit([&to](auto* source) { *std::get<decltype(source)>(*to) = *source; }, *from);
    }
}

} // namespace

struct ScpiCommands::Call {
    const ScpiCommand& command;
    ScpiOutcome outcome;

    bool query() const { return command.query; }
    void fail(int code, std::string detail = {}) { outcome.error = {code, std::move(detail)}; }
    void answer(std::string text) { outcome.reply = std::move(text); }
    // False, with the error, when a command that takes nothing was given parameters.
    bool bare()
    {
        if (!command.parameters.empty())
            fail(scpi::kParameterNotAllowed);
        return command.parameters.empty();
    }
    // The single parameter a setting command needs; null after the error.
    const ScpiParameter* parameter()
    {
        if (command.parameters.empty()) {
            fail(scpi::kMissingParameter);
            return nullptr;
        }
        if (command.parameters.size() > 1) {
            fail(scpi::kParameterNotAllowed, "one value only");
            return nullptr;
        }
        return &command.parameters.front();
    }
};

struct ScpiCommands::Entry {
    std::string_view pattern;
    Handler handler;
    bool settable;
    bool queryable;
    // The query may name MINimum, MAXimum or DEFault.
    bool bounds = false;
};

const ScpiCommands::Entry ScpiCommands::kTable[] = {
    {"*IDN", &ScpiCommands::identify, false, true},
    {"*RST", &ScpiCommands::reset, true, false},
    {"*CLS", &ScpiCommands::clearStatus, true, false},
    {"*OPC", &ScpiCommands::operationComplete, true, true},
    {"*WAI", &ScpiCommands::wait, true, false},
    {"*ESR", &ScpiCommands::eventStatus, false, true},
    {"*ESE", &ScpiCommands::eventEnable, true, true},
    {"*STB", &ScpiCommands::statusByte, false, true},
    {"*SRE", &ScpiCommands::serviceEnable, true, true},
    {"*TST", &ScpiCommands::selfTest, false, true},
    {"*SAV", &ScpiCommands::save, true, false},
    {"*RCL", &ScpiCommands::recall, true, false},
    {"SYSTem:ERRor[:NEXT]", &ScpiCommands::nextError, false, true},
    {"SYSTem:VERSion", &ScpiCommands::version, false, true},
    {"SYSTem:EXIT", &ScpiCommands::exit, true, false},
    {"[SOURce:]FUNCtion[:SHAPe]", &ScpiCommands::function, true, true},
    {"[SOURce:]FREQuency[:CW]", &ScpiCommands::frequency, true, true, true},
    {"[SOURce:]FREQuency:LEFT", &ScpiCommands::frequencyLeft, true, true, true},
    {"[SOURce:]FREQuency:RIGHt", &ScpiCommands::frequencyRight, true, true, true},
    {"[SOURce:]VOLTage[:LEVel]", &ScpiCommands::level, true, true, true},
    {"[SOURce:]VOLTage:LEFT", &ScpiCommands::levelLeft, true, true, true},
    {"[SOURce:]VOLTage:RIGHt", &ScpiCommands::levelRight, true, true, true},
    {"[SOURce:]VOLTage:UNIT", &ScpiCommands::levelUnit, true, true},
    {"[SOURce:]PHASe:LEFT", &ScpiCommands::phaseLeft, true, true, true},
    {"[SOURce:]PHASe:RIGHt", &ScpiCommands::phaseRight, true, true, true},
    {"[SOURce:]CHANnel:MODE", &ScpiCommands::channelMode, true, true},
    {"[SOURce:]RATE", &ScpiCommands::rate, true, true, true},
    {"OUTPut[:STATe]", &ScpiCommands::output, true, true},
    {"KELVo:FIELd", &ScpiCommands::field, true, true},
};

ScpiOutcome ScpiCommands::execute(const ScpiCommand& command, std::vector<std::string>& path)
{
    if (command.error.code != 0)
        return {command.error, std::nullopt, false};
    const std::vector<std::string> typed = Split(command.header);
    std::vector<std::vector<std::string>> candidates;
    if (!command.absolute && !command.header.starts_with('*') && !path.empty()) {
        candidates.push_back(path);
        candidates.back().insert(candidates.back().end(), typed.begin(), typed.end());
    }
    candidates.push_back(typed);
    for (const auto& parts : candidates) {
        for (const Entry& entry : kTable) {
            if (!MatchNodes(Nodes(entry.pattern), 0, parts, 0))
                continue;
            if (!command.header.starts_with('*'))
                path.assign(parts.begin(), parts.end() - 1);
            Call call{command, {}};
            if (command.query ? !entry.queryable : !entry.settable)
                call.fail(scpi::kUndefinedHeader, command.query ? "no query form" : "a query only");
            else if (command.query && !command.parameters.empty() && !entry.bounds && entry.handler != &ScpiCommands::field)
                call.fail(scpi::kParameterNotAllowed);
            else
                (this->*entry.handler)(call);
            return call.outcome;
        }
    }
    return {{scpi::kUndefinedHeader, command.header}, std::nullopt, false};
}

void ScpiCommands::flush()
{
    if (!m_changed)
        return;
    m_changed = false;
    m_oscillator.Update();
}

void ScpiCommands::identify(Call& call)
{
    call.answer("Kelvo,kelvo,0," KELVO_VERSION);
}

void ScpiCommands::reset(Call& call)
{
    if (!call.bare())
        return;
    m_oscillator.stopSignal();
    ResetLiveSlot(m_oscillator.settings());
    m_changed = true;
    flush();
}

void ScpiCommands::clearStatus(Call& call)
{
    if (call.bare())
        m_status.clear();
}

// The session holds *OPC? (and *WAI) until a start has finished; *OPC itself holds nothing
// and sets its bit once the start has finished.
void ScpiCommands::operationComplete(Call& call)
{
    if (call.query())
        return call.answer("1");
    if (!call.bare())
        return;
    flush();
    m_status.awaitOperations();
}

void ScpiCommands::wait(Call& call)
{
    call.bare();
}

void ScpiCommands::settleOperations()
{
    if (m_status.awaiting() && !m_oscillator.starting())
        m_status.complete();
}

void ScpiCommands::eventStatus(Call& call)
{
    settleOperations();
    call.answer(std::to_string(m_status.takeEvents()));
}

void ScpiCommands::eventEnable(Call& call)
{
    mask(call, m_status.eventEnable);
}

void ScpiCommands::statusByte(Call& call)
{
    settleOperations();
    call.answer(std::to_string(m_status.statusByte()));
}

void ScpiCommands::serviceEnable(Call& call)
{
    mask(call, m_status.serviceEnable);
}

void ScpiCommands::mask(Call& call, int& value)
{
    if (call.query())
        return call.answer(std::to_string(value));
    const ScpiParameter* parameter = call.parameter();
    if (const auto bits = parameter ? ScpiWholeNumber(*parameter, 0, 255, call.outcome.error) : std::nullopt)
        value = static_cast<int>(*bits);
}

// Nothing to test beyond what runs: 0 is a pass.
void ScpiCommands::selfTest(Call& call)
{
    call.answer("0");
}

std::optional<std::int32_t> ScpiCommands::memoryNumber(Call& call)
{
    const ScpiParameter* memory = call.parameter();
    const auto number = memory ? ScpiWholeNumber(*memory, 1, kMemoryCount, call.outcome.error) : std::nullopt;
    if (!number)
        return std::nullopt;
    flush();
    return static_cast<std::int32_t>(*number);
}

void ScpiCommands::save(Call& call)
{
    if (const auto memory = memoryNumber(call))
        CopySlot(m_oscillator.settings(), 0, *memory);
}

void ScpiCommands::recall(Call& call)
{
    if (const auto memory = memoryNumber(call))
        m_oscillator.memories().recallMemory(*memory);
}

void ScpiCommands::nextError(Call& call)
{
    call.answer(m_status.nextError());
}

void ScpiCommands::version(Call& call)
{
    call.answer("1999.0");
}

void ScpiCommands::exit(Call& call)
{
    flush();
    call.outcome.exit = true;
}

void ScpiCommands::function(Call& call)
{
    chooseCode(call, kFunctions, "Waveform", 1);
}

void ScpiCommands::chooseCode(Call& call, std::span<const std::string_view> names, const char* field, std::int64_t firstCode)
{
    const FieldInfo& info = *FindField(field);
    const std::int64_t code = FieldCode(m_oscillator.settings(), info).value_or(0);
    if (call.query()) {
        const bool named = code >= firstCode && code - firstCode < static_cast<std::int64_t>(names.size());
        return call.answer(named ? std::string(ShortForm(names[static_cast<std::size_t>(code - firstCode)]))
                                 : FormatNumber(code));
    }
    const ScpiParameter* name = call.parameter();
    if (!name)
        return;
    const auto chosen = Choice(names, name->text);
    if (!chosen)
        return call.fail(scpi::kIllegalParameterValue, name->text + " is none of " + std::string(field) + "'s names");
    assign(call, {std::string(field) + "=" + std::to_string(static_cast<std::int64_t>(*chosen) + firstCode)});
}

void ScpiCommands::frequency(Call& call)
{
    if (!call.query())
        return setFrequencies(call, true, true);
    if (!call.command.parameters.empty())
        return answerBound(call, *FindField("Freq"));
    call.answer(FormatFileNumber(m_oscillator.settings().Freq[0]));
}

void ScpiCommands::frequencyLeft(Call& call)
{
    if (!call.query())
        return setFrequencies(call, true, false);
    frequency(call);
}

void ScpiCommands::frequencyRight(Call& call)
{
    if (!call.query())
        return setFrequencies(call, false, true);
    if (!call.command.parameters.empty())
        return answerBound(call, *FindField("FreqR"));
    call.answer(FormatFileNumber(m_oscillator.settings().FreqR[0]));
}

void ScpiCommands::setFrequencies(Call& call, bool left, bool right)
{
    const ScpiParameter* parameter = call.parameter();
    const FieldInfo& info = *FindField("Freq");
    const auto hertz = parameter ? numberOrBound(call, *parameter, info, ScpiFrequency) : std::nullopt;
    if (!hertz)
        return;
    const SignalSettings& s = m_oscillator.settings();
    // Freq alone would carry FreqR along; each channel keeps what it is not given.
    const std::string leftValue = FormatFileNumber(left ? *hertz : s.Freq[0]);
    const std::string rightValue = FormatFileNumber(right ? *hertz : s.FreqR[0]);
    if (!info.accepts(*hertz))
        return call.fail(scpi::kDataOutOfRange, "Freq takes " + info.rangeText() + " Hz");
    assign(call, {"Freq=" + leftValue, "FreqR=" + rightValue});
}

void ScpiCommands::level(Call& call)
{
    if (!call.query())
        return setLevels(call, true, true);
    levelLeft(call);
}

void ScpiCommands::levelLeft(Call& call)
{
    if (!call.query())
        return setLevels(call, true, false);
    if (!call.command.parameters.empty())
        return answerBound(call, *FindField("LevelL"), Channel::Left);
    call.answer(FormatFileNumber(ShownLevel(m_oscillator.settings().LevelL[0], m_oscillator.settings(), Channel::Left)));
}

void ScpiCommands::levelRight(Call& call)
{
    if (!call.query())
        return setLevels(call, false, true);
    if (!call.command.parameters.empty())
        return answerBound(call, *FindField("LevelR"), Channel::Right);
    call.answer(FormatFileNumber(ShownLevel(m_oscillator.settings().LevelR[0], m_oscillator.settings(), Channel::Right)));
}

void ScpiCommands::setLevels(Call& call, bool left, bool right)
{
    const ScpiParameter* parameter = call.parameter();
    if (!parameter)
        return;
    std::vector<std::string> assignments;
    for (const auto& [wanted, channel, name] :
         {std::tuple{left, Channel::Left, "LevelL"}, std::tuple{right, Channel::Right, "LevelR"}}) {
        if (!wanted)
            continue;
        const FieldInfo& info = *FindField(name);
        const Channel side = channel;
        const auto dB = numberOrBound(call, *parameter, info, [this, side](const ScpiParameter& typed, ScpiError& error) {
            return ScpiLevel(typed, m_oscillator.settings(), side, error);
        });
        if (!dB)
            return;
        if (!info.accepts(*dB))
            return call.fail(scpi::kDataOutOfRange,
                             "the level is " + FormatNumber(*dB) + " dB; it takes " + info.rangeText() + " dB");
        assignments.push_back(std::string(name) + "=" + FormatFileNumber(*dB));
    }
    assign(call, assignments);
}

void ScpiCommands::levelUnit(Call& call)
{
    // The setup offers the units of volts only once an output is calibrated.
    const SignalSettings& s = m_oscillator.settings();
    const auto unit = call.query() || call.command.parameters.size() != 1
                          ? std::nullopt
                          : Choice(kLevelUnits, call.command.parameters.front().text);
    if (unit && NeedsCalibration(static_cast<std::int32_t>(*unit)) && CalibrationVolts(s, Channel::Left) <= 0 &&
        CalibrationVolts(s, Channel::Right) <= 0)
        return call.fail(scpi::kSettingsConflict, "calibrate an output (CalVoltsL, CalVoltsR) first");
    chooseCode(call, kLevelUnits, "LevelUnit", 0);
}

void ScpiCommands::phaseLeft(Call& call)
{
    setNumber(call, "PhaseL", "DEG");
}

void ScpiCommands::phaseRight(Call& call)
{
    setNumber(call, "PhaseR", "DEG");
}

void ScpiCommands::channelMode(Call& call)
{
    chooseCode(call, kModes, "ChanMode", 1);
}

void ScpiCommands::rate(Call& call)
{
    setNumber(call, "SampleRate", "HZ");
}

void ScpiCommands::setNumber(Call& call, const char* name, const char* suffixUnit)
{
    const FieldInfo& info = *FindField(name);
    if (call.query() && !call.command.parameters.empty())
        return answerBound(call, info);
    if (call.query())
        return call.answer(QueryText(*info.at(m_oscillator.settings(), std::nullopt)));
    const ScpiParameter* parameter = call.parameter();
    const auto value = parameter ? numberOrBound(call, *parameter, info,
                                                 [suffixUnit](const ScpiParameter& typed, ScpiError& error) {
                                                     return ScpiNumber(typed, suffixUnit, error);
                                                 })
                                 : std::nullopt;
    if (!value)
        return;
    if (!info.accepts(*value))
        return call.fail(scpi::kDataOutOfRange, std::string(name) + " takes " + info.rangeText());
    assign(call, {std::string(name) + "=" + FormatFileNumber(*value)});
}

template <typename Read>
std::optional<double> ScpiCommands::numberOrBound(Call& call, const ScpiParameter& parameter, const FieldInfo& info, Read read,
                                                  std::optional<std::int64_t> index)
{
    if (const auto bound = NamedBound(parameter))
        return BoundValue(info, index, *bound, call.outcome.error);
    return read(parameter, call.outcome.error);
}

void ScpiCommands::answerBound(Call& call, const FieldInfo& info, std::optional<Channel> level)
{
    const ScpiParameter* parameter = call.parameter();
    if (!parameter)
        return;
    const auto bound = NamedBound(*parameter);
    if (!bound)
        return call.fail(scpi::kIllegalParameterValue, parameter->text + " is none of MINimum, MAXimum and DEFault");
    const auto value = BoundValue(info, std::nullopt, *bound, call.outcome.error);
    if (value)
        call.answer(FormatFileNumber(level ? ShownLevel(*value, m_oscillator.settings(), *level) : *value));
}

void ScpiCommands::output(Call& call)
{
    if (call.query())
        return call.answer(m_oscillator.settings().Playing != 0 ? "1" : "0");
    const ScpiParameter* state = call.parameter();
    const auto on = state ? ScpiBoolean(*state, call.outcome.error) : std::nullopt;
    if (!on)
        return;
    const SignalSettings& s = m_oscillator.settings();
    if (*on && Is(s.Waveform[0], WaveformCode::User) && s.ArbBuild == 0 &&
        OutsideFolder(s.PlaylistPath[static_cast<std::size_t>(SelectedEntry(s))], m_oscillator.folder()))
        return call.fail(scpi::kSettingsConflict, "the user player's file lies outside the program folder");
    m_changed = false;
    // As the ON and OFF keys: ON shows the changes, renders and starts after the delay.
    if (*on)
        m_oscillator.panel().switchOn();
    else
        m_oscillator.stopSignal();
}

void ScpiCommands::field(Call& call)
{
    const auto& parameters = call.command.parameters;
    if (parameters.empty())
        return call.fail(scpi::kMissingParameter, "a field name");
    const ScpiFieldName name = ParseScpiFieldName(parameters[0].text);
    const FieldInfo* info = FindField(name.name);
    const auto ref = info ? info->at(m_oscillator.settings(), name.index) : std::nullopt;
    if (!ref) {
        const std::string_view near = NearestFieldName(name.name);
        return call.fail(scpi::kIllegalParameterValue,
                         info ? "no entry " + parameters[0].text
                              : "no field " + name.name + (near.empty() ? "" : "; did you mean " + std::string(near)));
    }
    if (call.query()) {
        if (parameters.size() > 1)
            return call.fail(scpi::kParameterNotAllowed, "a field name only");
        return call.answer(QueryText(*ref));
    }
    if (parameters.size() != 2)
        return call.fail(parameters.size() < 2 ? scpi::kMissingParameter : scpi::kParameterNotAllowed,
                         "a field name and a value");
    const std::string target = name.name + (name.index ? "[" + std::to_string(*name.index) + "]" : "");
    if (std::holds_alternative<std::string*>(*ref)) {
        // A remote client names no file: the playlist's files are chosen on the panel.
        if (name.name == "PlaylistPath")
            return call.fail(scpi::kIllegalParameterValue, "files are chosen on the panel");
        return assign(call, {target + "=" + parameters[1].text});
    }
    const auto value = numberOrBound(
        call, parameters[1], *info, [](const ScpiParameter& typed, ScpiError& error) { return ScpiNumber(typed, "", error); },
        name.index);
    if (!value)
        return;
    if (!info->accepts(*value))
        return call.fail(scpi::kDataOutOfRange, name.name + " takes " + info->rangeText());
    assign(call, {target + "=" + FormatFileNumber(*value)});
}

void ScpiCommands::assign(Call& call, const std::vector<std::string>& assignments)
{
    SignalSettings changed = m_oscillator.settings();
    if (const std::string error = SetFields(changed, assignments); !error.empty())
        return call.fail(scpi::kIllegalParameterValue, error);
    m_oscillator.settings() = std::move(changed);
    m_changed = true;
}

} // namespace kelvo
