#include "wizard/page_copy_offer.h"

#include <QFileInfo>
#include <filesystem>

#include "core/page_file.h"
#include "ui/question_box.h"
#include "ui/text_boundary.h"

namespace wizard {

bool OfferPageCopy(QWidget* window, const QString& fileName) {
    const std::filesystem::path page = ui::ToPath(fileName);
    const std::filesystem::path copy = core::LeftPageCopy(page);
    if (copy.empty()) return false;
    const QString question = QStringLiteral("Beim letzten Speichern von „") + QFileInfo(fileName).fileName() +
                             QStringLiteral("“ wurde das Programm unterbrochen. Die vorherige Fassung liegt in „") +
                             ui::FromUtf8(copy.string()) + QStringLiteral("“. Diese Fassung wiederherstellen?");
    if (!ui::AskYesNo(window, question)) return false;
    core::RestorePageCopy(page);
    return true;
}

}  // namespace wizard
