#include "wizard/page_copy_offer.h"

#include <filesystem>

#include "core/folder_names.h"
#include "core/page_file.h"
#include "ui/question_box.h"
#include "ui/text_boundary.h"

namespace wizard {

bool OfferPageCopy(QWidget* window, const core::TPageFolder& folder, const std::string& name) {
    const std::filesystem::path copy = core::LeftPageCopy(folder, name);
    if (copy.empty()) return false;
    // The page is put back only where it is still the file the user was
    // asked about.
    const core::TJudgedPage page = core::LookAtPage(folder, name);
    const QString question = QStringLiteral("Beim letzten Speichern von „") + ui::FromUtf8(core::PrintableName(name)) +
                             QStringLiteral("“ wurde das Programm unterbrochen. Die vorherige Fassung liegt in „") +
                             ui::FromUtf8(copy.string()) + QStringLiteral("“. Diese Fassung wiederherstellen?");
    if (!ui::AskYesNo(window, question)) return false;
    core::RestorePageCopy(folder, name, page);
    return true;
}

}  // namespace wizard
