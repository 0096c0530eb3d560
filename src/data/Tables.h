#pragma once

#include <QString>
#include <QStringList>

#include <span>

namespace vantorel::data {

// How the program uses a field: text as typed, the yes/no Manager flag, or the Password text that
// log-in compares and no listing ever shows.
enum class FieldKind { Text, YesNo, Secret };

// The column beside a table's fields that holds each append's identity, unique in the table, so
// that an append repeated after its outcome was unknown stores the record once. No field of the
// records: listings, reports and copies leave it out.
inline constexpr char kAppendKeyColumn[] = "AppendKey";

struct FieldDescription {
    const char* name;
    FieldKind kind = FieldKind::Text;
    // The column's title in a report, for the fields a report lists.
    const char* title = nullptr;

    // The name as it stands in a statement: "Date" is a reserved word in SQL and is quoted.
    QString sqlName() const;
};

// One table of the store: its name and its fields in the order the program appends them. The
// schema, every read, every append and the report columns are made from these descriptions.
struct TableDescription {
    const char* name;
    std::span<const FieldDescription> fields;

    QString sqlName() const { return QString::fromLatin1(name); }
    // The fields a report lists: all but the secret one.
    QStringList shownFieldNames() const;
    // Their titles, in the same order.
    QStringList shownFieldTitles() const;
    // "insert into T (F1, F2...) values (?, ?...)" for all fields in order, with as many
    // records' worth of placeholders as asked for.
    QString insertStatement(int records = 1) const;
    // "insert into T (F1, F2..., AppendKey) values (?, ?..., ?)": one record and its identity.
    QString keyedInsertStatement() const;
};

inline constexpr FieldDescription kPersonFields[] = {
    {"IDNumber", FieldKind::Text, "ID Number"}, {"LName", FieldKind::Text, "Last Name"},
    {"FName", FieldKind::Text, "First Name"},   {"Address", FieldKind::Text, "Address"},
    {"Telephone", FieldKind::Text, "Telephone"}, {"Password", FieldKind::Secret},
    {"Manager", FieldKind::YesNo, "Manager"},
};
inline constexpr FieldDescription kVehicleFields[] = {
    {"VNumber", FieldKind::Text, "Vehicle Number"}, {"ContractNumber", FieldKind::Text, "Contract Number"},
    {"License", FieldKind::Text, "License"},        {"Make", FieldKind::Text, "Make"},
    {"Model", FieldKind::Text, "Model"},            {"Color", FieldKind::Text, "Color"},
    {"Year", FieldKind::Text, "Year"},              {"DatePurchased", FieldKind::Text, "Date Purchased"},
};
inline constexpr FieldDescription kServicingFields[] = {
    {"VNumber"}, {"IDNumber"}, {"Location"}, {"Date"}, {"StartTime"}, {"StopTime"}, {"Comments"},
};

inline constexpr TableDescription kPersonTable{"Person", kPersonFields};
inline constexpr TableDescription kVehicleTable{"Vehicle", kVehicleFields};
inline constexpr TableDescription kServicingTable{"Servicing", kServicingFields};

inline constexpr const TableDescription* kAllTables[] = {&kPersonTable, &kVehicleTable, &kServicingTable};

struct Vehicle;

// A vehicle's fields as texts in the order of kVehicleFields, for whatever lists or shows them
// field by field (an append, the vehicle labels named "lbl" and the field's name).
QStringList fieldTexts(const Vehicle& vehicle);

} // namespace vantorel::data
