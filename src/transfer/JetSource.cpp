#include "transfer/JetSource.h"

#include "transfer/JetText.h"

#include "data/StoreError.h"
#include "data/StoredValues.h"
#include "data/Tables.h"

#include <QFile>
#include <QHash>

// glib first: mdbtools.h opens extern "C" around the glib headers it includes otherwise.
#include <glib.h>
#include <mdbtools.h>

#include <cstring>
#include <vector>

namespace vantorel::transfer {

using data::FieldDescription;
using data::FieldKind;
using data::StoreError;
using data::TableDescription;

namespace {

// libmdb keeps the flags of a row's place on its page in the offset's top bits.
constexpr int kRowOffsetMask = 0x1fff;

template <typename T>
T littleEndian(const unsigned char* bytes)
{
    T value;
    std::memcpy(&value, bytes, sizeof value); // Jet and this machine are both little-endian
    return value;
}

// Jet 3 keeps text in a code page, which libmdb converts (CP1252 unless MDB_JET3_CHARSET says).
void jet3Text(MdbHandle* mdb, const unsigned char* bytes, size_t size, std::string& out)
{
    out.resize(size * 4 + 1);
    const int length = mdb_unicode2ascii(mdb, reinterpret_cast<const char*>(bytes), size, out.data(), out.size());
    out.resize(size_t(std::max(length, 0)));
}

bool isBinary(int type)
{
    return type == MDB_OLE || type == MDB_BINARY;
}

QString typeName(int type)
{
    return type == MDB_OLE ? QStringLiteral("OLE Object") : QStringLiteral("Binary");
}

} // namespace

// One table of the Jet file, its definition and the columns that hold the table's fields.
struct JetTableDefinition {
    MdbTableDef* definition = nullptr;
    std::vector<int> columns; // the Jet column of each field, in the field order
    QStringList extraColumns;
};

namespace {

MdbColumn* columnOf(const JetTableDefinition& table, int number)
{
    return static_cast<MdbColumn*>(g_ptr_array_index(table.definition->columns, guint(number)));
}

} // namespace

class JetFile {
public:
    explicit JetFile(const QString& path)
        : m_path(path)
        , m_mdb(mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS))
    {
        if (!m_mdb || !mdb_read_catalog(m_mdb, MDB_TABLE))
            throw StoreError(QStringLiteral("%1 cannot be read as a Jet database: it is damaged or not one.").arg(path),
                             QString());
        // Long enough for any value: libmdb would cut what it converts to its bind size.
        mdb_set_bind_size(m_mdb, 1 << 24);
    }

    ~JetFile()
    {
        for (const JetTableDefinition& table : m_tables)
            mdb_free_tabledef(table.definition);
        mdb_close(m_mdb);
    }
    JetFile(const JetFile&) = delete;
    JetFile& operator=(const JetFile&) = delete;

    MdbHandle* handle() const { return m_mdb; }
    const QString& path() const { return m_path; }

    // Finds the user tables by name, letter case ignored; what the store does not know is left.
    QStringList findTables(const QList<const TableDescription*>& wanted)
    {
        QStringList extra;
        QHash<QString, MdbCatalogEntry*> byName;
        for (guint i = 0; i < m_mdb->num_catalog; ++i) {
            auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(m_mdb->catalog, i));
            if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry))
                byName.insert(QString::fromUtf8(entry->object_name).toLower(), entry);
        }
        for (const TableDescription* table : wanted) {
            MdbCatalogEntry* entry = byName.take(table->sqlName().toLower());
            if (!entry)
                throw StoreError(QStringLiteral("%1 has no table %2; nothing was imported.").arg(m_path, table->sqlName()),
                                 QString());
            m_tables.insert(table, defineTable(*table, entry));
        }
        for (MdbCatalogEntry* entry : std::as_const(byName))
            extra << QString::fromUtf8(entry->object_name);
        extra.sort();
        return extra;
    }

    const JetTableDefinition& table(const TableDescription& table) const { return m_tables.find(&table).value(); }

