// kovra_md2pdf INPUT.md OUTPUT.pdf: renders a Markdown guide into a PDF
// (A4, the text document's own layout) at build time. The PDF is written
// beside its target and renamed into place, so a failed run never leaves a
// half-written guide where the programs look for it.
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

#include <cstdio>

namespace {

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

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: kovra_md2pdf INPUT.md OUTPUT.pdf\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    QFile input(QString::fromUtf8(argv[1]));
    if (!input.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "kovra_md2pdf: cannot read %s\n", argv[1]);
        return 1;
    }
    const QString markdown = QString::fromUtf8(input.readAll());

    QTextDocument document;
    QFont font("DejaVu Sans");
    font.setPointSizeF(10.5);
    document.setDefaultFont(font);
    document.setDefaultStyleSheet("code, pre { font-family: 'DejaVu Sans Mono'; }"
                                  "table { border-collapse: collapse; }");
    document.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);

    const QString target = QString::fromUtf8(argv[2]);
    const QString partial = target + ".part";
    {
        QPdfWriter writer(partial);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(20, 18, 20, 18), QPageLayout::Millimeter);
        writer.setTitle(titleOf(markdown));
        writer.setCreator("Kovra");
        document.print(&writer);
    }
    if (QFileInfo(partial).size() == 0) {
        QFile::remove(partial);
        std::fprintf(stderr, "kovra_md2pdf: nothing written for %s\n", argv[2]);
        return 1;
    }
    QFile::remove(target);
    if (!QFile::rename(partial, target)) {
        QFile::remove(partial);
        std::fprintf(stderr, "kovra_md2pdf: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
