#pragma once

// The name a picked picture gets on the page: relative to the page's
// folder, written so that a browser finds the file; a picture from
// elsewhere may first be copied beside the page, since a "../" name breaks
// once the folder is uploaded.

#include <QString>

class QLineEdit;
class QWidget;

namespace wizard {

// The chosen file's name relative to the page's folder, as the file system
// spells it; "../" or absolute when it lies outside.
QString RelativePictureName(const QString& pageFolder, const QString& file);
// A name as the page must write it for the browser to find the file.
QString AsPageName(QString name);
// The name the page gives the chosen file, asking about a copy where it
// lies outside; empty when the user dropped it. Questions go to parent.
QString NameOnPage(QWidget* parent, const QString& file, const QString& pageFolder);
// "Bild auswählen": the file dialog, opened on the picture the field names
// or in the page's folder; the chosen picture's name goes into the field.
void PickPicture(QWidget* window, const QString& pageFolder, QLineEdit* field);

}  // namespace wizard
