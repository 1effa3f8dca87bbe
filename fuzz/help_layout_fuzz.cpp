// libFuzzer target for the help window's layout of a topic: any bytes, read as RTF and
// bounded, fill a text document that lays out quickly (a slow input is a finding) and
// stays well short of the height the layout never finishes, even in the narrowest view.
#include "core/help/rtf_bounds.h"
#include "core/help/rtf_reader.h"
#include "fuzz_support.h"
#include "gui/help/rtf_document_builder.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

// The text layout needs an application: one on the offscreen platform for the whole run.
const QGuiApplication& Application()
{
    static int argc = 1;
    static char name[] = "help_layout_fuzz";
    static char* argv[] = {name, nullptr};
    static const QGuiApplication* const app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    return *app;
}

} // namespace

// The font database that the application keeps for the whole run holds fontconfig's
// patterns until the process ends.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Application();
    auto document = kelvo::ReadRtf(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!document)
        return 0;
    kelvo::BoundRtfDocument(*document);

    // As the help window's view sets its document up.
    QTextDocument text;
    text.setUndoRedoEnabled(false);
    text.setDefaultFont(QFont(QStringLiteral("Times New Roman"), 8));
    QTextOption wrapping = text.defaultTextOption();
    wrapping.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    text.setDefaultTextOption(wrapping);
    kelvo::gui::FillTextDocument(*document, text);
    for (const qreal width : {640.0, 1.0}) {
        text.setTextWidth(width);
        const qreal height = text.documentLayout()->documentSize().height();
        kelvo::fuzz::Check(height < (1 << 22), "the topic lays out taller than its bound allows");
    }
    return 0;
}
