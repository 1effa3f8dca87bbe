// The RIFF walker through both players' open paths: the stream reader (open, read the
// data twice round through a read-ahead, rewind) and the legacy player (load the whole data).
#include "core/oscillator/unavailable_device.h"
#include "core/playback/legacy_player.h"
#include "core/playback/read_ahead.h"
#include "core/playback/wave_reader.h"
#include "fuzz_support.h"

#include <algorithm>
#include <cstdint>
#include <fstream>

namespace {

using namespace kelvo;
using fuzz::CountingMessages;

void ReadThrough(WaveReader& reader, std::int64_t fileSize)
{
    fuzz::Check(reader.dataSize() > 0 && reader.dataOffset() + reader.dataSize() <= fileSize, "the data lies outside the file");
    const std::int64_t block = reader.format().blockAlign;
    fuzz::Check(block > 0 && reader.dataSize() % block == 0, "the data is not whole frames");
    fuzz::Check(reader.bufferSize() > 0 && reader.bufferSize() % block == 0, "a play buffer is not whole frames");
    ReadAhead ahead(reader.loopedData(), 0);
    for (int pass = 0; pass < 2; ++pass) {
        std::int64_t left = reader.dataSize();
        for (int buffer = 0; left > 0; buffer = (buffer + 1) % PlayerBufferCount) {
            const auto piece = reader.buffer(buffer).first(static_cast<std::size_t>(std::min(left, reader.bufferSize())));
            const std::size_t got = ahead.take(piece);
            fuzz::Check(got == piece.size(), "the data could not be read to its end");
            left -= static_cast<std::int64_t>(got);
        }
    }
    reader.seek(0);
    fuzz::Check(reader.position() == reader.dataOffset(), "the rewind missed the start of the data");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path file = fuzz::ScratchFolder("wave") / "input.wav";
    static UnavailableDevice device("no sound output while fuzzing");
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    CountingMessages messages;
    WaveReader reader;
    reader.open(file, messages);
    if (reader.isOpen())
        ReadThrough(reader, static_cast<std::int64_t>(size));
    fuzz::Check(messages.count == (reader.isOpen() ? 0 : 1), "an open did not show exactly one message on failure");
    reader.close();

    CountingMessages legacyMessages;
    LegacyPlayer legacy(device, legacyMessages);
    fuzz::Check(!legacy.play(file, true), "the legacy player played on a device that cannot open");
    fuzz::Check(legacyMessages.count == 1, "the legacy player did not say why it does not play");
    return 0;
}
