#include "transfer/CsvSource.h"

#include "data/StoreError.h"
#include "data/StoredValues.h"
#include "data/Tables.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <array>

namespace vantorel::transfer {

using data::FieldKind;
using data::StoreError;
using data::TableDescription;

namespace {

// The records of an RFC 4180 file, their fields as the bytes between the separators, one at a time.
class CsvRecords {
public:
    explicit CsvRecords(const QString& path)
        : m_file(path)
        , m_name(QFileInfo(path).fileName())
    {
        if (!m_file.open(QIODevice::ReadOnly))
            throw StoreError(QStringLiteral("Could not open %1.").arg(path), m_file.errorString());
        fill();
        if (m_buffer.startsWith("\xEF\xBB\xBF"))
            m_at = 3;
    }

    // Reads the next record's fields; false at the end of the file.
    bool next(QList<QByteArray>& fields)
    {
        fields.clear();
        m_recordLine = m_line;
        if (!more())
            return false;
        QByteArray field;
        bool quoted = false;  // inside a quoted field
        bool wasQuoted = false;
        while (true) {
            if (!more()) {
                if (quoted)
                    fail(QStringLiteral("a quoted field is not closed before the end of the file"));
                fields << field;
                return true;
            }
            const char c = m_buffer.at(m_at++);
            if (c == '\n')
                ++m_line;
            if (quoted) {
                if (c != '"')
                    field += c;
                else if (peek() == '"')
                    field += char(m_buffer.at(m_at++));
                else
                    quoted = false;
                continue;
            }
            if (c == ',') {
                fields << field;
                field.clear();
                wasQuoted = false;
            } else if (c == '\n' || (c == '\r' && peek() == '\n')) {
                if (c == '\r')
                    ++m_at, ++m_line;
                fields << field;
                return true;
            } else if (c == '"' && field.isEmpty() && !wasQuoted) {
                quoted = wasQuoted = true;
            } else if (c == '"' || wasQuoted) {
                fail(wasQuoted ? QStringLiteral("a quoted field goes on after its closing quote")
                               : QStringLiteral("a field that does not begin with a quote holds one"));
            } else {
                field += c;
            }
        }
    }

    qint64 line() const { return m_recordLine; }

    [[noreturn]] void fail(const QString& reason) const
    {
        throw StoreError(QStringLiteral("%1, line %2: %3; nothing was imported.").arg(m_name).arg(m_recordLine).arg(reason),
                         QString());
    }

private:
    bool more()
    {
        if (m_at < m_buffer.size())
            return true;
        fill();
        return m_at < m_buffer.size();
    }

    char peek()
    {
        return more() ? m_buffer.at(m_at) : '\0';
    }

    void fill()
    {
        m_buffer = m_file.read(1 << 20);
        m_at = 0;
    }

    QFile m_file;
    QString m_name;
    QByteArray m_buffer;
    qsizetype m_at = 0;
    qint64 m_line = 1;
    qint64 m_recordLine = 1;
};

QString decoded(const CsvRecords& records, const QByteArray& bytes)
{
    // Stateless, and a byte-order mark inside a field is a character like any other.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        records.fail(QStringLiteral("the file is not UTF-8 text"));
    return text.isNull() ? QStringLiteral("") : text;
}

bool isWord(const QString& text, std::initializer_list<const char*> words)
{
    const QString word = text.trimmed();
    return std::any_of(words.begin(), words.end(),
                       [&](const char* w) { return word.compare(QLatin1String(w), Qt::CaseInsensitive) == 0; });
}

QVariant yesNo(const CsvRecords& records, const QString& text)
{
    if (isWord(text, {"yes", "true", "1", "-1"}))
        return 1;
    if (text.trimmed().isEmpty() || isWord(text, {"no", "false", "0"}))
        return 0;
    records.fail(QStringLiteral("Manager holds \"%1\", which is neither Yes nor No").arg(text));
}

// The table's record of one row of the file.
void toRecord(const CsvRecords& records, const TableDescription& table, const std::vector<int>& fieldOfColumn,
              const QList<QByteArray>& fields, QVariantList& record)
{
    if (fields.size() != qsizetype(fieldOfColumn.size()))
        records.fail(QStringLiteral("the row has %1 fields where the first row names %2")
                         .arg(fields.size())
                         .arg(fieldOfColumn.size()));
    record.resize(qsizetype(table.fields.size()));
    for (qsizetype column = 0; column < fields.size(); ++column) {
        const int field = fieldOfColumn[size_t(column)];
        QString text = decoded(records, fields.at(column));
        if (text.startsWith(QLatin1Char('\'')))
            text.remove(0, 1);
        record[field] = table.fields[size_t(field)].kind == FieldKind::YesNo ? yesNo(records, text) : QVariant(text);
    }
}

class CsvTableReader : public TableReader {
public:
    CsvTableReader(const QString& path, const TableDescription& table, const std::vector<int>& fieldOfColumn)
        : m_records(path)
        , m_table(table)
        , m_fieldOfColumn(fieldOfColumn)
    {
        m_records.next(m_fields); // the column names, read when the source was opened
    }

    bool next(QVariantList& record) override
    {
        if (!m_records.next(m_fields))
            return false;
        toRecord(m_records, m_table, m_fieldOfColumn, m_fields, record);
        return true;
    }

    QString position() const override { return QStringLiteral("line %1").arg(m_records.line()); }

private:
    CsvRecords m_records;
    const TableDescription& m_table;
    const std::vector<int>& m_fieldOfColumn;
    QList<QByteArray> m_fields;
};

// The field a column's name stands for: its field name or its report title, letter case ignored.
int fieldNamed(const TableDescription& table, const QString& name)
{
    for (size_t i = 0; i < table.fields.size(); ++i) {
        const auto& field = table.fields[i];
        if (name.compare(QLatin1String(field.name), Qt::CaseInsensitive) == 0
            || (field.title && name.compare(QLatin1String(field.title), Qt::CaseInsensitive) == 0))
            return int(i);
    }
    return -1;
}

} // namespace

CsvSource::CsvSource(const TableDescription& table, const QString& path)
    : m_table(table)
    , m_path(path)
{
    CsvRecords records(path);
    QList<QByteArray> fields;
    if (!records.next(fields))
        records.fail(QStringLiteral("the file is empty; its first row must name the columns"));
    std::vector<bool> named(table.fields.size(), false);
    for (const QByteArray& bytes : std::as_const(fields)) {
        const QString name = decoded(records, bytes).trimmed();
        const int field = fieldNamed(table, name);
        if (field < 0)
            records.fail(QStringLiteral("the table %1 has no field \"%2\"").arg(table.sqlName(), name));
        if (named[size_t(field)])
            records.fail(QStringLiteral("the field %1 is named twice").arg(QLatin1String(table.fields[size_t(field)].name)));
        named[size_t(field)] = true;
        m_fieldOfColumn.push_back(field);
    }
    for (size_t field = 0; field < named.size(); ++field) {
        if (!named[field])
            records.fail(QStringLiteral("the first row names no column for the field %1")
                             .arg(QLatin1String(table.fields[field].name)));
    }
    QVariantList record;
    while (records.next(fields)) {
        toRecord(records, table, m_fieldOfColumn, fields, record);
        ++m_records;
    }
}

QString CsvSource::name() const
{
    return QStringLiteral("the CSV file %1").arg(m_path);
}

std::unique_ptr<TableReader> CsvSource::read(const TableDescription& table)
{
    return std::make_unique<CsvTableReader>(m_path, table, m_fieldOfColumn);
}

} // namespace vantorel::transfer
