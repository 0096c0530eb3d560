#include "common/PrintedPage.h"

#include <QFontMetricsF>
#include <QPageRanges>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

namespace vantorel::printing {

namespace {

// Paper needs room at its edges for the printer's grip and the reader's thumbs.
constexpr qreal kLeastMarginMm = 10;

QFont fontOfSize(qreal points, bool bold)
{
    QFont font;
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void keepLeastMargins(QPrinter& printer)
{
    const QMarginsF chosen = printer.pageLayout().margins(QPageLayout::Millimeter);
    const QMarginsF least(std::max(chosen.left(), kLeastMarginMm), std::max(chosen.top(), kLeastMarginMm),
                          std::max(chosen.right(), kLeastMarginMm), std::max(chosen.bottom(), kLeastMarginMm));
    printer.setPageMargins(least, QPageLayout::Millimeter);
}

void paintFooter(QPainter& painter, const PageArea& area, int page, int pageCount)
{
    painter.setFont(bodyFont());
    drawLine(painter, QRectF(0, area.height - area.lineHeight, area.width, area.lineHeight), Qt::AlignHCenter,
             QStringLiteral("Page %1 of %2").arg(page + 1).arg(pageCount));
}

} // namespace

QFont headingFont()
{
    return fontOfSize(14, true);
}

QFont titleFont()
{
    return fontOfSize(9, true);
}

QFont bodyFont()
{
    return fontOfSize(9, false);
}

QString oneLine(QString text)
{
    for (QChar& character : text) {
        if (character == QLatin1Char('\n') || character == QLatin1Char('\r') || character == QLatin1Char('\t'))
            character = QLatin1Char(' ');
    }
    return text;
}

void drawLine(QPainter& painter, const QRectF& box, Qt::Alignment alignment, const QString& text)
{
    const QString shown = QFontMetricsF(painter.font(), painter.device())
                              .elidedText(oneLine(text), Qt::ElideRight, box.width());
    painter.drawText(box, alignment | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}

bool printPages(QPrinter& printer, const std::function<int(const PageArea& area, const QPainter& painter)>& measure,
                const std::function<void(QPainter& painter, int page)>& paintPage)
{
    keepLeastMargins(printer);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRectF paintable = printer.pageLayout().paintRectPixels(printer.resolution());
    const PageArea area{paintable.width(), paintable.height(), QFontMetricsF(bodyFont(), &printer).height() * 1.35};
    const int pageCount = std::max(1, measure(area, painter));
    const QPageRanges chosen = printer.pageRanges();
    bool firstPrinted = true;
    for (int page = 0; page < pageCount; ++page) {
        if (!chosen.isEmpty() && !chosen.contains(page + 1))
            continue;
        if (!firstPrinted && !printer.newPage())
            return false;
        firstPrinted = false;
        paintPage(painter, page);
        paintFooter(painter, area, page, pageCount);
    }
    return painter.end();
}

} // namespace vantorel::printing
