#include "core/help/help_topics.h"
#include "core/help/rtf_reader.h"
#include "gui/help/help_window.h"
#include "kelvo_config.h"
#include "offscreen_app.h"

#include <QAbstractTextDocumentLayout>
#include <QListWidget>
#include <QTextBrowser>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace kelvo::bench {
namespace {

// A program folder holding the shipped topics, removed at the end of the benchmark.
class TopicFolder {
public:
    TopicFolder()
    {
        std::string name = (std::filesystem::temp_directory_path() / "kelvo-help-XXXXXX").string();
        if (::mkdtemp(name.data()) != nullptr)
            m_path = name;
        m_ready = !m_path.empty() && CopyMissingHelpTopics(KELVO_SOURCE_HELPDIR, m_path).empty();
    }
    ~TopicFolder()
    {
        if (!m_path.empty())
            std::filesystem::remove_all(m_path);
    }
    bool ready() const { return m_ready; }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
    bool m_ready = false;
};

// The viewer opened as HELP opens it, Welcome shown and painted.
void HelpOpenWithWelcome(benchmark::State& state)
{
    OffscreenApplication();
    const TopicFolder folder;
    if (!folder.ready()) {
        state.SkipWithError("the help topics could not be put in place");
        return;
    }
    for (auto _ : state) {
        gui::HelpWindow window(folder.path());
        window.open();
        QCoreApplication::processEvents();
    }
}

// The worst topics for the layout, one huge word or the size limit filled with empty
// paragraphs, and the longest shipped topic for scale.
std::string HugeWord(std::size_t letters)
{
    return "{\\rtf1 " + std::string(letters, 'x') + "}";
}

std::string EmptyParagraphsFillingTheSizeLimit()
{
    std::string rtf = "{\\rtf1 ";
    while (rtf.size() + 6 <= (8u << 20))
        rtf += "\\par ";
    return rtf + "}";
}

std::string ShippedLongestTopic()
{
    std::ifstream in(std::filesystem::path(KELVO_SOURCE_HELPDIR) / "help.rtf", std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Choosing a topic in an open viewer, until it is painted and laid out to its end.
void HelpTopicLayout(benchmark::State& state, std::string (*topic)())
{
    OffscreenApplication();
    const TopicFolder folder;
    if (!folder.ready()) {
        state.SkipWithError("the help topics could not be put in place");
        return;
    }
    std::ofstream(folder.path() / "help.rtf", std::ios::binary) << topic();
    gui::HelpWindow window(folder.path());
    window.open();
    auto* list = window.findChild<QListWidget*>(QStringLiteral("List1"));
    auto* view = window.findChild<QTextBrowser*>(QStringLiteral("rtb1"));
    for (auto _ : state) {
        state.PauseTiming();
        list->setCurrentRow(0);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        list->setCurrentRow(1);
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(view->document()->documentLayout()->documentSize());
    }
}

// The RTF reader alone on the longest topic.
void RtfReadLongestTopic(benchmark::State& state)
{
    std::ifstream in(std::filesystem::path(KELVO_SOURCE_HELPDIR) / "help.rtf", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadRtf(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

BENCHMARK(HelpOpenWithWelcome)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(HelpTopicLayout, shipped_help, ShippedLongestTopic)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(HelpTopicLayout, word_of_100k, [] { return HugeWord(100'000); })->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(HelpTopicLayout, word_of_1M, [] { return HugeWord(1'000'000); })->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(HelpTopicLayout, paragraphs_of_8MiB, EmptyParagraphsFillingTheSizeLimit)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(RtfReadLongestTopic)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace kelvo::bench