private:
    JetTableDefinition defineTable(const TableDescription& table, MdbCatalogEntry* entry)
    {
        JetTableDefinition defined;
        defined.definition = mdb_read_table(entry);
        if (!defined.definition || !mdb_read_columns(defined.definition))
            throw StoreError(QStringLiteral("The table %1 in %2 cannot be read: the file is damaged.")
                                 .arg(table.sqlName(), m_path),
                             QString());
        QHash<QString, int> byName;
        for (guint i = 0; i < defined.definition->num_cols; ++i) {
            auto* column = static_cast<MdbColumn*>(g_ptr_array_index(defined.definition->columns, i));
            byName.insert(QString::fromUtf8(column->name).toLower(), int(i));
        }
        for (const FieldDescription& field : table.fields) {
            const auto found = byName.find(QString::fromLatin1(field.name).toLower());
            if (found == byName.end())
                throw StoreError(QStringLiteral("The table %1 in %2 has no field %3; nothing was imported.")
                                     .arg(table.sqlName(), m_path, QString::fromLatin1(field.name)),
                                 QString());
            const int type = columnOf(defined, found.value())->col_type;
            if (isBinary(type))
                throw StoreError(QStringLiteral("The field %1 of the table %2 in %3 is of the kind %4, which holds no "
                                                "text; nothing was imported.")
                                     .arg(QString::fromLatin1(field.name), table.sqlName(), m_path, typeName(type)),
                                 QString());
            defined.columns.push_back(found.value());
            byName.erase(found);
        }
        for (guint i = 0; i < defined.definition->num_cols; ++i) {
            const int number = int(i);
            if (std::find(defined.columns.begin(), defined.columns.end(), number) == defined.columns.end())
                defined.extraColumns << QString::fromUtf8(columnOf(defined, number)->name);
        }
        return defined;
    }

    QString m_path;
    MdbHandle* m_mdb;
    QHash<const TableDescription*, JetTableDefinition> m_tables;
};

namespace {

// The rows of one Jet table in the file's own order, each field cracked from the row itself:
// libmdb's bound values tell no Null from empty text and cut long values.
class JetTableReader : public TableReader {
public:
    JetTableReader(JetFile& file, const TableDescription& description)
        : m_mdb(file.handle())
        , m_path(file.path())
        , m_description(description)
        , m_table(file.table(description))
        , m_fields(m_table.definition->num_cols)
        , m_memoPage(size_t(m_mdb->fmt->pg_size))
    {
        mdb_rewind_table(m_table.definition);
    }

    bool next(data::BulkRecord& record) override
    {
        MdbTableDef* definition = m_table.definition;
        if (!mdb_fetch_row(definition)) {
            if (m_read != qint64(definition->num_rows))
                throw StoreError(QStringLiteral("The table %1 in %2 is damaged: it says it holds %3 records, but %4 "
                                                "could be read; nothing was imported.")
                                     .arg(m_description.sqlName(), m_path)
                                     .arg(definition->num_rows)
                                     .arg(m_read),
                                 QString());
            return false;
        }
        ++m_read;
        crackCurrentRow();
        record.resize(m_table.columns.size());
        for (size_t i = 0; i < m_table.columns.size(); ++i)
            read(m_description.fields[i], m_table.columns[i], record[i]);
        return true;
    }


private:
    // The row mdb_fetch_row has just read is the one before the table's current row.
    void crackCurrentRow()
    {
        int start = 0;
        size_t size = 0;
        if (mdb_find_row(m_mdb, int(m_table.definition->cur_row) - 1, &start, &size) != 0
            || mdb_crack_row(m_table.definition, start & kRowOffsetMask, size, m_fields.data()) < 0)
            throw StoreError(QStringLiteral("Record %1 of the table %2 in %3 cannot be read: the file is damaged; "
                                            "nothing was imported.")
                                 .arg(m_read)
                                 .arg(m_description.sqlName(), m_path),
                             QString());
    }

    void read(const FieldDescription& field, int number, data::BulkField& value)
    {
        const MdbField& cracked = m_fields[size_t(number)];
        MdbColumn* column = columnOf(m_table, number);
        if (column->col_type == MDB_BOOL) {
            // A Yes/No lives in the row's null mask: a set bit, which libmdb reads as "not null", is Yes.
            const bool yes = !cracked.is_null;
            value.set(field.kind == FieldKind::YesNo ? (yes ? "1" : "0") : (yes ? "True" : "False"));
            return;
        }
        if (cracked.is_null) {
            if (field.kind == FieldKind::YesNo)
                value.set("0");
            else
                value.setNull();
            return;
        }
        value.isNull = false;
        readText(column, cracked, value.text);
        if (field.kind == FieldKind::YesNo) {
            const QString text = QString::fromStdString(value.text);
            const bool isText = column->col_type == MDB_TEXT || column->col_type == MDB_MEMO;
            value.set(data::isYesValue(isText ? QVariant(text) : QVariant(text.toDouble())) ? "1" : "0");
        }
    }

