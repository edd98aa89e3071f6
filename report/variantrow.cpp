#include "variantrow.h"

#include "db/error.h"

#include <QDateTime>

namespace report {

namespace {

void appendDigits(QByteArray &out, int value, int digits)
{
    char text[4];
    for (int i = digits - 1; i >= 0; --i) {
        text[i] = char('0' + value % 10);
        value /= 10;
    }
    out.append(text, digits);
}

// The stored form of a day or a moment: YYYY-MM-DD, then HH:MM:SS after a blank.
QByteArray storedText(const QDate &date, const QTime *time)
{
    QByteArray text;
    if (date.year() >= 0 && date.year() <= 9999)
        appendDigits(text, date.year(), 4);
    else
        text = QByteArray::number(date.year());
    text.append('-');
    appendDigits(text, date.month(), 2);
    text.append('-');
    appendDigits(text, date.day(), 2);
    if (time) {
        text.append(' ');
        appendDigits(text, time->hour(), 2);
        text.append(':');
        appendDigits(text, time->minute(), 2);
        text.append(':');
        // Jet keeps whole seconds; a fraction is dropped, never rounded.
        appendDigits(text, time->second(), 2);
    }
    return text;
}

QByteArray utf8(const QString &text)
{
    for (qsizetype c = 0; c < text.size(); ++c) {
        const QChar ch = text.at(c);
        if (ch.isHighSurrogate() && c + 1 < text.size() && text.at(c + 1).isLowSurrogate())
            ++c;
        else if (ch.isSurrogate())
            return QByteArrayLiteral("\xED\xA0\x80");
    }
    return text.toUtf8();
}

} // namespace

VariantRow::VariantRow(std::span<const QVariant> values)
{
    if (values.size() != m_cells.size())
        throw db::Error(QStringLiteral("A jelentés sorában %1 érték áll a várt %2 helyett.")
                            .arg(qsizetype(values.size()))
                            .arg(qsizetype(m_cells.size())));
    m_count = values.size();
    for (std::size_t i = 0; i < values.size(); ++i) {
        const QVariant &value = values[i];
        ReportCell &cell = m_cells[i];
        if (value.isNull())
            continue;
        switch (value.typeId()) {
        case QMetaType::LongLong:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::Short:
            cell.kind = ReportCell::Kind::Integer;
            cell.integer = value.toLongLong();
            break;
        case QMetaType::QDateTime: {
            // The stored wall-clock fields, whatever zone the value claims.
            const QDateTime moment = value.toDateTime();
            const QTime time = moment.time();
            cell.kind = ReportCell::Kind::Date;
            if (moment.isValid())
                m_texts[i] = storedText(moment.date(), &time);
            cell.utf8 = m_texts[i];
            break;
        }
        case QMetaType::QDate:
            cell.kind = ReportCell::Kind::Date;
            if (value.toDate().isValid())
                m_texts[i] = storedText(value.toDate(), nullptr);
            cell.utf8 = m_texts[i];
            break;
        default:
            cell.kind = ReportCell::Kind::Text;
            m_texts[i] = utf8(value.toString());
            cell.utf8 = m_texts[i];
            break;
        }
    }
}

} // namespace report
