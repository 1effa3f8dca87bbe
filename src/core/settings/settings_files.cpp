#include "settings/settings_files.h"

#include "runtime/atomic_file.h"
#include "settings/text_file.h"

#include <algorithm>

namespace kelvo {
namespace {

template <typename Int>
int ListLength(Int count)
{
    return std::clamp<int>(count, 0, kListMax);
}

void LoadMain(SignalSettings& s, TextFieldReader& in)
{
    VisitMainSettings(s, [&](auto& field) { in.read(field); });
}

void LoadUserSteps(SignalSettings& s, TextFieldReader& in)
{
    in.readCount(s.UserStepCount);
    for (int k = 1; k <= ListLength(s.UserStepCount); ++k) {
        in.read(s.UserStepFreq[k]);
        in.read(s.UserStepPeriod[k]);
    }
}

void LoadMultitone(SignalSettings& s, TextFieldReader& in)
{
    in.readCount(s.MultiCount);
    for (int k = 1; k <= ListLength(s.MultiCount); ++k)
        in.read(s.MultiFreq[k]);
}

void LoadPlaylist(SignalSettings& s, TextFieldReader& in)
{
    for (int k = 0; k < kPlaylistEntries; ++k) {
        in.read(s.PlaylistPath[k]);
        in.read(s.PlaylistName[k]);
    }
    in.read(s.PlaylistSel);
}

void LoadArbData(SignalSettings& s, TextFieldReader& in)
{
    for (auto& value : s.ArbTable)
        in.read(value);
    for (int n = 1; n <= kFourierCount; ++n)
        in.read(s.FourierAmp[n]);
}

void SaveMain(const SignalSettings& s, TextFileBuilder& out)
{
    VisitMainSettings(s, [&](const auto& field) { out.add(field); });
}

void SaveUserSteps(const SignalSettings& s, TextFileBuilder& out)
{
    const int count = ListLength(s.UserStepCount);
    out.add(std::int32_t{count});
    for (int k = 1; k <= count; ++k) {
        out.add(s.UserStepFreq[k]);
        out.add(s.UserStepPeriod[k]);
    }
}

void SaveMultitone(const SignalSettings& s, TextFileBuilder& out)
{
    const int count = ListLength(s.MultiCount);
    out.add(static_cast<std::int16_t>(count));
    for (int k = 1; k <= count; ++k)
        out.add(s.MultiFreq[k]);
}

void SavePlaylist(const SignalSettings& s, TextFileBuilder& out)
{
    for (int k = 0; k < kPlaylistEntries; ++k) {
        out.add(std::string_view(s.PlaylistPath[k]));
        out.add(std::string_view(s.PlaylistName[k]));
    }
    out.add(s.PlaylistSel);
}

void SaveArbData(const SignalSettings& s, TextFileBuilder& out)
{
    for (const auto value : s.ArbTable)
        out.add(value);
    for (int n = 1; n <= kFourierCount; ++n)
        out.add(s.FourierAmp[n]);
}

struct SettingsFile {
    std::string_view name;
    void (*load)(SignalSettings&, TextFieldReader&);
    void (*save)(const SignalSettings&, TextFileBuilder&);
};

constexpr SettingsFile kFiles[] = {
    {kMainSettingsFile, LoadMain, SaveMain},
    {kUserStepFile, LoadUserSteps, SaveUserSteps},
    {kMultitoneFile, LoadMultitone, SaveMultitone},
    {kPlaylistFile, LoadPlaylist, SavePlaylist},
    {kArbDataFile, LoadArbData, SaveArbData},
};

} // namespace

void LoadSettings(SignalSettings& settings, const std::filesystem::path& folder)
{
    for (const auto& file : kFiles) {
        TextFieldReader in(folder / file.name);
        if (in.isOpen())
            file.load(settings, in);
    }
}

std::string SaveSettings(const SignalSettings& settings, const std::filesystem::path& folder)
{
    std::string errors;
    for (const auto& file : kFiles) {
        TextFileBuilder out;
        file.save(settings, out);
        const std::string error = WriteFileAtomically(folder / file.name, out.text());
        if (!error.empty())
            errors += error + "\n";
    }
    return errors;
}

} // namespace kelvo
