#include "adoxmlwriter.h"

#include "dataset/fielddef.h"
#include "dataset/fields.h"
#include "db/error.h"
#include "db/values.h"
#include "valuerefused.h"
#include "variantrow.h"

#include <QDateTime>
#include <QIODevice>
#include <QSet>

#include <array>
#include <limits>
#include <vector>

namespace report {

namespace {

// The report query's fields as the schema declares them: the department's codes come from
// OSZTALY, everything else from LISTA, whose key is the entry's reference number.
const std::vector<AdoColumn> &columnList()
{
    static const std::vector<AdoColumn> list = [] {
        QSet<QString> department;
        for (const db::FieldDef &field : db::fields::osztaly())
            department.insert(field.name);
        std::vector<AdoColumn> result;
        for (const db::FieldDef &field : db::fields::report()) {
            const bool fromDepartment = department.contains(field.name);
            result.push_back({field.name.toLatin1(), field.kind, field.width,
                              fromDepartment ? "OSZTALY" : "LISTA",
                              !fromDepartment && field.name == u"HIV_SZAM"});
        }
        return result;
    }();
    return list;
}

// ADO breaks an attribute list once the line (without its TABs) has reached this width:
// counted in characters in the schema, in UTF-8 bytes in the rows.
constexpr int schemaWidth = 106;
constexpr int rowWidth = 107;
constexpr qsizetype flushThreshold = qsizetype(256) * 1024;

// The range a variant date (what the loader turns these values into) can hold.
constexpr int firstYear = 100;
constexpr int lastYear = 9999;

constexpr char crlf[] = "\r\n";

// The row's entry is named once the whole row is known, in writeRow.
[[noreturn]] void refuse(const AdoColumn &column, const QString &tail)
{
    throw ValueRefused(QLatin1String(column.name), tail);
}

// The entry's reference number as the row holds it; empty when it holds none.
QString entryNumber(std::span<const ReportCell> cells, const std::vector<AdoColumn> &columns)
{
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (!columns[i].autoincrement)
            continue;
        const ReportCell &cell = cells[i];
        if (cell.kind == ReportCell::Kind::Integer)
            return QString::number(cell.integer);
        if (cell.kind != ReportCell::Kind::Null)
            return db::storedText(cell.utf8);
    }
    return {};
}

// What a character becomes inside a single-quoted attribute value; null when it stays as it
// is. A raw line break or TAB would reach the reader as a blank.
const char *reference(char32_t c)
{
    switch (c) {
    case '\'':
        return "&#x27;";
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    case '\t':
        return "&#x9;";
    case '\n':
        return "&#xa;";
    case '\r':
        return "&#xd;";
    default:
        return nullptr;
    }
}

// The decimal digits of a whole number, written into the end of text.
QByteArrayView numberText(std::array<char, 24> &text, qint64 value)
{
    char *const end = text.data() + text.size();
    char *p = end;
    const bool negative = value < 0;
    quint64 rest = negative ? 0 - quint64(value) : quint64(value);
    do {
        *--p = char('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (negative)
        *--p = '-';
    return {p, end - p};
}

// A whole number in text: an optional sign and decimal digits, nothing else.
bool parseWhole(QByteArrayView text, qint64 *result)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    qsizetype i = !text.isEmpty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (!ok || i == text.size())
        return false;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
    }
    *result = value;
    return true;
}

} // namespace

std::span<const AdoColumn> reportColumns()
{
    return columnList();
}

AdoXmlWriter::AdoXmlWriter(QIODevice &out)
    : m_out(out)
{
    m_buffer.reserve(flushThreshold + 4096);
    writeSchema();
}

void AdoXmlWriter::writeSchema()
{
    m_buffer.append("<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'\r\n"
                    "\txmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'\r\n"
                    "\txmlns:rs='urn:schemas-microsoft-com:rowset'\r\n"
                    "\txmlns:z='#RowsetSchema'>\r\n"
                    "<s:Schema id='RowsetSchema'>\r\n"
                    "\t<s:ElementType name='row' content='eltOnly' rs:updatable='true'>\r\n");
    int number = 0;
    for (const AdoColumn &column : columnList()) {
        startElement(2, "s:AttributeType", Measure::Characters, schemaWidth);
        attribute("name", column.name.constData());
        attribute("rs:number", QByteArray::number(++number).constData());
        if (!column.autoincrement)
            attribute("rs:nullable", "true");
        attribute("rs:maydefer", "true");
        attribute("rs:writeunknown", "true");
        attribute("rs:basetable", column.baseTable);
        attribute("rs:basecolumn", column.name.constData());
        if (column.autoincrement) {
            attribute("rs:keycolumn", "true");
            attribute("rs:autoincrement", "true");
        }
        endLine(">");

        startElement(3, "s:datatype", Measure::Characters, schemaWidth);
        switch (column.kind) {
        case db::FieldKind::Text:
            attribute("dt:type", "string");
            attribute("dt:maxLength", QByteArray::number(column.maxLength).constData());
            break;
        case db::FieldKind::Integer:
            attribute("dt:type", "int");
            attribute("dt:maxLength", "4");
            attribute("rs:precision", "10");
            attribute("rs:fixedlength", "true");
            break;
        case db::FieldKind::DateTime:
            attribute("dt:type", "dateTime");
            attribute("rs:dbtype", "variantdate");
            attribute("dt:maxLength", "16");
            attribute("rs:fixedlength", "true");
            break;
        }
        endLine("/>");
        m_buffer.append("\t\t</s:AttributeType>\r\n");
    }
    m_buffer.append("\t\t<s:extends type='rs:rowbase'/>\r\n"
                    "\t</s:ElementType>\r\n"
                    "</s:Schema>\r\n"
                    "<rs:data>\r\n");
}

