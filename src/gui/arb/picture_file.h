#pragma once

#include <QImage>

#include <filesystem>
#include <string>

namespace kelvo::gui {

// A picture read from a file, or why there is none ("is not a regular file.").
struct LoadedPicture {
    QImage image;
    std::string problem;
};

// Reads a BMP picture from a regular file; never blocks on a FIFO or a device.
LoadedPicture LoadPicture(const std::filesystem::path& path);

// Writes `image` as a 24-bit BMP through the atomic writer; returns the error naming the
// file, empty on success.
[[nodiscard]] std::string SavePicture(const QImage& image, const std::filesystem::path& path);

} // namespace kelvo::gui
