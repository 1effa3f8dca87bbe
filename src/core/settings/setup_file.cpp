#include "core/settings/setup_file.h"

#include "core/runtime/atomic_file.h"
#include "core/runtime/program_folder.h"
#include "core/settings/settings_files.h"
#include "core/settings/text_file.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <system_error>
#include <utility>

namespace kelvo {
namespace {

// Every value of a setup file, in file order.
template <typename Settings, typename Visit> void VisitSetupValues(Settings& s, Visit&& visit)
{
    VisitSharedHead(s, visit);
    visit(s.OutDevice);
    visit(s.WaveBuildLength);
}

} // namespace

std::string LoadSetupFile(SignalSettings& settings, const std::filesystem::path& path)
{
    TextFieldReader in(path);
    std::string problem;
    if (!in.isOpen()) {
        // The reader does not count a missing file as a problem; a file the user chose is.
        problem = in.problem().empty() ? std::string("cannot be read: ") + std::strerror(ENOENT) : in.problem();
    } else {
        // Read into a copy so that a file damaged halfway changes nothing.
        auto loaded = std::make_unique<SignalSettings>(settings);
        VisitSetupValues(*loaded, [&](auto& field) { in.read(field); });
        problem = in.problem();
        if (problem.empty()) {
            // The copy differs from the record only in the values just read.
            settings = std::move(*loaded);
            return {};
        }
    }
    return "\"" + path.string() + "\" " + problem;
}

std::string SaveSetupFile(const SignalSettings& settings, const std::filesystem::path& path)
{
    TextFileBuilder out;
    VisitSetupValues(settings, [&](const auto& field) { out.add(field); });
    return WriteFileAtomically(path, out.text());
}

void DeleteSettingsFiles(const std::filesystem::path& folder)
{
    for (const auto name : {kMainSettingsFile, kUserStepFile, kMultitoneFile}) {
        std::error_code passedOver;
        std::filesystem::remove(ProgramFile(folder, name), passedOver);
    }
}

} // namespace kelvo
