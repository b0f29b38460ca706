#include "wizard/linked_page.h"

#include <QFileInfo>
#include <filesystem>
#include <string>
#include <system_error>

#include "core/folder_names.h"
#include "core/page_file.h"
#include "core/page_reader.h"
#include "core/page_references.h"
#include "ui/text_boundary.h"

namespace wizard {

namespace {

[[noreturn]] void Refuse(const QString& message) {
    // Messages naming a path carry it in UTF-8, as the file system has it.
    throw core::TPathFileError(message.toUtf8().toStdString());
}

QString Quoted(const QString& name) {
    return QStringLiteral("„") + name + QStringLiteral("“");
}

// Where the opened file is, with every link on the way resolved: the very
// file that was judged, not the name it was reached by.
QString ResolvedPath(const core::TOpenFile& file) {
    std::error_code error;
    const std::filesystem::path path =
        std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(file.Get()), error);
    return error ? QString() : ui::FromUtf8(path.string());
}

// Read through the folder once more, as the finish will write it.
bool IsReadablePage(const core::TPageFolder& folder, const std::string& name) {
    // A save cut off may have left the page short; opening it offers the
    // previous bytes back.
    return core::ReadPage(core::ReadPossiblePage(folder, name).bytes).has_value() ||
           !core::LeftPageCopy(folder, name).empty();
}

}  // namespace

TLinkedPage FindLinkedPage(const QString& folder, const QString& currentFile, const core::TPageDescription& current,
                           const core::TLinkEntry& link) {
    const QString target = ui::FromAnsi(link.Target);
    const std::string name = core::LinkedPageName(link.Target);
    const QString notAPage =
        QStringLiteral("Das Verweisziel ") + Quoted(target) + QStringLiteral(" ist keine Seite in diesem Ordner");
    if (name.empty()) Refuse(notAPage);
    const QString shown = ui::FromUtf8(core::PrintableName(name));
    const QString thisPage = Quoted(shown) + QStringLiteral(" ist die Seite, die gerade bearbeitet wird");

    const core::TPageFolder pages(ui::ToPath(folder));
    const core::TOpenedName opened = pages.Open(name);
    if (opened.file) {
        const QString file = ResolvedPath(opened.file);
        if (file.isEmpty())
            Refuse(QStringLiteral("Die Datei ") + Quoted(shown) + QStringLiteral(" lässt sich nicht öffnen"));
        if (file == QFileInfo(currentFile).canonicalFilePath()) Refuse(thisPage);
        if (!IsReadablePage(pages, name))
            Refuse(QFileInfo(file).fileName() +
                   QStringLiteral(" ist keine Seite von HTML Tavirel oder wurde danach von Hand geändert"));
        return {file, std::nullopt};
    }
    if (opened.fault == core::TNameFault::OutsideFolder || opened.fault == core::TNameFault::LinkOutside)
        Refuse(QStringLiteral("Das Verweisziel ") + Quoted(target) +
               QStringLiteral(" führt aus dem Ordner dieser Seite hinaus"));
    // Only nothing at all under that name makes room for a new page: a
    // folder, a device or a link to nowhere is no page to start.
    std::error_code error;
    const std::filesystem::path entry = ui::ToPath(folder) / std::filesystem::path(name);
    if (opened.fault != core::TNameFault::Missing ||
        std::filesystem::symlink_status(entry, error).type() != std::filesystem::file_type::not_found)
        Refuse(notAPage);
    // The finish writes the page file into the working directory, and the
    // links and pictures the new page keeps are named from this folder: in
    // a subfolder they would lead nowhere.
    if (name.find('/') != std::string::npos)
        Refuse(QStringLiteral("Die Seite ") + Quoted(shown) +
               QStringLiteral(" gibt es noch nicht. Neue Seiten entstehen nur im Ordner dieser Seite, "
                              "nicht in einem Unterordner"));
    const QString file = QFileInfo(folder + QLatin1Char('/') + ui::FromUtf8(name)).absoluteFilePath();
    if (file == QFileInfo(currentFile).absoluteFilePath()) Refuse(thisPage);
    core::TPageDescription page = PageForLink(current, link.Text);
    page.LongExtension = name.ends_with(".html");
    return {file, page};
}

core::TPageDescription PageForLink(core::TPageDescription current, const std::string& linkText) {
    current.Title = linkText;
    current.HeadingText = linkText;
    current.HeadingImage.clear();
    current.TextLines.clear();
    current.Images.clear();
    return current;
}

}  // namespace wizard
