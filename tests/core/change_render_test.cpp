#include "core/oscillator/change_render.h"
#include "core/runtime/random_source.h"
#include "core/synth/wave_engine.h"
#include "support/decoded_wave.h"
#include "support/test_support.h"

#include <condition_variable>
#include <deque>
#include <mutex>

namespace kelvo::test {
namespace {

// A loop that takes posts from any thread and runs them when the test says so.
class ThreadedLoop final : public EventLoop {
public:
    void post(Task task) override
    {
        const std::lock_guard lock(m_mutex);
        m_posted.push_back(std::move(task));
    }
    TimerId startTimer(std::chrono::milliseconds, bool, Task) override { return 1; }
    void stopTimer(TimerId) override {}

    void runPosted()
    {
        std::deque<Task> posted;
        {
            const std::lock_guard lock(m_mutex);
            posted.swap(m_posted);
        }
        for (Task& task : posted)
            task();
    }

private:
    std::mutex m_mutex;
    std::deque<Task> m_posted;
};

// The frequency of the left channel of test.wav, from its zero crossings.
double RenderedFrequency(const TempFolder& folder, double rate)
{
    const std::vector<double> left = DecodedChannel(folder / "test.wav", 0);
    int crossings = 0;
    for (std::size_t n = 1; n < left.size(); ++n)
        crossings += (left[n - 1] < 0) != (left[n] < 0);
    return crossings / 2.0 / (static_cast<double>(left.size()) / rate);
}

// Changes made while one renders: only the newest is delivered and left in test.wav, and a
// drop forgets a request before it is delivered.
TEST(ChangeRender, DeliversOnlyTheNewestChange)
{
    TempFolder folder;
    RandomSource random;
    WaveEngine engine(random);
    SignalFiles files(engine);
    ThreadedLoop loop;
    ChangeRender render(files, folder.path(), loop);
    SignalSettings s;
    s.SampleRate[0] = 192000;
    s.WaveBuildLength = 1; // two seconds: the later requests come while it renders
    std::vector<double> delivered;
    const auto done = [&delivered](ChangeRender::Result result) {
        EXPECT_TRUE(result.rendered);
        delivered.push_back(result.settings.Freq[0]);
    };
    for (const double freq : {1000.0, 2000.0, 3000.0}) {
        s.Freq[0] = s.FreqR[0] = freq;
        render.request(s, done);
    }
    render.wait();
    loop.runPosted();
    EXPECT_EQ(delivered, std::vector<double>{3000});
    EXPECT_NEAR(RenderedFrequency(folder, 192000), 3000, 1);
    EXPECT_FALSE(ChangeRender::onRenderThread());

    s.Freq[0] = s.FreqR[0] = 4000;
    render.request(s, done);
    render.drop();
    render.wait();
    loop.runPosted();
    EXPECT_EQ(delivered, std::vector<double>{3000});
}

} // namespace
} // namespace kelvo::test
