#include "core/settings/settings_files.h"

#include "core/runtime/atomic_file.h"
#include "core/settings/field_registry.h"
#include "core/settings/text_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kelvo {
namespace {

template <typename Int> int ListLength(Int count)
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

// A failed read of one field leaves that field as it was; the reads after it still go on.
void LoadPlaylistEntries(SignalSettings& s, TextFieldReader& in)
{
    for (int k = 0; k < kPlaylistEntries; ++k) {
        in.read(s.PlaylistPath[k]);
        in.read(s.PlaylistName[k]);
    }
}

void LoadPlaylist(SignalSettings& s, TextFieldReader& in)
{
    LoadPlaylistEntries(s, in);
    in.read(s.PlaylistSel);
}

void LoadFourier(SignalSettings& s, TextFieldReader& in)
{
    for (int n = 1; n <= kFourierCount; ++n)
        in.read(s.FourierAmp[n]);
}

void LoadArbData(SignalSettings& s, TextFieldReader& in)
{
    for (auto& value : s.ArbTable)
        in.read(value);
    LoadFourier(s, in);
}

// A user's Fourier sequence file: the harmonics it lists, the others 0.
void LoadFourierFile(SignalSettings& s, TextFieldReader& in)
{
    s.FourierAmp.fill(0);
    for (int n = 1; n <= kFourierCount && (n == 1 || !in.atEnd()); ++n)
        in.read(s.FourierAmp[n]);
}

// A user's playlist: the entries it lists, the others empty.
void LoadPlaylistFile(SignalSettings& s, TextFieldReader& in)
{
    s.PlaylistPath.fill({});
    s.PlaylistName.fill({});
    for (int k = 0; k < kPlaylistEntries && (k == 0 || !in.atEnd()); ++k) {
        in.read(s.PlaylistPath[k]);
        in.read(s.PlaylistName[k]);
    }
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

void SavePlaylistEntries(const SignalSettings& s, TextFileBuilder& out)
{
    for (int k = 0; k < kPlaylistEntries; ++k) {
        out.add(std::string_view(s.PlaylistPath[k]));
        out.add(std::string_view(s.PlaylistName[k]));
    }
}

void SavePlaylist(const SignalSettings& s, TextFileBuilder& out)
{
    SavePlaylistEntries(s, out);
    out.add(s.PlaylistSel);
}

void SaveFourier(const SignalSettings& s, TextFileBuilder& out)
{
    for (int n = 1; n <= kFourierCount; ++n)
        out.add(s.FourierAmp[n]);
}

void SaveArbData(const SignalSettings& s, TextFileBuilder& out)
{
    for (const auto value : s.ArbTable)
        out.add(value);
    SaveFourier(s, out);
}

// The options file: one Name=Value line per option, in any order. A line of a name this
// version does not know is kept for the next save; a known option with a value it does
// not take is damage, and keeps its value.
void LoadOptions(SignalSettings& s, TextFieldReader& in)
{
    s.UnknownOptions.clear();
    while (!in.atEnd()) {
        const std::optional<std::string> line = in.next();
        if (!line)
            break;
        if (line->empty())
            continue;
        const std::size_t equals = line->find('=');
        if (equals == std::string::npos) {
            in.damaged("\"" + *line + "\" is not Name=Value");
            continue;
        }
        const FieldInfo* info = FindField(std::string_view(*line).substr(0, equals));
        if (info == nullptr || !info->option) {
            s.UnknownOptions.push_back(*line);
            continue;
        }
        if (const std::string error = SetField(s, *line); !error.empty())
            in.damaged(error);
    }
}

void SaveOptions(const SignalSettings& s, TextFileBuilder& out)
{
    SignalSettings readable = s; // the registry reaches fields of a record it may change
    for (const FieldInfo& info : Fields()) {
        if (info.option)
            out.addLine(std::string(info.name) + "=" + FieldValueText(*info.at(readable, std::nullopt)));
    }
    for (const std::string& line : s.UnknownOptions)
        out.addLine(line);
}

struct SettingsFile {
    std::string_view name;
    void (*load)(SignalSettings&, TextFieldReader&);
    void (*save)(const SignalSettings&, TextFileBuilder&);
};

constexpr SettingsFile kFiles[] = {
    {kMainSettingsFile, LoadMain, SaveMain},        {kUserStepFile, LoadUserSteps, SaveUserSteps},
    {kMultitoneFile, LoadMultitone, SaveMultitone}, {kPlaylistFile, LoadPlaylist, SavePlaylist},
    {kArbDataFile, LoadArbData, SaveArbData},       {kOptionsFile, LoadOptions, SaveOptions},
};

std::string BackupName(std::string_view file)
{
    return std::string(file) + ".bak";
}

// Reads one file of a layout into the record: nothing changes when it cannot be read.
// Returns whether it was read, and the reader's problem.
bool ReadLayout(SignalSettings& settings, const std::filesystem::path& path, void (*load)(SignalSettings&, TextFieldReader&),
                std::string& problem)
{
    TextFieldReader in(path);
    if (in.isOpen())
        load(settings, in);
    problem = in.problem();
    return in.isOpen();
}

std::string LayoutText(const SignalSettings& settings, void (*save)(const SignalSettings&, TextFileBuilder&))
{
    TextFileBuilder out;
    save(settings, out);
    return out.text();
}

// A user's list file is loaded whole or not at all: a damaged one is never mixed with
// the list it was to replace.
ListFileLoad LoadList(SignalSettings& settings, const std::filesystem::path& path,
                      void (*load)(SignalSettings&, TextFieldReader&))
{
    ListFileLoad result;
    std::string problem;
    SignalSettings loaded = settings;
    const bool opened = ReadLayout(loaded, path, load, problem);
    // The reader does not count a missing file as a problem; a file the user chose does.
    if (problem.empty() && !opened)
        problem = std::string("cannot be read: ") + std::strerror(ENOENT);
    if (!problem.empty()) {
        result.problem = "\"" + path.string() + "\" " + problem;
        return result;
    }
    settings = std::move(loaded);
    result.read = true;
    return result;
}

} // namespace

std::vector<SettingsFileProblem> LoadSettings(SignalSettings& settings, const std::filesystem::path& folder)
{
    std::vector<SettingsFileProblem> problems;
    for (const auto& file : kFiles) {
        std::string problem;
        ReadLayout(settings, folder / file.name, file.load, problem);
        if (!problem.empty())
            problems.push_back({file.name, std::move(problem)});
    }
    return problems;
}

ListFileLoad LoadUserStepList(SignalSettings& settings, const std::filesystem::path& path)
{
    return LoadList(settings, path, LoadUserSteps);
}

std::string SaveUserStepList(const SignalSettings& settings, const std::filesystem::path& path)
{
    return WriteFileAtomically(path, LayoutText(settings, SaveUserSteps));
}

ListFileLoad LoadMultitoneList(SignalSettings& settings, const std::filesystem::path& path)
{
    return LoadList(settings, path, LoadMultitone);
}

std::string SaveMultitoneList(const SignalSettings& settings, const std::filesystem::path& path)
{
    return WriteFileAtomically(path, LayoutText(settings, SaveMultitone));
}

ListFileLoad LoadFourierList(SignalSettings& settings, const std::filesystem::path& path)
{
    return LoadList(settings, path, LoadFourierFile);
}

std::string SaveFourierList(const SignalSettings& settings, const std::filesystem::path& path)
{
    return WriteFileAtomically(path, LayoutText(settings, SaveFourier));
}

ListFileLoad LoadPlaylistList(SignalSettings& settings, const std::filesystem::path& path)
{
    return LoadList(settings, path, LoadPlaylistFile);
}

std::string SavePlaylistList(const SignalSettings& settings, const std::filesystem::path& path)
{
    return WriteFileAtomically(path, LayoutText(settings, SavePlaylistEntries));
}

std::string SettingsProblemsMessage(const std::vector<SettingsFileProblem>& problems, const std::filesystem::path& folder)
{
    if (problems.empty())
        return {};
    std::string message;
    for (const auto& problem : problems)
        message += "\"" + (folder / problem.file).string() + "\" " + problem.reason + ".\n";
    const bool one = problems.size() == 1;
    return message + "Start values are used for what cannot be read. The first save keeps " +
           (one ? "the file as " + BackupName(problems.front().file) : std::string("each of these files as <name>.bak")) +
           " beside the new one.";
}

std::string SaveSettings(const SignalSettings& settings, const std::filesystem::path& folder,
                         std::vector<SettingsFileProblem>* damaged)
{
    std::vector<SettingsFileProblem> none;
    auto& keep = damaged ? *damaged : none;
    std::string errors;
    for (const auto& file : kFiles) {
        TextFileBuilder out;
        file.save(settings, out);
        AtomicFileWriter writer(folder / file.name);
        const auto damage = std::find_if(keep.begin(), keep.end(), [&](const auto& p) { return p.file == file.name; });
        if (damage != keep.end())
            writer.keepOldAs(folder / BackupName(file.name));
        writer.write(out.text());
        if (writer.commit() && damage != keep.end())
            keep.erase(damage);
        if (!writer.error().empty())
            errors += writer.error() + "\n";
        if (!out.problem().empty())
            errors += "\"" + (folder / file.name).string() + "\": " + out.problem() + "\n";
    }
    return errors;
}

std::string PlaylistEntryRefusal(std::string_view path, std::string_view name)
{
    for (const std::string_view text : {path, name}) {
        if (const std::string refusal = QuotedTextRefusal(text); !refusal.empty())
            return "\"" + std::string(path) + "\" cannot be added to the playlist: its " + (text == path ? "path " : "name ") +
                   refusal + ", which the playlist file cannot hold.";
    }
    return {};
}

} // namespace kelvo
