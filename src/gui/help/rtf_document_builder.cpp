#include "gui/help/rtf_document_builder.h"

#include <QTextCursor>
#include <QTextDocument>

namespace kelvo::gui {
namespace {

// Twips to the text document's pixels (96 per inch).
qreal Pixels(int twips)
{
    return twips / 15.0;
}

QFont::StyleHint Hint(RtfFontFamily family)
{
    switch (family) {
    case RtfFontFamily::Roman: return QFont::Serif;
    case RtfFontFamily::Swiss: return QFont::SansSerif;
    case RtfFontFamily::Modern: return QFont::Monospace;
    case RtfFontFamily::Script: return QFont::Cursive;
    case RtfFontFamily::Decorative: return QFont::Decorative;
    default: return QFont::AnyStyle;
    }
}

Qt::Alignment Alignment(RtfAlignment alignment)
{
    switch (alignment) {
    case RtfAlignment::Centre: return Qt::AlignHCenter;
    case RtfAlignment::Right: return Qt::AlignRight;
    case RtfAlignment::Justified: return Qt::AlignJustify;
    default: return Qt::AlignLeft;
    }
}

QTextBlockFormat BlockFormat(const RtfParagraph& paragraph)
{
    QTextBlockFormat format;
    format.setAlignment(Alignment(paragraph.alignment));
    format.setLeftMargin(Pixels(paragraph.leftIndent));
    format.setTextIndent(Pixels(paragraph.firstIndent));
    format.setTopMargin(Pixels(paragraph.spaceBefore));
    format.setBottomMargin(Pixels(paragraph.spaceAfter));
    // Both RTF and the text layout measure tab stops from the left margin, not the indent.
    QList<QTextOption::Tab> tabs;
    for (const int stop : paragraph.tabStops)
        tabs.append(QTextOption::Tab(Pixels(stop), QTextOption::LeftTab));
    format.setTabPositions(tabs);
    return format;
}

QTextCharFormat CharFormat(const RtfStyle& style, const std::vector<RtfFont>& fonts)
{
    QTextCharFormat format;
    format.setFontWeight(style.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(style.italic);
    format.setFontUnderline(style.underline);
    if (style.halfPoints > 0)
        format.setFontPointSize(style.halfPoints / 2.0);
    if (style.font >= 0) {
        const RtfFont& font = fonts[static_cast<std::size_t>(style.font)];
        if (!font.name.empty())
            format.setFontFamilies({QString::fromStdString(font.name)});
        format.setFontStyleHint(Hint(font.family));
    }
    if (style.colour)
        format.setForeground(QColor(style.colour->red, style.colour->green, style.colour->blue));
    return format;
}

} // namespace

void FillTextDocument(const RtfDocument& source, QTextDocument& target)
{
    target.clear();
    QTextCursor cursor(&target);
    cursor.beginEditBlock();
    bool first = true;
    for (const RtfParagraph& paragraph : source.paragraphs) {
        if (first)
            cursor.setBlockFormat(BlockFormat(paragraph));
        else
            cursor.insertBlock(BlockFormat(paragraph));
        first = false;
        for (const RtfRun& run : paragraph.runs)
            cursor.insertText(QString::fromUtf8(run.text.data(), static_cast<qsizetype>(run.text.size())),
                              CharFormat(run.style, source.fonts));
    }
    cursor.endEditBlock();
}

} // namespace kelvo::gui
