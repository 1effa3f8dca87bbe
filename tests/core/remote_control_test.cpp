#include "core/remote/line_server.h"
#include "core/remote/remote_control.h"
#include "core/remote/scpi_session.h"
#include "fuzz_support.h"
#include "support/oscillator_rig.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <condition_variable>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kelvo::test {
namespace {

using namespace std::chrono_literals;

struct Remote : StartedRig {
    ScpiSession session{oscillator, [this] { ++exits; }};
    int exits = 0;

    std::string nextError() { return session.receive("SYST:ERR?"); }
};

struct Exchange {
    const char* line;
    const char* reply;
};

class Answers : public testing::TestWithParam<Exchange> {};

// Long and short forms in any case, chains with relative headers, units and every query.
TEST_P(Answers, AsAnInstrumentDoes)
{
    Remote remote;
    EXPECT_EQ(remote.session.receive(GetParam().line), GetParam().reply);
    EXPECT_EQ(remote.nextError(), "0,\"No error\"\n");
}

INSTANTIATE_TEST_SUITE_P(
    Commands, Answers,
    testing::Values(Exchange{"FREQuency 440;FREQ?", "440\n"},
                    Exchange{"freq 100;:SOURCE:FREQUENCY:LEFT 1.5 kHz;:freq:left?;RIGH?", "1500;100\n"},
                    Exchange{"FREQ:RIGHT 2e3 hz;FREQ:CW?;FREQ:RIGHt?", "1000;2000\n"},
                    Exchange{"func squ;FUNCTION?;:function triangle;func:shap?", "SQU;TRI\n"},
                    Exchange{"FUNC ttone;FUNC?;KELV:FIEL? Waveform", "TTON;9\n"},
                    Exchange{"VOLT -12;VOLT:LEFT?;VOLT:RIGH?", "-12;-12\n"},
                    Exchange{"VOLT:RIGH -3.5 dB;VOLT:RIGHT?;VOLT:LEV?", "-3.5;-20\n"},
                    Exchange{"PHAS:LEFT 90 DEG;PHAS:RIGH 45;PHAS:LEFT?;RIGH?", "90;45\n"},
                    Exchange{"CHAN:MODE quad;CHAN:MODE?;CHAN:MODE LPR;MODE?", "QUAD;LPR\n"},
                    Exchange{"RATE 48000;RATE?", "48000\n"}, Exchange{"OUTP?;OUTPUT:STATE?", "0;0\n"},
                    Exchange{"KELV:FIEL SweepKind,3;KELV:FIEL? SweepKind", "3\n"},
                    Exchange{"KELVO:FIELD MultiFreq[3],1300.25;KELV:FIEL? MultiFreq[3]", "1300.25\n"},
                    Exchange{"KELV:FIEL PlaylistName[2],\"My 'best'; tone\";KELV:FIEL? PlaylistName[2]", "\"My 'best'; tone\"\n"},
                    Exchange{"KELV:FIEL Freq,250;FREQ:RIGH?", "250\n"}, Exchange{"FREQ 300", ""},
                    Exchange{"SYST:VERS?", "1999.0\n"}, Exchange{"*RST;FUNC?;FREQ?;VOLT?", "SIN;1000;-20\n"},
                    Exchange{"FREQ? MIN;FREQ? MAXIMUM;FREQ:RIGH? def;VOLT? MIN;VOLT:RIGH? MAX", "1;96000;1000;-200;0\n"},
                    Exchange{"FREQ 500;FREQ:LEFT MAX;FREQ?;FREQ:RIGH?;VOLT:RIGH MIN;VOLT:RIGH?", "96000;500;-200\n"},
                    Exchange{"RATE MAX;RATE?;RATE? MIN;PHAS:LEFT MAX;PHAS:LEFT?", "192000;11025;360\n"},
                    Exchange{"KELV:FIEL MultiFreq[3],5;KELV:FIEL MultiFreq[3],DEF;KELV:FIEL? MultiFreq[3]", "1300\n"},
                    Exchange{"*ESE 36;*ESE?;*SRE 4;*SRE?;*TST?;*STB?;*ESR?", "36;4;0;0;0\n"}));

struct Refusal {
    const char* line;
    int code;
};

class Refusals : public testing::TestWithParam<Refusal> {};

// A refused command queues its error and leaves the record as it was.
TEST_P(Refusals, QueueTheirErrorAndChangeNothing)
{
    Remote remote;
    const std::string before = fuzz::RecordImage(remote.settings());
    EXPECT_EQ(remote.session.receive(GetParam().line), "");
    EXPECT_EQ(fuzz::RecordImage(remote.settings()), before);
    const std::string error = remote.nextError();
    EXPECT_TRUE(error.starts_with(std::to_string(GetParam().code) + ",\"")) << error;
    EXPECT_EQ(remote.nextError(), "0,\"No error\"\n");
}

INSTANTIATE_TEST_SUITE_P(Errors, Refusals,
                         testing::Values(Refusal{"FREQ 1e9", -222}, Refusal{"FREQ:LEFT 0.5", -222}, Refusal{"VOLT 1", -222},
                                         Refusal{"RATE 1000", -222}, Refusal{"*RCL 11", -222}, Refusal{"*SAV 0", -222},
                                         Refusal{"KELV:FIEL SweepKind,9", -222}, Refusal{"KELV:FIEL RemotePort,70000", -222},
                                         Refusal{"FUNC WOBBLE", -224}, Refusal{"OUTP MAYBE", -224},
                                         Refusal{"KELV:FIEL Frq,1", -224},
                                         Refusal{"KELV:FIEL PlaylistPath[1],\"/etc/passwd\"", -224},
                                         Refusal{"KELV:FIEL PlaylistName[1],'say \"hi\"'", -224}, Refusal{"RATE 44100.5", -224},
                                         Refusal{"FREQ abc", -224}, Refusal{"FREQ:CENTER 5", -113}, Refusal{"FREQuen 5", -113},
                                         Refusal{"*IDN", -113}, Refusal{"OUTP:STAT? ON", -108}, Refusal{"FREQ 5 volts", -131},
                                         Refusal{"VOLT 1 V", -221}, Refusal{"VOLT:UNIT VPP", -221}, Refusal{"FREQ", -109},
                                         Refusal{"FREQ 1,2", -108}, Refusal{"FREQ 'abc", -102}, Refusal{"FREQ%5", -102},
                                         Refusal{"FREQ\x01 5", -102}, Refusal{"FREQ? MAXI", -224},
                                         Refusal{"KELV:FIEL MultiFreq[3],MAX", -224}, Refusal{"*ESE 256", -222},
                                         Refusal{"*ESR? 1", -108}, Refusal{"*WAI 1", -108}));

TEST(RemoteErrors, QueueInOrderAndOverflowAtTheEnd)
{
    Remote remote;
    std::string line = "FREQ 200;FREQ 0;VOLT -6;BOGUS";
    for (std::size_t i = 0; i < ScpiStatus::kMaxErrors; ++i)
        line += ";BOGUS";
    remote.session.receive(line);
    EXPECT_EQ(remote.settings().Freq[0], 200);
    EXPECT_EQ(remote.settings().LevelL[0], -6);
    EXPECT_TRUE(remote.nextError().starts_with("-222,"));
    EXPECT_TRUE(remote.nextError().starts_with("-113,"));
    remote.session.receive("*CLS");
    EXPECT_EQ(remote.nextError(), "0,\"No error\"\n");
    remote.session.receive(line);
    for (std::size_t i = 1; i < ScpiStatus::kMaxErrors; ++i)
        remote.nextError();
    EXPECT_EQ(remote.nextError(), "-350,\"Queue overflow\"\n");
}

// Each error class sets its event bit; the status byte sums the queue and the enabled events.
TEST(RemoteErrors, SetTheEventBitsOfTheirClass)
{
    Remote remote;
    EXPECT_EQ(remote.session.receive("FREQ 1e9;BOGUS;*ESE 48;*SRE 32;*STB?"), "100\n");
    EXPECT_EQ(remote.session.receive("*ESR?;*ESR?;*STB?"), "48;0;4\n");
    EXPECT_EQ(remote.session.receive("*CLS;*STB?;SYST:ERR?"), "0;0,\"No error\"\n");
}

// A change from a client takes the keys' path: the panel shows it at once, and a playing
// signal is rendered again and restarted after the start delay, which *OPC? waits out.
TEST(RemoteChanges, ShowOnThePanelAndRestartAPlayingSignal)
{
    Remote remote;
    EXPECT_EQ(remote.session.receive("FUNC SQU;FREQ 1234.5;OUTP ON;*OPC?;OUTP?"), "");
    EXPECT_TRUE(remote.session.waiting());
    EXPECT_EQ(remote.panel.last.waveformCode, 2);
    EXPECT_EQ(remote.panel.last.freq.substr(0, 6), "1234.5");
    remote.loop.advance(400ms);
    EXPECT_EQ(remote.session.resume(), "");
    remote.loop.advance(200ms);
    EXPECT_EQ(remote.session.resume(), "1;1\n");

    // *OPC holds nothing and reports the start once it has finished; *WAI holds like *OPC?.
    EXPECT_EQ(remote.session.receive("OUTP OFF;OUTP ON;*OPC;*ESR?"), "0\n");
    EXPECT_EQ(remote.session.receive("*WAI;*ESR?"), "");
    remote.loop.advance(600ms);
    EXPECT_EQ(remote.session.resume(), "1\n");

    const int opens = remote.streamDevice.opens;
    remote.session.receive("VOLT -30");
    EXPECT_EQ(remote.panel.last.levelL, "-30 dB");
    EXPECT_TRUE(remote.oscillator.starting()) << "not restarted as a key press restarts it";
    remote.loop.advance(600ms);
    EXPECT_EQ(remote.streamDevice.opens, opens + 1);
    remote.session.receive("OUTP OFF");
    EXPECT_EQ(remote.settings().Playing, 0);
}

// The user player plays a file of the program folder for a client, and no other.
TEST(RemoteChanges, PlayNoUserFileFromOutsideTheProgramFolder)
{
    Remote remote;
    remote.settings().PlaylistPath[0] = "/etc/passwd";
    EXPECT_EQ(remote.session.receive("FUNC USER;OUTP ON;OUTP?"), "0\n");
    EXPECT_TRUE(remote.nextError().starts_with("-221,"));
    remote.settings().PlaylistPath[0] = (remote.folder.path() / "tone.wav").string();
    remote.session.receive("OUTP ON");
    EXPECT_EQ(remote.nextError(), "0,\"No error\"\n");
}

TEST(RemoteChanges, SaveAndRecallTheMemories)
{
    Remote remote;
    remote.session.receive("FREQ 777;*SAV 4;FREQ 100;*RCL 4");
    EXPECT_EQ(remote.settings().Freq[0], 777);
    EXPECT_EQ(remote.panel.last.memDisplay, "M4");
    remote.session.receive("SYST:EXIT");
    EXPECT_EQ(remote.exits, 1);
}

// Runs posted tasks on the test's thread; the server's thread posts.
class ThreadedLoop final : public EventLoop {
public:
    void post(Task task) override
    {
        const std::lock_guard lock(m_mutex);
        m_tasks.push_back(std::move(task));
        m_wake.notify_one();
    }
    TimerId startTimer(std::chrono::milliseconds, bool, Task) override { return 1; }
    void stopTimer(TimerId) override {}

