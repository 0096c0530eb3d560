#pragma once

#include <QByteArray>
#include <QPageLayout>
#include <QString>

#include <functional>

class QPrinter;
class QWidget;

namespace vantorel {

// Asks where to save a CSV file (the save dialog "dlgSaveCsv", titled `title`), writes it whole
// under another name and renames it into place, and tells the user: "`what` has been saved as
// "path"." or why it could not be. Cancelling saves and says nothing.
void saveCsvAs(QWidget* window, const QString& title, const QString& what, const std::function<QByteArray()>& csv);

// Opens the print dialog on the default printer (PDF output available where no printer exists);
// when it is accepted, prints with `print` and tells the user `printed`, or `failed` when the
// printer refused. Cancelling prints and says nothing. `lastPrintFile`, when given, keeps the PDF
// file chosen there for the next time.
void printWithDialog(QWidget* window, const QString& documentName, QPageLayout::Orientation orientation,
                     QString* lastPrintFile, const std::function<bool(QPrinter&)>& print, const QString& printed,
                     const QString& failed);

} // namespace vantorel
