// libFuzzer target for the editor's LOAD BITMAP: any file either loads as a picture or is
// refused with a reason, never both, and a loaded picture digitises into the table's range.
#include "core/arb/digitise.h"
#include "core/runtime/atomic_file.h"
#include "fuzz_support.h"
#include "gui/arb/picture_file.h"

#include <QImageReader>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kelvo;
    static const std::filesystem::path file = [] {
        // Pictures of a few megapixels are enough to find faults and keep each input fast.
        QImageReader::setAllocationLimit(16);
        return fuzz::ScratchFolder("picture") / "input.bmp";
    }();
    if (!WriteFileAtomically(file, std::string_view(reinterpret_cast<const char*>(data), size)).empty())
        return 0;
    const gui::LoadedPicture picture = gui::LoadPicture(file);
    fuzz::Check(picture.image.isNull() != picture.problem.empty(), "a picture with a problem, or neither");
    if (picture.image.isNull())
        return 0;
    const QImage rgb = picture.image.convertToFormat(QImage::Format_RGB32);
    const PixelGrid grid{
        {reinterpret_cast<const std::uint32_t*>(rgb.constBits()), static_cast<std::size_t>(rgb.sizeInBytes()) / 4},
        rgb.width(),
        rgb.height(),
        static_cast<std::size_t>(rgb.bytesPerLine()) / 4};
    for (const std::int32_t value : Digitise(grid))
        fuzz::Check(value >= -kCentreRow && value < kViewHeight - kCentreRow, "a value left -150..149");
    return 0;
}