    // Runs tasks until `done` holds; false after five seconds.
    bool runUntil(const std::function<bool()>& done)
    {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (!done()) {
            std::unique_lock lock(m_mutex);
            if (!m_wake.wait_until(lock, deadline, [this] { return !m_tasks.empty(); }))
                return false;
            Task task = std::move(m_tasks.front());
            m_tasks.pop_front();
            lock.unlock();
            task();
        }
        return true;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Task> m_tasks;
};

struct Lines final : LineServer::Handler {
    void lineReceived(LineServer::ClientId, std::string line) override { lines.push_back(std::move(line)); }
    void lineTooLong(LineServer::ClientId) override { ++tooLong; }
    void clientLeft(LineServer::ClientId) override { ++left; }
    std::vector<std::string> lines;
    int tooLong = 0;
    int left = 0;
};

int Connect(std::uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    return fd;
}

void Send(int fd, const std::string& text)
{
    ASSERT_EQ(::send(fd, text.data(), text.size(), MSG_NOSIGNAL), static_cast<ssize_t>(text.size()));
}

// A server on a free loopback port, and one client.
class LineServerTest : public testing::Test {
protected:
    LineServerTest()
    {
        EXPECT_EQ(server.listen(0, {}), "");
        client = Connect(server.port());
    }
    ~LineServerTest() override { ::close(client); }

