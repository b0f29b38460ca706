#include "wizard/unsaved_mark.h"

#include <QLineEdit>

namespace wizard {

void TUnsavedMark::WatchPending(std::initializer_list<QLineEdit*> fields) {
    for (QLineEdit* field : fields)
        QObject::connect(field, &QLineEdit::textChanged, field, [this, field] { pending_.insert(field); });
}

void TUnsavedMark::Used(std::initializer_list<QLineEdit*> fields) {
    for (const QLineEdit* field : fields) pending_.remove(field);
}

void TUnsavedMark::Clear() {
    changed_ = false;
    pending_.clear();
}

}  // namespace wizard
