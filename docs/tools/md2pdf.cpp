// kovra_md2pdf INPUT.md [MORE.md ...] OUTPUT.pdf: renders a Markdown guide
// into a PDF (A4, the text document's own layout) at build time. Several
// inputs make one guide, in the order given (a reference kept in a file of
// its own becomes a chapter of the guide). The PDF is written
// beside its target and renamed into place, so a failed run never leaves a
// half-written guide where the programs look for it.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QFontMetricsF>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QColor>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// Page margins of the guides, in millimetres.
constexpr qreal MARGIN_X = 20, MARGIN_Y = 18;

// The first "# " heading names the document in the PDF's properties.
QString titleOf(const QString& markdown)
{
    for (const QString& line : markdown.split('\n')) {
        if (line.startsWith("# ")) {
            return line.mid(2).trimmed();
        }
    }
    return QString();
}

// What a table cell needs across: the widest word it holds (a narrower
// column would cut a key such as "Dopant.Taun" in two) and the width of its
// whole text on one line, both measured in the fonts the cell uses.
struct CellWidth {
    qreal widestWord = 0;
    qreal wholeText = 0;
};

CellWidth measureCell(const QTextTableCell& cell, const QFont& defaultFont)
{
    CellWidth width;
    for (auto it = cell.begin(); !it.atEnd(); ++it) {
        const QTextBlock block = it.currentBlock();
        if (!block.isValid()) {
            continue;
        }
        qreal word = 0;  // a word may run across fragments ("`Taun`,")
        for (auto fragmentIt = block.begin(); !fragmentIt.atEnd(); ++fragmentIt) {
            const QTextFragment fragment = fragmentIt.fragment();
            QFont font = fragment.charFormat().font().resolve(defaultFont);
            const QFontMetricsF metrics(font);
            for (const QChar c : fragment.text()) {
                if (c.isSpace()) {
                    width.widestWord = std::max(width.widestWord, word);
                    word = 0;
                } else {
                    word += metrics.horizontalAdvance(c);
                }
                width.wholeText += metrics.horizontalAdvance(c);
            }
        }
        width.widestWord = std::max(width.widestWord, word);
    }
    return width;
}

// Qt gives every column of a table the same share of the line, so a
// six-column key table put "Trap1.Taun" into a column a few letters wide.
void layOutTable(QTextTable* table, const QFont& defaultFont, qreal textWidth)
{
    // Reference tables set a size smaller than the text, as printed manuals
    // do, so a key and its example fit side by side.
    QTextCursor whole = table->firstCursorPosition();
    whole.setPosition(table->lastCursorPosition().position(), QTextCursor::KeepAnchor);
    QTextCharFormat smaller;
    smaller.setFontPointSize(8.5);
    whole.mergeCharFormat(smaller);

    const int columns = table->columns();
    constexpr qreal padding = 4;
    std::vector<qreal> minimum(columns, 0), text(columns, 0);
    for (int row = 0; row < table->rows(); ++row) {
        for (int column = 0; column < columns; ++column) {
            const CellWidth cell = measureCell(table->cellAt(row, column), defaultFont);
            minimum[column] = std::max(minimum[column], cell.widestWord + 2 * padding + 2);
            text[column] = std::max(text[column], cell.wholeText + 2 * padding);
        }
    }
    // Every column starts at its widest word; the rest of the text width
    // goes to the columns that would still wrap, after how much of their
    // text wraps, and no column grows beyond its text on one line.
    std::vector<qreal> width = minimum;
    qreal spare = textWidth, wrapping = 0;
    for (int column = 0; column < columns; ++column) {
        spare -= width[column];
        wrapping += std::max<qreal>(text[column] - width[column], 0);
    }
    if (spare > 0 && wrapping > 0) {
        const qreal pour = std::min(spare, wrapping);
        for (int column = 0; column < columns; ++column) {
            width[column] += pour * std::max<qreal>(text[column] - width[column], 0) / wrapping;
        }
    }
    qreal total = 0;
    for (qreal w : width) {
        total += w;
    }
    QVector<QTextLength> widths;
    for (qreal w : width) {
        widths.append(QTextLength(QTextLength::PercentageLength, 100.0 * w / total));
    }
    QTextTableFormat format = table->format();
    format.setWidth(QTextLength(QTextLength::PercentageLength,
                                std::min<qreal>(100.0, 100.0 * total / textWidth)));
    format.setColumnWidthConstraints(widths);
    format.setCellPadding(padding);
    format.setCellSpacing(0);
    format.setBorder(1);
    format.setBorderBrush(QColor(170, 170, 170));
    format.setBorderCollapse(true);
    format.setHeaderRowCount(1);
    table->setFormat(format);
}

