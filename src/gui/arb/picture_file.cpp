#include "gui/arb/picture_file.h"

#include "core/runtime/atomic_file.h"
#include "core/runtime/regular_file.h"

#include <QBuffer>
#include <QImageReader>

namespace kelvo::gui {
namespace {

// Far beyond any picture the editor shows (it uses the top left 400 x 300 pixels); keeps
// a mistaken choice from filling memory.
// Decoded pictures are bounded by QImageReader's allocation limit (128 MB).
constexpr std::int64_t kPictureFileLimit = 256 << 20;

} // namespace

LoadedPicture LoadPicture(const std::filesystem::path& path)
{
    LoadedPicture result;
    const auto file = ReadRegularFile(path, kPictureFileLimit);
    if (file.tooLarge) {
        result.problem = file.problem + ", too large for a picture.";
        return result;
    }
    if (!file.problem.empty()) {
        result.problem = file.problem + ".";
        return result;
    }
    QByteArray bytes = QByteArray::fromRawData(file.bytes.data(), static_cast<qsizetype>(file.bytes.size()));
    QBuffer buffer(&bytes);
    // Bitmaps only, as the dialog offers and SAVE BITMAP writes: other decoders may take
    // seconds and a gigabyte over a few damaged bytes.
    QImageReader reader(&buffer, "bmp");
    reader.setDecideFormatFromContent(false);
    result.image = reader.read();
    if (result.image.isNull())
        result.problem = "cannot be loaded as a picture: " + reader.errorString().toStdString() + ".";
    return result;
}

std::string SavePicture(const QImage& image, const std::filesystem::path& path)
{
    // 24 bits per pixel, exactly the pixels shown.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP"))
        return "\"" + path.string() + "\" cannot be written: the picture cannot be encoded as a bitmap";
    return WriteFileAtomically(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

} // namespace kelvo::gui
