#pragma once

#include "data/ReportQuery.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace vantorel {

// One row of the report generator as it stands: the choice (picked or typed), the value, and
// whether the row is in force (row 1 always is).
struct ReportCriterion {
    QString choice;
    QString value;
    bool inForce = false;
};

using ReportCriteria = std::array<ReportCriterion, 4>;

// The choices offered in the generator's lists, in the order shown.
QStringList firstCriterionChoices();
QStringList furtherCriterionChoices();

// "All Vehicles" and "All Employees", exactly: the first-row choices that need no value.
bool isAllRecordsChoice(const QString& choice);

// What a set of criteria asks for, ready to run.
struct ReportPlan {
    data::ReportTable table;
    QList<data::ReportCondition> conditions;
    // The criteria in words, for the printed heading: "Make is "Ford" and Year is "2020"".
    QString summary;
};

// The plan of the criteria, or the message that refuses them.
struct ReportDecision {
    std::optional<ReportPlan> plan;
    QString refusal;
};

// Reads the rows in force in order; the first row that cannot be searched refuses the report.
ReportDecision planReport(const ReportCriteria& criteria);

// The column titles of a report of `table`, one per column it fills (six for Person, eight for
// Vehicle).
QStringList columnTitles(data::ReportTable table);

} // namespace vantorel
