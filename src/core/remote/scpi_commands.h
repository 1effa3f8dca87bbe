#pragma once

#include "core/remote/scpi_parser.h"
#include "core/settings/level_units.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

class Oscillator;

struct FieldInfo;
class ScpiStatus;

// What one command did: an error for the queue, or a reply (queries); `exit` for
// SYSTem:EXIT, which the session carries out after the line's replies.
struct ScpiOutcome {
    ScpiError error;
    std::optional<std::string> reply;
    bool exit = false;
};

// The command table: runs parsed commands on the oscillator, as the panel's keys would.
// Settings go through the field registry and its ranges; a refused command changes nothing.
// Changes are shown (Oscillator::Update, which restarts a playing signal as a key does) at
// flush(), once per line, or before a command that plays, stops or recalls.
// Numeric settings take MINimum, MAXimum and DEFault (the start value) for a number, and
// their queries answer those when named ("FREQ? MAX").
// UI thread only; the oscillator and the client's status outlive it.
class ScpiCommands {
public:
    ScpiCommands(Oscillator& oscillator, ScpiStatus& status)
        : m_oscillator(oscillator)
        , m_status(status)
    {
    }

    // Runs `command`. A header without a leading colon is looked up first under `path`, the
    // header path of the command before it on the line (SCPI's compound rule), then from
    // the root; `path` then becomes this command's.
    ScpiOutcome execute(const ScpiCommand& command, std::vector<std::string>& path);

    // Shows the changes made since the last flush.
    void flush();

private:
    struct Call;
    using Handler = void (ScpiCommands::*)(Call& call);
    struct Entry;
    static const Entry kTable[];

    void identify(Call& call);
    void reset(Call& call);
    void clearStatus(Call& call);
    void operationComplete(Call& call);
    void wait(Call& call);
    void eventStatus(Call& call);
    void eventEnable(Call& call);
    void statusByte(Call& call);
    void serviceEnable(Call& call);
    void selfTest(Call& call);
    void save(Call& call);
    void recall(Call& call);
    void nextError(Call& call);
    void version(Call& call);
    void exit(Call& call);
    void function(Call& call);
    void frequency(Call& call);
    void frequencyLeft(Call& call);
    void frequencyRight(Call& call);
    void level(Call& call);
    void levelLeft(Call& call);
    void levelRight(Call& call);
    void levelUnit(Call& call);
    void phaseLeft(Call& call);
    void phaseRight(Call& call);
    void channelMode(Call& call);
    void rate(Call& call);
    void output(Call& call);
    void field(Call& call);

    // A field of codes named by mnemonics: names[i] is the code firstCode + i.
    void chooseCode(Call& call, std::span<const std::string_view> names, const char* field, std::int64_t firstCode);
    // The memory *SAV and *RCL name, after the changes before them are shown.
    std::optional<std::int32_t> memoryNumber(Call& call);
    void setFrequencies(Call& call, bool left, bool right);
    void setLevels(Call& call, bool left, bool right);
    void setNumber(Call& call, const char* field, const char* suffixUnit);
    // The number a setting's parameter names: MINimum, MAXimum or DEFault of `info` (of its
    // entry `index`), or what `read` makes of it; nothing after the error.
    template <typename Read>
    std::optional<double> numberOrBound(Call& call, const ScpiParameter& parameter, const FieldInfo& info, Read read,
                                        std::optional<std::int64_t> index = std::nullopt);
    // Answers a query that names MINimum, MAXimum or DEFault of `info`, a level (`level`) in
    // the unit the channel's level is shown in.
    void answerBound(Call& call, const FieldInfo& info, std::optional<Channel> level = std::nullopt);
    // *ESE and *SRE: sets or answers a mask of 0 to 255.
    void mask(Call& call, int& value);
    // Sets the operation complete bit for an *OPC once nothing is starting.
    void settleOperations();
    // Applies registry assignments ("Freq=440") to a copy of the record and keeps it only
    // when every one is accepted.
    void assign(Call& call, const std::vector<std::string>& assignments);

    Oscillator& m_oscillator;
    ScpiStatus& m_status;
    bool m_changed = false;
};

} // namespace kelvo
