// A setup file to the setup-file reader, then the memory table of what it holds. A load
// either takes the whole file or changes nothing; what it took saves (its first 112 lines
// as Kelvo.ini's) and loads again to the same record and the same bytes.
#include "core/settings/memory_table.h"
#include "core/settings/settings_files.h"
#include "core/settings/setup_file.h"
#include "fuzz_support.h"

#include <cstdint>
#include <fstream>
#include <iterator>

namespace {

using namespace kelvo;

std::string Contents(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path folder = fuzz::ScratchFolder("setup");
    const auto input = folder / "input.ini";
    std::ofstream(input, std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    SignalSettings settings;
    const std::string before = fuzz::RecordImage(settings);
    const std::string problem = LoadSetupFile(settings, input);
    if (!problem.empty()) {
        fuzz::Check(fuzz::RecordImage(settings) == before, "a load that failed changed the record");
        fuzz::Check(problem.starts_with("\"" + input.string() + "\" "), "the message does not name the file");
        return 0;
    }

    const std::string table = MemoryTableText(settings);
    std::size_t lines = 0;
    for (std::size_t at = table.find("\r\n"); at != std::string::npos; at = table.find("\r\n", at + 2))
        ++lines;
    fuzz::Check(lines == 12 && table.ends_with("\r\n"), "the memory table does not hold twelve lines");

    const auto saved = folder / "saved.ini";
    fuzz::Check(SaveSetupFile(settings, saved).empty(), "the setup could not be saved");
    // The first 112 lines are those of the main settings file.
    fuzz::Check(SaveSettings(settings, folder).empty(), "the settings could not be saved");
    const std::string setup = Contents(saved);
    const std::string main = Contents(folder / kMainSettingsFile);
    std::size_t head = 0;
    for (int line = 0; line < 112; ++line)
        head = setup.find("\r\n", head) + 2;
    fuzz::Check(main.compare(0, head, setup, 0, head) == 0, "a setup file does not begin as Kelvo.ini does");
    SignalSettings again;
    fuzz::Check(LoadSetupFile(again, saved).empty(), "a saved setup does not load");
    fuzz::Check(fuzz::RecordImage(again) == fuzz::RecordImage(settings), "a saved setup loads to another record");
    const auto resaved = folder / "resaved.ini";
    fuzz::Check(SaveSetupFile(again, resaved).empty(), "the setup could not be saved again");
    fuzz::Check(Contents(resaved) == Contents(saved), "saving the same setup twice gave different bytes");
    return 0;
}