void AdoXmlWriter::startElement(int depth, const char *name, Measure measure, int width)
{
    for (int i = 0; i < depth; ++i)
        m_buffer.append('\t');
    m_lineStart = m_buffer.size();
    m_buffer.append('<').append(name);
    m_depth = depth;
    m_measure = measure;
    m_width = width;
    m_firstAttribute = true;
}

qsizetype AdoXmlWriter::currentLineLength() const
{
    if (m_measure == Measure::Utf8Bytes)
        return m_buffer.size() - m_lineStart;
    qsizetype characters = 0;
    for (qsizetype i = m_lineStart; i < m_buffer.size(); ++i) {
        if ((uchar(m_buffer.at(i)) & 0xC0) != 0x80)
            ++characters;
    }
    return characters;
}

void AdoXmlWriter::attributeStart(QByteArrayView name)
{
    if (!m_firstAttribute && currentLineLength() >= m_width) {
        m_buffer.append(crlf);
        for (int i = 0; i <= m_depth; ++i)
            m_buffer.append('\t');
        m_lineStart = m_buffer.size();
    }
    m_firstAttribute = false;
    m_buffer.append(' ').append(name).append("='");
}

void AdoXmlWriter::attribute(QByteArrayView name, const char *value)
{
    attributeStart(name);
    m_buffer.append(value).append('\'');
}

void AdoXmlWriter::endLine(const char *text)
{
    m_buffer.append(text).append(crlf);
}

void AdoXmlWriter::writeRow(std::span<const QVariant> values)
{
    const VariantRow row(values);
    writeRow(row.cells());
}

void AdoXmlWriter::writeRow(std::span<const ReportCell> cells)
{
    const std::vector<AdoColumn> &columns = columnList();
    if (cells.size() != columns.size())
        throw db::Error(QStringLiteral("A jelentés sorában %1 érték áll a várt %2 helyett.")
                            .arg(qsizetype(cells.size()))
                            .arg(qsizetype(columns.size())));
    const qsizetype rowStart = m_buffer.size();
    try {
        startElement(1, "z:row", Measure::Utf8Bytes, rowWidth);
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const AdoColumn &column = columns[i];
            const ReportCell &cell = cells[i];
            if (cell.kind == ReportCell::Kind::Null)
                continue;
            attributeStart(column.name);
            switch (column.kind) {
            case db::FieldKind::Text:
                if (cell.kind == ReportCell::Kind::Integer) {
                    std::array<char, 24> digits{};
                    appendText(numberText(digits, cell.integer), column);
                } else {
                    appendText(cell.utf8, column);
                }
                break;
            case db::FieldKind::Integer:
                appendInteger(cell, column);
                break;
            case db::FieldKind::DateTime:
                appendDateTime(cell, column);
                break;
            }
            m_buffer.append('\'');
        }
        endLine("/>");
    } catch (const ValueRefused &refused) {
        // A refused row leaves nothing of itself behind.
        m_buffer.truncate(rowStart);
        throw refused.ofEntry(entryNumber(cells, columns));
    } catch (...) {
        m_buffer.truncate(rowStart);
        throw;
    }
    ++m_rows;
    flushIfFull();
}

void AdoXmlWriter::appendText(QByteArrayView utf8, const AdoColumn &column)
{
    const auto *p = reinterpret_cast<const uchar *>(utf8.data());
    const auto *const end = p + utf8.size();
    // Jet counts a text field's size in UTF-16 units: one per character, two for a character
    // beyond the first 65,536. Fewer bytes than the limit cannot hold more units.
    if (utf8.size() > column.maxLength) {
        qsizetype units = 0;
        for (const uchar *q = p; q != end; ++q)
            units += ((*q & 0xC0) != 0x80) + (*q >= 0xF0);
        if (units > column.maxLength)
            refuse(column, QStringLiteral("jében %1 karakter áll, de legfeljebb %2 lehet.")
                               .arg(units)
                               .arg(column.maxLength));
    }
    const auto cannotHold = [&] {
        refuse(column, QStringLiteral("je XML-állományban nem tárolható karaktert tartalmaz."));
    };
    // Plain runs go over in one append; only the characters that need a reference stop it.
    const uchar *run = p;
    while (p != end) {
        const uchar c = *p;
        if (c >= 0x80) {
            // A whole, shortest-form UTF-8 sequence of a character XML can hold.
            const int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
            if (length == 0 || c > 0xF4 || end - p < length)
                cannotHold();
            char32_t code = c & (0x7F >> length);
            for (int k = 1; k < length; ++k) {
                if ((p[k] & 0xC0) != 0x80)
                    cannotHold();
                code = (code << 6) | (p[k] & 0x3F);
            }
            if ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF)))
                || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) || code == 0xFFFE
                || code == 0xFFFF)
                cannotHold();
            p += length;
            continue;
        }
        if (c >= 0x20 && c != '\'' && c != '&' && c != '<' && c != '>' && c != '"') {
            ++p;
            continue;
        }
        m_buffer.append(reinterpret_cast<const char *>(run), p - run);
        const char *escaped = reference(c);
        if (!escaped)
            refuse(column, QStringLiteral("je XML-állományban nem tárolható vezérlőkaraktert "
                                          "tartalmaz (U+%1).")
                               .arg(QString::number(uint(c), 16)
                                        .toUpper()
                                        .rightJustified(4, QLatin1Char('0'))));
        m_buffer.append(escaped);
        run = ++p;
    }
    m_buffer.append(reinterpret_cast<const char *>(run), p - run);
}