void layOutTables(QTextFrame* frame, const QFont& defaultFont, qreal textWidth)
{
    for (QTextFrame* child : frame->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child)) {
            layOutTable(table, defaultFont, textWidth);
        }
        layOutTables(child, defaultFont, textWidth);
    }
}

// Code blocks keep their lines but wrap what is wider than the page
// instead of running past the right margin, in a smaller face; images are
// loaded from the guide's folder and scaled down to the text width.
void layOutBlocks(QTextDocument& document, const QString& folder, qreal textWidth)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextCursor cursor(block);
        QTextBlockFormat blockFormat = block.blockFormat();
        if (blockFormat.nonBreakableLines()) {
            blockFormat.setNonBreakableLines(false);
            cursor.setBlockFormat(blockFormat);
            cursor.select(QTextCursor::BlockUnderCursor);
            QTextCharFormat smaller;
            smaller.setFontPointSize(8.5);
            cursor.mergeCharFormat(smaller);
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat()) {
                continue;
            }
            QTextImageFormat image = fragment.charFormat().toImageFormat();
            const QString path = QDir(folder).filePath(image.name());
            const QImage picture(path);
            if (picture.isNull()) {
                std::fprintf(stderr, "kovra_md2pdf: cannot read the image %s\n", qPrintable(path));
                continue;
            }
            document.addResource(QTextDocument::ImageResource, QUrl(image.name()), picture);
            const qreal width = std::min<qreal>(textWidth, picture.width() * 0.75);
            image.setWidth(width);
            image.setHeight(width * picture.height() / picture.width());
            QTextCursor imageCursor(&document);
            imageCursor.setPosition(fragment.position());
            imageCursor.setPosition(fragment.position() + fragment.length(),
                                    QTextCursor::KeepAnchor);
            imageCursor.setCharFormat(image);
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: kovra_md2pdf INPUT.md [MORE.md ...] OUTPUT.pdf\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    QString markdown;
    for (int i = 1; i < argc - 1; ++i) {
        QFile input(QString::fromUtf8(argv[i]));
        if (!input.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "kovra_md2pdf: cannot read %s\n", argv[i]);
            return 1;
        }
        if (!markdown.isEmpty()) {
            markdown += "\n\n";
        }
        markdown += QString::fromUtf8(input.readAll());
    }
    const char* const output = argv[argc - 1];

    QTextDocument document;
    QFont font("DejaVu Sans");
    font.setPointSizeF(10.5);
    document.setDefaultFont(font);
    document.setDefaultStyleSheet("code, pre { font-family: 'DejaVu Sans Mono'; }"
                                  "table { border-collapse: collapse; }");
    // Lines break between words only; a word wider than its column is the
    // table layout's business, never cut in two.
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(QTextOption::WordWrap);
    document.setDefaultTextOption(option);
    document.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    // The page is laid out in the pixels fonts are measured in (A4 less the
    // writer's margins below), so the widths given to table columns and
    // images are the widths printed; print() scales the pages to the PDF.
    const qreal pixelsPerMm = QGuiApplication::primaryScreen()->logicalDotsPerInchX() / 25.4;
    const QSizeF page((210.0 - 2 * MARGIN_X) * pixelsPerMm, (297.0 - 2 * MARGIN_Y) * pixelsPerMm);
    document.setDocumentMargin(0);
    document.setPageSize(page);
    layOutTables(document.rootFrame(), font, page.width());
    layOutBlocks(document, QFileInfo(QString::fromUtf8(argv[1])).absolutePath(), page.width());

    const QString target = QString::fromUtf8(output);
    const QString partial = target + ".part";
    {
        QPdfWriter writer(partial);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(MARGIN_X, MARGIN_Y, MARGIN_X, MARGIN_Y),
                              QPageLayout::Millimeter);
        writer.setTitle(titleOf(markdown));
        writer.setCreator("Kovra");
        document.print(&writer);
    }
    if (QFileInfo(partial).size() == 0) {
        QFile::remove(partial);
        std::fprintf(stderr, "kovra_md2pdf: nothing written for %s\n", output);
        return 1;
    }
    QFile::remove(target);
    if (!QFile::rename(partial, target)) {
        QFile::remove(partial);
        std::fprintf(stderr, "kovra_md2pdf: cannot write %s\n", output);
        return 1;
    }
    return 0;
}
