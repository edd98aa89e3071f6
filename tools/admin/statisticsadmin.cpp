#include "statisticsadmin.h"

#include "messages.h"

#include "db/error.h"
#include "stats/scope.h"
#include "stats/statistics.h"
#include "stats/tableexport.h"

#include <QStringDecoder>

namespace admin {

namespace {

QList<stats::Figures> figuresOf(db::Connection &connection, std::optional<qint64> list,
                                const QDate &today)
{
    const QList<stats::Scope> choices = stats::scopeChoices(connection);
    QList<stats::Scope> scopes;
    if (list) {
        const stats::Scope *one = stats::findList(choices, *list);
        if (!one)
            throw db::Error(QStringLiteral("Nincs %1 kódú lista.").arg(*list));
        scopes << *one;
    } else {
        scopes = stats::wholeDepartment(choices);
    }
    QList<stats::Figures> figures;
    for (const stats::Scope &scope : scopes)
        figures << stats::computeFigures(connection, scope, today);
    return figures;
}

} // namespace

StatisticsAdmin::Request StatisticsAdmin::parse(const QStringList &arguments)
{
    Request request;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == u"--csv" && !request.csv) {
            request.csv = true;
        } else if (argument == u"--lista" && !request.list) {
            bool ok = false;
            const qint64 code = i + 1 < arguments.size() ? arguments.at(i + 1).toLongLong(&ok) : 0;
            if (!ok) {
                request.error = message::listCodeMissing.toString();
                return request;
            }
            request.list = code;
            ++i;
        } else {
            request.error = QStringLiteral("A(z) „statisztika” parancs paraméterei nem "
                                           "megfelelők: „%1”.")
                                .arg(argument);
            return request;
        }
    }
    return request;
}

StatisticsAdmin::StatisticsAdmin(db::Connection &connection)
    : m_connection(connection)
{
}

QString StatisticsAdmin::text(std::optional<qint64> list, const QDate &today)
{
    QStringList parts;
    for (const stats::Figures &figures : figuresOf(m_connection, list, today))
        parts << stats::plainText(figures);
    return parts.isEmpty() ? QStringLiteral("Nincs egyetlen lista sem.\n")
                           : parts.join(QStringLiteral("\n\n"));
}

QByteArray StatisticsAdmin::csv(std::optional<qint64> list, const QDate &today)
{
    return stats::csvDocument(figuresOf(m_connection, list, today));
}

QString StatisticsAdmin::csvText(std::optional<qint64> list, const QDate &today)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder(csv(list, today));
}

} // namespace admin
