#include "adoxmlwriter.h"

#include "db/error.h"
#include "db/fielddef.h"
#include "db/fields.h"

#include <QDateTime>
#include <QIODevice>
#include <QSet>

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

QString where(int row, const AdoColumn &column)
{
    return QStringLiteral("A jelentés %1. sorának %2 mező")
        .arg(row + 1)
        .arg(QLatin1String(column.name));
}

[[noreturn]] void refuse(int row, const AdoColumn &column, const QString &tail)
{
    throw db::Error(where(row, column) + tail);
}

void appendDigits(QByteArray &out, int value, int digits)
{
    char text[4];
    for (int i = digits - 1; i >= 0; --i) {
        text[i] = char('0' + value % 10);
        value /= 10;
    }
    out.append(text, digits);
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

void appendNumber(QByteArray &out, qint64 value)
{
    char text[24];
    char *end = text + sizeof text;
    char *p = end;
    const bool negative = value < 0;
    quint64 rest = negative ? 0 - quint64(value) : quint64(value);
    do {
        *--p = char('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (negative)
        *--p = '-';
    out.append(p, end - p);
}

} // namespace

std::span<const AdoColumn> reportColumns()
{
    return columnList();
}

AdoXmlWriter::AdoXmlWriter(QIODevice &out, int expectedRows)
    : m_out(out)
{
    m_buffer.reserve(flushThreshold + 4096);
    m_keys.reserve(std::size_t(qMax(expectedRows, 0)));
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

void AdoXmlWriter::attributeStart(const char *name)
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

void AdoXmlWriter::attribute(const char *name, const char *value)
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
    const std::vector<AdoColumn> &columns = columnList();
    if (values.size() != columns.size())
        throw db::Error(QStringLiteral("A jelentés sorában %1 érték áll a várt %2 helyett.")
                            .arg(qsizetype(values.size()))
                            .arg(qsizetype(columns.size())));
    const qsizetype rowStart = m_buffer.size();
    try {
        startElement(1, "z:row", Measure::Utf8Bytes, rowWidth);
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const AdoColumn &column = columns[i];
            const QVariant &value = values[i];
            if (value.isNull()) {
                if (column.autoincrement)
                    refuse(m_rows, column,
                           QStringLiteral("je üres, pedig a hivatkozási szám nem hiányozhat."));
                continue;
            }
            attributeStart(column.name.constData());
            switch (column.kind) {
            case db::FieldKind::Text:
                appendText(value.toString(), m_rows, column);
                break;
            case db::FieldKind::Integer:
                appendInteger(value, m_rows, column);
                break;
            case db::FieldKind::DateTime:
                appendDateTime(value, m_rows, column);
                break;
            }
            m_buffer.append('\'');
        }
        endLine("/>");
    } catch (...) {
        // A refused row leaves nothing of itself behind.
        m_buffer.resize(rowStart);
        throw;
    }
    ++m_rows;
    flushIfFull();
}

void AdoXmlWriter::appendText(const QString &text, int row, const AdoColumn &column)
{
    // Jet counts a text field's size in UTF-16 units, as QString does.
    if (text.size() > column.maxLength)
        refuse(row, column,
               QStringLiteral("jében %1 karakter áll, de legfeljebb %2 lehet.")
                   .arg(text.size())
                   .arg(column.maxLength));
    const auto *chars = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        char32_t c = chars[i];
        if (c < 0x80) {
            if (const char *escaped = reference(c))
                m_buffer.append(escaped);
            else if (c < 0x20)
                refuse(row, column,
                       QStringLiteral("je XML-állományban nem tárolható vezérlőkaraktert "
                                      "tartalmaz (U+%1).")
                           .arg(QString::number(uint(c), 16)
                                    .toUpper()
                                    .rightJustified(4, QLatin1Char('0'))));
            else
                m_buffer.append(char(c));
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(chars[i + 1])) {
            c = QChar::surrogateToUcs4(char16_t(c), chars[++i]);
        } else if (QChar::isSurrogate(c) || c == 0xFFFE || c == 0xFFFF) {
            refuse(row, column,
                   QStringLiteral("je XML-állományban nem tárolható karaktert tartalmaz."));
        }
        if (c < 0x800) {
            m_buffer.append(char(0xC0 | (c >> 6)));
        } else if (c < 0x10000) {
            m_buffer.append(char(0xE0 | (c >> 12)));
            m_buffer.append(char(0x80 | ((c >> 6) & 0x3F)));
        } else {
            m_buffer.append(char(0xF0 | (c >> 18)));
            m_buffer.append(char(0x80 | ((c >> 12) & 0x3F)));
            m_buffer.append(char(0x80 | ((c >> 6) & 0x3F)));
        }
        m_buffer.append(char(0x80 | (c & 0x3F)));
    }
}

void AdoXmlWriter::appendInteger(const QVariant &value, int row, const AdoColumn &column)
{
    bool ok = false;
    qint64 number = 0;
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::Short:
        number = value.toLongLong(&ok);
        break;
    case QMetaType::QString:
        number = value.toString().toLongLong(&ok);
        break;
    default:
        break;
    }
    if (!ok)
        refuse(row, column, QStringLiteral("jében nem egész szám áll."));
    if (number < std::numeric_limits<qint32>::min() || number > std::numeric_limits<qint32>::max())
        refuse(row, column,
               QStringLiteral("jében álló szám (%1) nem fér el 32 biten.").arg(number));
    if (column.autoincrement && !m_keys.insert(number).second)
        refuse(row, column,
               QStringLiteral("jében álló hivatkozási szám (%1) egy korábbi sorban már szerepelt.")
                   .arg(number));
    appendNumber(m_buffer, number);
}

void AdoXmlWriter::appendDateTime(const QVariant &value, int row, const AdoColumn &column)
{
    QDate date;
    QTime time(0, 0);
    // The fields hold the stored wall-clock time; no zone conversion may touch it.
    if (value.typeId() == QMetaType::QDateTime) {
        const QDateTime moment = value.toDateTime();
        date = moment.date();
        time = moment.time();
    } else if (value.typeId() == QMetaType::QDate) {
        date = value.toDate();
    }
    if (!date.isValid() || !time.isValid())
        refuse(row, column, QStringLiteral("jében nem dátum áll."));
    if (date.year() < firstYear || date.year() > lastYear)
        refuse(row, column,
               QStringLiteral("jében álló dátum éve (%1) nem esik %2 és %3 közé.")
                   .arg(date.year())
                   .arg(firstYear)
                   .arg(lastYear));
    appendDigits(m_buffer, date.year(), 4);
    m_buffer.append('-');
    appendDigits(m_buffer, date.month(), 2);
    m_buffer.append('-');
    appendDigits(m_buffer, date.day(), 2);
    m_buffer.append('T');
    appendDigits(m_buffer, time.hour(), 2);
    m_buffer.append(':');
    appendDigits(m_buffer, time.minute(), 2);
    m_buffer.append(':');
    // Jet keeps whole seconds; a fraction is dropped, never rounded into the next minute.
    appendDigits(m_buffer, time.second(), 2);
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
    const qint64 written = m_out.write(m_buffer);
    if (written != m_buffer.size()) {
        const QString reason = m_out.errorString();
        throw db::Error(
            QStringLiteral("A jelentés állományának írása nem sikerült: %1").arg(reason));
    }
    m_buffer.resize(0);
    m_lineStart = 0;
}

} // namespace report
