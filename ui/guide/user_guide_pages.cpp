// Makes the user guide at build time: each Markdown page as an HTML page of
// the same name, and index.html listing the pages by their first heading, in
// the order given. A page is written beside its final name and then renamed
// into place; an unreadable page fails the build.
//   corvel-guide-pages OUTPUT-FOLDER PAGE.md...

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QSaveFile>
#include <QStringList>
#include <QTextDocument>
#include <QTextStream>

#include <optional>

namespace {

constexpr const char* kGuideTitle = "Corvel Setup Utility: User guide";
constexpr int kBrowserPointSize = 11;  // the size a browser shows text at

struct Page {
    QString fileName;  // "running.html"
    QString title;     // the page's first heading
};

std::optional<QString> ReadText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return QString::fromUtf8(file.readAll());
}

QString FirstHeading(const QString& markdown, const QString& fallback) {
    for (const QString& line : markdown.split('\n')) {
        if (line.startsWith("# ")) return line.mid(2).trimmed();
    }
    return fallback;
}

bool WriteHtml(const QString& path, const QString& markdown, const QString& title) {
    QTextDocument document;
    document.setDefaultFont(QFont("sans-serif", kBrowserPointSize));
    document.setMarkdown(markdown);
    document.setMetaInformation(QTextDocument::DocumentTitle, title);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(document.toHtml().toUtf8());
    return file.commit();
}

std::optional<Page> MakePage(const QString& source, const QDir& output) {
    const std::optional<QString> markdown = ReadText(source);
    if (!markdown) return std::nullopt;
    const QFileInfo info(source);
    Page page{info.completeBaseName() + ".html", FirstHeading(*markdown, info.completeBaseName())};
    if (!WriteHtml(output.filePath(page.fileName), *markdown, page.title)) return std::nullopt;
    return page;
}

bool MakeIndex(const QList<Page>& pages, const QDir& output) {
    QString markdown = QString("# %1\n\n").arg(kGuideTitle);
    for (const Page& page : pages) markdown += QString("- [%1](%2)\n").arg(page.title, page.fileName);
    return WriteHtml(output.filePath("index.html"), markdown, kGuideTitle);
}

}  // namespace

int main(int argc, char** argv) {
    // Fonts need a window system; none is shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    QTextStream errors(stderr);
    if (arguments.size() < 2) {
        errors << "usage: corvel-guide-pages OUTPUT-FOLDER PAGE.md...\n";
        return 2;
    }
    const QDir output(arguments.takeFirst());
    if (!output.mkpath(".")) {
        errors << "cannot make the folder " << output.path() << "\n";
        return 1;
    }
    QList<Page> pages;
    for (const QString& source : arguments) {
        const std::optional<Page> page = MakePage(source, output);
        if (!page) {
            errors << "cannot make the HTML page of " << source << "\n";
            return 1;
        }
        pages << *page;
    }
    if (MakeIndex(pages, output)) return 0;
    errors << "cannot write the guide's index in " << output.path() << "\n";
    return 1;
}