    void readText(MdbColumn* column, const MdbField& cracked, std::string& out)
    {
        const auto* bytes = static_cast<const unsigned char*>(m_mdb->pg_buf) + cracked.start;
        const size_t size = size_t(std::max(cracked.siz, 0));
        if (column->col_type == MDB_TEXT)
            text(bytes, size, out);
        else if (column->col_type == MDB_MEMO)
            memo(column, bytes, size, out);
        else
            out = otherKindText(column, cracked, bytes);
    }

    std::string otherKindText(MdbColumn* column, const MdbField& cracked, const unsigned char* bytes)
    {
        switch (column->col_type) {
        case MDB_BYTE:
            return std::to_string(bytes[0]);
        case MDB_INT:
            return std::to_string(littleEndian<qint16>(bytes));
        case MDB_LONGINT:
        case MDB_COMPLEX:
            return std::to_string(littleEndian<qint32>(bytes));
        case MDB_MONEY:
            return jetCurrencyText(littleEndian<qint64>(bytes)).toStdString();
        case MDB_FLOAT:
            return jetNumberText(double(littleEndian<float>(bytes)), 7).toStdString();
        case MDB_DOUBLE:
            return jetNumberText(littleEndian<double>(bytes), 15).toStdString();
        case MDB_DATETIME:
            return jetDateTimeText(littleEndian<double>(bytes)).toStdString();
        default:
            return libmdbText(column, cracked);
        }
    }

    // The kinds no program of the shop wrote by hand (Decimal, Replication ID), as libmdb writes them.
    std::string libmdbText(MdbColumn* column, const MdbField& cracked)
    {
        char* converted = column->col_type == MDB_NUMERIC
            ? mdb_numeric_to_string(m_mdb, cracked.start, column->col_scale, column->col_prec)
            : mdb_col_to_string(m_mdb, m_mdb->pg_buf, cracked.start, column->col_type, cracked.siz);
        std::string text(converted ? converted : "");
        g_free(converted);
        return text;
    }

    void text(const unsigned char* bytes, size_t size, std::string& out) const
    {
        if (IS_JET3(m_mdb))
            jet3Text(m_mdb, bytes, size, out);
        else
            jet4Text(bytes, size, out);
    }

    // A Memo's bytes whole, from the row or from the pages it continues on, read through libmdb's
    // long-value reader into a buffer of one page; then decoded as any text.
    void memo(MdbColumn* column, const unsigned char* header, size_t size, std::string& out)
    {
        m_memoBytes.clear();
        if (size >= MDB_MEMO_OVERHEAD) {
            unsigned char pointer[MDB_MEMO_OVERHEAD];
            std::memcpy(pointer, header, MDB_MEMO_OVERHEAD);
            column->bind_ptr = m_memoPage.data();
            for (size_t length = mdb_ole_read(m_mdb, column, pointer, m_memoPage.size()); length > 0;
                 length = mdb_ole_read_next(m_mdb, column, pointer))
                m_memoBytes.append(m_memoPage.data(), length);
            // Unbound again before the next row, which libmdb would otherwise convert into the buffer.
            column->bind_ptr = nullptr;
        }
        text(reinterpret_cast<const unsigned char*>(m_memoBytes.data()), m_memoBytes.size(), out);
    }

    MdbHandle* m_mdb;
    QString m_path;
    const TableDescription& m_description;
    const JetTableDefinition& m_table;
    std::vector<MdbField> m_fields;
    std::vector<char> m_memoPage;
    std::string m_memoBytes;
    qint64 m_read = 0;
};

} // namespace

JetSource::JetSource(const QString& path)
    : m_file(std::make_unique<JetFile>(path))
{
    m_extraTables = m_file->findTables(tables());
}

JetSource::~JetSource() = default;

QString JetSource::name() const
{
    return QStringLiteral("the Jet file %1").arg(m_file->path());
}

QList<const TableDescription*> JetSource::tables() const
{
    return {std::begin(data::kAllTables), std::end(data::kAllTables)};
}

qint64 JetSource::count(const TableDescription& table)
{
    return qint64(m_file->table(table).definition->num_rows);
}

std::unique_ptr<TableReader> JetSource::read(const TableDescription& table)
{
    return std::make_unique<JetTableReader>(*m_file, table);
}

QStringList JetSource::extraColumns(const TableDescription& table) const
{
    return m_file->table(table).extraColumns;
}

QStringList JetSource::extraTables() const
{
    return m_extraTables;
}

} // namespace vantorel::transfer
