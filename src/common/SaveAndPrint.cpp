#include "common/SaveAndPrint.h"

#include "common/MessageBox.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>

namespace vantorel {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("vantorel::SaveAndPrint", text);
}

} // namespace

void saveCsvAs(QWidget* window, const QString& title, const QString& what, const std::function<QByteArray()>& csv)
{
    QFileDialog dialog(window, title);
    dialog.setObjectName(QStringLiteral("dlgSaveCsv"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(tr("CSV files (*.csv)"));
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(csv()) < 0 || !file.commit()) {
        showMessage(window, tr("%1 could not be saved as %2: %3").arg(what, quotedValue(path), file.errorString()));
        return;
    }
    showMessage(window, tr("%1 has been saved as %2.").arg(what, quotedValue(path)));
}

void printWithDialog(QWidget* window, const QString& documentName, QPageLayout::Orientation orientation,
                     QString* lastPrintFile, const std::function<bool(QPrinter&)>& print, const QString& printed,
                     const QString& failed)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(documentName);
    printer.setPageOrientation(orientation);
    if (lastPrintFile)
        printer.setOutputFileName(*lastPrintFile);
    QPrintDialog dialog(&printer, window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (lastPrintFile)
        *lastPrintFile = printer.outputFileName();
    showMessage(window, print(printer) ? printed : failed);
}

} // namespace vantorel
