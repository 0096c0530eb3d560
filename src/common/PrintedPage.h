#pragma once

#include <QFont>
#include <QRectF>
#include <QString>

#include <functional>

class QPainter;
class QPrinter;

namespace vantorel::printing {

// What every printout of the program shares: margins of at least 10 mm, its three fonts, its
// lines of text and "Page n of m" at the foot of each page.

QFont headingFont();
QFont titleFont();
QFont bodyFont();

// A stored value may hold line breaks and tabs; a line of the page shows them as blanks.
QString oneLine(QString text);

// Draws `text` on one line of `box`, cut with "…" where it is longer.
void drawLine(QPainter& painter, const QRectF& box, Qt::Alignment alignment, const QString& text);

// The page's printable area, once its margins are at least 10 mm.
struct PageArea {
    qreal width = 0;
    qreal height = 0;
    qreal lineHeight = 0; // one line of the body font, with its spacing
};

// Prints `pageCount` pages onto `printer` (only those chosen in the print dialog, all when none
// were), each by `paintPage(painter, page)` under its footer. `measure` lays the printout out
// first, on the page area the printer gives, and returns how many pages it takes. False when the
// printer could not be started or refused a page.
bool printPages(QPrinter& printer, const std::function<int(const PageArea& area, const QPainter& painter)>& measure,
                const std::function<void(QPainter& painter, int page)>& paintPage);

} // namespace vantorel::printing
