#pragma once

#include <filesystem>
#include <string>

namespace kelvo {

// Where the user player's file sounds: the one output that every window's stop ends,
// whichever window started it.
class FileOutput {
public:
    virtual ~FileOutput() = default;

    // Stops whatever plays.
    virtual void stop() = 0;
    // Stops whatever plays, then plays `file` in a loop at once as the user's file, with
    // `status` on the status line. False, after saying why, when it cannot play; everything
    // is stopped then.
    virtual bool playFile(const std::filesystem::path& file, std::string status) = 0;
};

} // namespace kelvo
