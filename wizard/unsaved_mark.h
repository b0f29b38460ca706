#pragma once

// Whether the wizard holds anything the last written or opened page lacks:
// a change of the page, or text typed into a field for the next entry that
// no command has taken yet. The second outlives a finish, since the page
// does not hold it.

#include <QSet>
#include <initializer_list>

class QLineEdit;

namespace wizard {

class TUnsavedMark {
public:
    // Text the user puts into these fields is pending until a command uses
    // it (or leaves its own text there).
    void WatchPending(std::initializer_list<QLineEdit*> fields);
    // Something the page is made of changed.
    void Set() { changed_ = true; }
    // A command took what these fields hold, or put its own text there.
    void Used(std::initializer_list<QLineEdit*> fields);
    // The page as the controls hold it is written; pending text stays.
    void Written() { changed_ = false; }
    // Nothing unsaved, nothing pending: a start or an opened page.
    void Clear();
    bool IsSet() const { return changed_ || !pending_.isEmpty(); }

private:
    bool changed_ = false;
    QSet<const QLineEdit*> pending_;
};

}  // namespace wizard
