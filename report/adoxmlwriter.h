#pragma once

#include "bytebuffer.h"
#include "dataset/fielddef.h"
#include "reportcell.h"

#include <QByteArray>
#include <QVariant>

#include <span>

class QIODevice;

namespace report {

// One column of the report file as the rowset's schema declares it.
struct AdoColumn
{
    QByteArray name;
    db::FieldKind kind;
    int maxLength;         // texts: the Jet field size in characters
    const char *baseTable; // the table the query takes the column from
    bool autoincrement;    // the entry's reference number: the key, never null
};

// The report columns, in report order: the fields of the report query (db::fields::report()).
std::span<const AdoColumn> reportColumns();

// Writes the rows of the report in the XML persistence format that the national reporting
// system and the department's other tools load: the schema first, then one z:row per row.
// Buffers its output; a value that cannot be written, or a device that refuses the bytes,
// raises db::Error before any further byte is written.
class AdoXmlWriter
{
public:
    explicit AdoXmlWriter(QIODevice &out);
    AdoXmlWriter(const AdoXmlWriter &) = delete;
    AdoXmlWriter &operator=(const AdoXmlWriter &) = delete;

    // One value per report column, in report order; a null value is left out.
    void writeRow(std::span<const ReportCell> cells);
    // The same for values already held as variants: texts, integers, dates and date-times.
    void writeRow(std::span<const QVariant> values);
    // Closes the data section and hands the last bytes to the device.
    void finish();

    int rowCount() const { return m_rows; }

private:
    enum class Measure { Characters, Utf8Bytes };

    void writeSchema();
    void startElement(int depth, const char *name, Measure measure, int width);
    void attribute(QByteArrayView name, const char *value);
    void attributeStart(QByteArrayView name);
    void endLine(const char *text);
    qsizetype currentLineLength() const;

    void appendText(QByteArrayView utf8, const AdoColumn &column);
    void appendInteger(const ReportCell &cell, const AdoColumn &column);
    void appendDateTime(const ReportCell &cell, const AdoColumn &column);
    void flushIfFull();
    void flush();

    QIODevice &m_out;
    ByteBuffer m_buffer;
    qsizetype m_lineStart = 0; // where the current line's text begins, after its TABs
    int m_depth = 0;
    Measure m_measure = Measure::Utf8Bytes;
    int m_width = 0;
    bool m_firstAttribute = true;
    int m_rows = 0;
    bool m_finished = false;
};

} // namespace report
