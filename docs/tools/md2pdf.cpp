// kovra_md2pdf INPUT.md [MORE.md ...] OUTPUT.pdf: renders a Markdown guide
// into a PDF (A4, the text document's own layout) at build time. Several
// inputs make one guide, in the order given (a reference kept in a file of
// its own becomes a chapter of the guide). The PDF is written
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
    document.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);

    const QString target = QString::fromUtf8(output);
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