    ThreadedLoop loop;
    Lines handler;
    LineServer server{loop, handler};
    int client = -1;
};

TEST_F(LineServerTest, DropsLinesOverTheLimitAndClientsOverEight)
{
    Send(client, "*IDN?\r\n" + std::string(LineServer::kMaxLine + 1, 'x'));
    Send(client, std::string(1000, 'y') + "\nFREQ?\n" + std::string(LineServer::kMaxLine, 'z') + "\n");
    ASSERT_TRUE(loop.runUntil([this] { return handler.lines.size() == 3; }));
    EXPECT_EQ(handler.lines[0], "*IDN?");
    EXPECT_EQ(handler.lines[1], "FREQ?");
    EXPECT_EQ(handler.lines[2].size(), LineServer::kMaxLine);
    EXPECT_EQ(handler.tooLong, 1);

    std::vector<int> others;
    for (std::size_t i = 1; i <= LineServer::kMaxClients; ++i)
        others.push_back(Connect(server.port()));
    // The ninth is closed at once: it reads the end of the stream.
    char byte = 0;
    EXPECT_EQ(::recv(others.back(), &byte, 1, 0), 0);
    for (const int fd : others)
        ::close(fd);
    // Seven of them were served besides the first client.
    ASSERT_TRUE(loop.runUntil([this] { return handler.left == static_cast<int>(LineServer::kMaxClients) - 1; }));
}

TEST_F(LineServerTest, DropsAClientThatDoesNotReadItsAnswers)
{
    Send(client, "hello\n");
    ASSERT_TRUE(loop.runUntil([this] { return !handler.lines.empty(); }));
    // Far more than the kernel's socket buffers hold.
    const std::string chunk(64 * 1024, 'a');
    for (int i = 0; i < 1024; ++i)
        server.send(1, chunk);
    EXPECT_TRUE(loop.runUntil([this] { return handler.left == 1; }));
}

// RemotePort 0, the start value, opens no socket; a port set in the setup is served.
TEST(RemoteControl, ListensOnlyWhenTheOptionAsks)
{
    Remote remote;
    RemoteControl control(remote.oscillator, remote.loop, {});
    control.followOption();
    remote.loop.runPosted();
    EXPECT_EQ(control.port(), 0);

    std::uint16_t freePort = 0;
    {
        Lines handler;
        LineServer probe(remote.loop, handler);
        ASSERT_EQ(probe.listen(0, {}), "");
        freePort = probe.port();
    }
    for (const std::uint16_t port : {freePort, std::uint16_t{0}}) {
        remote.settings().RemotePort = port;
        remote.oscillator.notify();
        remote.loop.runPosted();
        EXPECT_EQ(control.port(), port);
    }
    EXPECT_TRUE(remote.messages.shown.empty());
}

} // namespace
} // namespace kelvo::test