void AdoXmlWriter::appendInteger(const ReportCell &cell, const AdoColumn &column)
{
    qint64 number = cell.integer;
    if (cell.kind != ReportCell::Kind::Integer
        && (cell.kind != ReportCell::Kind::Text || !parseWhole(cell.utf8, &number)))
        refuse(column, QStringLiteral("jében nem egész szám áll."));
    if (number < std::numeric_limits<qint32>::min() || number > std::numeric_limits<qint32>::max())
        refuse(column, QStringLiteral("jében álló szám (%1) nem fér el 32 biten.").arg(number));
    std::array<char, 24> digits{};
    m_buffer.append(numberText(digits, number));
}

void AdoXmlWriter::appendDateTime(const ReportCell &cell, const AdoColumn &column)
{
    // The stored wall-clock text goes over as it is, after its fields have been checked:
    // no zone or calendar conversion may touch it.
    const QByteArrayView s = cell.utf8;
    const qsizetype length = s.size();
    const auto number = [&s](qsizetype from, qsizetype count) {
        int value = 0;
        for (qsizetype i = from; i < from + count; ++i) {
            if (s[i] < '0' || s[i] > '9')
                return -1;
            value = value * 10 + (s[i] - '0');
        }
        return value;
    };
    // A year past 9999 is told as such, not as something that is no date at all.
    qsizetype yearDigits = 0;
    while (yearDigits < length && yearDigits < 6 && s[yearDigits] >= '0' && s[yearDigits] <= '9')
        ++yearDigits;
    const qsizetype shift = yearDigits > 4 ? yearDigits - 4 : 0;
    const bool shaped = cell.kind == ReportCell::Kind::Date
                        && (length == 10 + shift || length == 19 + shift) && yearDigits >= 4
                        && s[4 + shift] == '-' && s[7 + shift] == '-'
                        && (length == 10 + shift
                            || ((s[10 + shift] == ' ' || s[10 + shift] == 'T')
                                && s[13 + shift] == ':' && s[16 + shift] == ':'));
    const int year = shaped ? number(0, 4 + shift) : -1;
    const int month = shaped ? number(5 + shift, 2) : -1;
    const int day = shaped ? number(8 + shift, 2) : -1;
    const bool withTime = shaped && length == 19 + shift;
    const int hour = withTime ? number(11 + shift, 2) : 0;
    const int minute = withTime ? number(14 + shift, 2) : 0;
    const int second = withTime ? number(17 + shift, 2) : 0;
    if (year < 0 || month < 0 || day < 0 || hour < 0 || minute < 0 || second < 0
        || !QDate::isValid(year, month, day) || !QTime::isValid(hour, minute, second))
        refuse(column, QStringLiteral("jében nem dátum áll."));
    if (year < firstYear || year > lastYear)
        refuse(column, QStringLiteral("jében álló dátum éve (%1) nem esik %2 és %3 közé.")
                           .arg(year)
                           .arg(firstYear)
                           .arg(lastYear));
    m_buffer.append(s.data(), 10);
    if (withTime) {
        m_buffer.append('T');
        m_buffer.append(s.data() + 11, 8);
    } else {
        m_buffer.append("T00:00:00");
    }
}

void AdoXmlWriter::finish()
{
    if (m_finished)
        return;
    m_buffer.append("</rs:data>\r\n</xml>\r\n");
    flush();
    m_finished = true;
}

void AdoXmlWriter::flushIfFull()
{
    if (m_buffer.size() >= flushThreshold)
        flush();
}

void AdoXmlWriter::flush()
{
    const qint64 written = m_out.write(m_buffer.data(), m_buffer.size());
    if (written != m_buffer.size()) {
        const QString reason = m_out.errorString();
        throw db::Error(
            QStringLiteral("A jelentés állományának írása nem sikerült: %1").arg(reason));
    }
    m_buffer.truncate(0);
    m_lineStart = 0;
}

} // namespace report
