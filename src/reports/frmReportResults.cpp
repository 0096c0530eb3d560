#include "reports/frmReportResults.h"

#include "common/Controls.h"
#include "common/MessageBox.h"
#include "common/SaveAndPrint.h"
#include "common/StoreAction.h"
#include "common/WindowKeys.h"
#include "data/Database.h"
#include "reports/ReportColumnView.h"
#include "reports/ReportCsv.h"
#include "reports/ReportPrinter.h"
#include "reports/TextColumnModel.h"
#include "reports/frmReportGen.h"

#include <QAction>
#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QPushButton>

#include <algorithm>
#include <utility>

namespace vantorel {

namespace {

// A column's entries: a view over a model, so a report of many thousand records opens at once.
ReportColumnView* makeColumnList(const QString& objectName, TextColumnModel* entries, QWidget* parent)
{
    auto* list = new ReportColumnView(parent);
    list->setObjectName(objectName);
    list->setModel(entries);
    // Every column is as wide as the others, however long its entries are.
    list->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
    list->setMinimumHeight(list->fontMetrics().height() * 20);
    return list;
}

enum class TitleFits { OnOneLine, WordByWord };

// Wide enough for the longest title either table gives a column, or for its longest word: a
// title wraps at its blanks, so eight columns still fit the frame in large text.
int columnWidth(const QFontMetrics& metrics, TitleFits fit)
{
    int widest = 0;
    for (auto table : {data::ReportTable::Person, data::ReportTable::Vehicle}) {
        for (const QString& title : columnTitles(table)) {
            for (const QString& part : fit == TitleFits::OnOneLine ? QStringList{title} : title.split(u' '))
                widest = std::max(widest, metrics.horizontalAdvance(part));
        }
    }
    return widest + metrics.averageCharWidth() * 2;
}

} // namespace

frmReportResults::frmReportResults(QWidget* parent)
    : QWidget(parent)
    , cmdPrint(makeButton(QStringLiteral("cmdPrint"), tr("&Print"), this))
    , cmdOK(makeButton(QStringLiteral("cmdOK"), tr("&OK"), this))
{
    setObjectName(QStringLiteral("frmReportResults"));
    setWindowTitle(tr("Report Results"));
    for (int column = 0; column < kColumnCount; ++column) {
        const QString number = QString::number(column + 1);
        auto* entries = new TextColumnModel(this);
        auto* list = makeColumnList(QStringLiteral("lstField") + number, entries, this);
        m_columns[column] = Column{makeCaption(QStringLiteral("lblTitle") + number, QString(), this, list), list,
                                   entries};
    }
    layOut();
    for (const Column& column : m_columns)
        addColumnCommands(column.list);
    setDefaultButton(this, cmdOK);
    connect(cmdOK, &QPushButton::clicked, this, &frmReportResults::cmdOK_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmReportResults::cmdPrint_Click);
}

bool frmReportResults::build(const frmReportGen& generator)
{
    // Messages go to the generator's window: this one is never shown when the report fails.
    QWidget* messageParent = generator.window();
    const ReportDecision decision = planReport(generator.criteria());
    if (!decision.plan) {
        showMessage(messageParent, decision.refusal);
        return false;
    }
    if (!fill(*decision.plan, messageParent))
        return false;
    m_columns.front().list->setFocus();
    return true;
}

QSize frmReportResults::sizeHint() const
{
    // Every title on one line where the frame has room for it.
    const int wider = columnWidth(fontMetrics(), TitleFits::OnOneLine) - columnWidth(fontMetrics(), TitleFits::WordByWord);
    const QSize laidOut = QWidget::sizeHint();
    return {laidOut.width() + kColumnCount * wider, laidOut.height()};
}

void frmReportResults::layOut()
{
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(4);
    const int width = columnWidth(fontMetrics(), TitleFits::WordByWord);
    QWidget* previous = nullptr;
    for (int column = 0; column < kColumnCount; ++column) {
        const Column& parts = m_columns[column];
        parts.title->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        parts.title->setWordWrap(true);
        parts.title->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
        parts.list->setMinimumWidth(width);
        grid->addWidget(parts.title, 0, column);
        grid->addWidget(parts.list, 1, column);
        grid->setColumnStretch(column, 1);
        if (previous)
            setTabOrder(previous, parts.list);
        previous = parts.list;
    }
    setTabOrderChain({previous, cmdPrint, cmdOK});

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdPrint);
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    grid->addLayout(buttons, 2, 0, 1, kColumnCount);
}

bool frmReportResults::fill(const ReportPlan& plan, QWidget* messageParent)
{
    QList<data::TextColumn> entries;
    if (!withStore(messageParent, [&] {
            data::Database db;
            entries = data::reportColumns(db, plan.table, plan.conditions);
        }))
        return false;
    const QStringList titles = columnTitles(plan.table);
    for (int column = 0; column < titles.size(); ++column) {
        m_columns[column].title->setText(titles.at(column));
        m_columns[column].entries->setColumn(std::move(entries[column]));
    }
    m_subject = plan.table == data::ReportTable::Person ? tr("Employees") : tr("Vehicles");
    m_criteria = plan.summary;
    return true;
}

void frmReportResults::cmdOK_Click()
{
    // Inside the frame the window lives in a child-window frame, which is what has to close.
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->close();
    else
        close();
}

PrintedReport frmReportResults::printedReport() const
{
    // The columns the report fills: those with a title.
    PrintedReport report{m_subject, m_criteria, {}, {}};
    for (const Column& column : m_columns) {
        if (column.title->text().isEmpty())
            continue;
        report.titles.append(column.title->text());
        report.columns.append(column.entries->column().toStringList());
    }
    return report;
}

void frmReportResults::addColumnCommands(ReportColumnView* list)
{
    list->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* copy = new QAction(tr("Copy"), list);
    copy->setObjectName(QStringLiteral("mnuCopy"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, list, [list] { copySelectedEntries(list); });
    auto* save = new QAction(tr("Save Report as CSV…"), list);
    save->setObjectName(QStringLiteral("mnuSaveCsv"));
    connect(save, &QAction::triggered, this, &frmReportResults::saveAsCsv);
    list->addActions({copy, save});
}

void frmReportResults::copySelectedEntries(const ReportColumnView* list)
{
    QStringList entries;
    for (const QModelIndex& entry : list->selectionModel()->selectedIndexes())
        entries << entry.data(TextColumnModel::kWholeTextRole).toString();
    if (!entries.isEmpty())
        QGuiApplication::clipboard()->setText(entries.join(u'\n'));
}

void frmReportResults::saveAsCsv()
{
    saveCsvAs(this, tr("Save Report as CSV"), tr("The report"), [this] { return reportAsCsv(printedReport()); });
}

void frmReportResults::cmdPrint_Click()
{
    // Eight columns read best across the long side of the page; the dialog can change it.
    printWithDialog(
        this, tr("Vantorel report"), QPageLayout::Landscape, m_lastPrintFile,
        [this](QPrinter& printer) { return ReportPrinter(printedReport()).print(printer); },
        tr("Report results have been sent to the printer."),
        tr("The report could not be printed. Please check the printer and try again."));
}

} // namespace vantorel
