#pragma once

// Beside the "…" pickers' file dialog: the picture under the cursor as it
// goes onto the web, with its size ("4.000 × 3.000 Pixel, 3,9 MB – wird
// fürs Netz verkleinert"). Made in the picture process on a thread of its
// own, which takes only the latest file asked for: the dialog never waits,
// however fast the cursor runs through a folder of a thousand photos.

#include <QWidget>
#include <memory>

class QFileDialog;
class QLabel;

namespace wizard {

class TPicturePreview : public QWidget {
    Q_OBJECT
public:
    explicit TPicturePreview(QWidget* parent = nullptr);
    // The thread finishes the picture it is making, shows nothing, and ends.
    ~TPicturePreview() override;

    // The file under the cursor; empty shows nothing.
    void Show(const QString& file);

    QLabel* Picture = nullptr;  // "PreviewPicture"
    QLabel* Text = nullptr;     // "PreviewText"

    struct TJobs;

private:
    std::shared_ptr<TJobs> jobs_;
};

// The preview put to the right of the dialog's list, following its cursor.
void AttachPreview(QFileDialog& dialog);

}  // namespace wizard
