#include "ui/error_display.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <exception>
#include <new>

#include "core/page_file.h"
#include "ui/text_boundary.h"

namespace ui {

QString ApplicationTitleFromPath(const QString& programPath) {
    QString name = QFileInfo(programPath).fileName();
    const qsizetype dot = name.indexOf(u'.');
    if (dot >= 0) name.truncate(dot);
    if (name.isEmpty()) return name;
    return name.left(1) + name.mid(1).toLower();
}

QString ApplicationTitle() {
    return ApplicationTitleFromPath(QCoreApplication::applicationFilePath());
}

QString ErrorDisplayText(const QString& message) {
    if (!message.isEmpty() && message.back().unicode() > u'.') return message + u'.';
    return message;
}

void ShowErrorDisplay(QWidget* parent, const QString& message) {
    QMessageBox box(QMessageBox::Critical, ApplicationTitle(), ErrorDisplayText(message), QMessageBox::Ok, parent);
    // A file name in the message may hold "<" or "&"; show it as it is.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void RunGuarded(QWidget* parent, const std::function<void()>& handler) {
    QString message;
    try {
        handler();
        return;
    } catch (const std::bad_alloc&) {
        // A page too large for memory (say, millions of line breaks per
        // image) must not end the program; "std::bad_alloc" tells no one anything.
        message = QStringLiteral("Nicht genügend Arbeitsspeicher");
    } catch (const core::TPathFileError& error) {
        message = FromUtf8(error.what());
    } catch (const std::exception& error) {
        // The core's messages carry file names as Windows-1252 bytes.
        message = FromAnsi(error.what());
    } catch (...) {
        message = QStringLiteral("Unbekannter Fehler");
    }
    // Shown outside the catch blocks so that the modal loop does not run
    // with an exception in flight.
    try {
        ShowErrorDisplay(parent, message);
    } catch (...) {
        // Not even the display could be built (out of memory): the event
        // loop must still go on, so the error ends here.
    }
}

}  // namespace ui
