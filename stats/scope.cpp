#include "scope.h"

#include "db/statement.h"
#include "db/statistics.h"

#include <algorithm>

namespace stats {

namespace {

struct ListRow
{
    qint64 code;
    QString name;
    QString kind;
};

QString allOfKindLabel(const QString &kind)
{
    if (kind == u"V")
        return QStringLiteral("Minden várólista");
    if (kind == u"B")
        return QStringLiteral("Minden betegfogadási lista");
    return {};
}

} // namespace

QString Scope::condition() const
{
    return extent == Extent::OneList ? db::statistics::listScope(list)
                                     : db::statistics::kindScope(kind);
}

QList<Scope> scopeChoices(db::Connection &connection)
{
    QList<ListRow> rows;
    db::Statement lists(connection, db::statistics::lists());
    while (lists.step())
        rows.append({lists.int64(0), lists.text(1), lists.isNull(2) ? QString() : lists.text(2)});

    QList<Scope> choices;
    const auto addKind = [&](const QString &kind) {
        QList<Scope> ofKind;
        for (const ListRow &row : rows) {
            if (row.kind == kind)
                ofKind.append({Scope::Extent::OneList, row.code, row.kind,
                               QStringLiteral("%1 – %2").arg(QString::number(row.code), row.name)});
        }
        // Together only where there is more than one list to put together.
        const QString together = allOfKindLabel(kind);
        if (ofKind.size() > 1 && !together.isEmpty())
            choices.append({Scope::Extent::WholeKind, 0, kind, together});
        choices.append(ofKind);
    };
    for (const QString &kind : {QStringLiteral("V"), QStringLiteral("B"), QStringLiteral("J")})
        addKind(kind);
    for (const ListRow &row : rows) {
        if (row.kind != u"V" && row.kind != u"B" && row.kind != u"J")
            choices.append({Scope::Extent::OneList, row.code, row.kind,
                            QStringLiteral("%1 – %2").arg(QString::number(row.code), row.name)});
    }
    return choices;
}

QList<Scope> wholeDepartment(const QList<Scope> &choices)
{
    QList<Scope> whole;
    for (const Scope &choice : choices) {
        if (choice.extent == Scope::Extent::WholeKind)
            whole << choice;
    }
    for (const Scope &choice : choices) {
        const bool together = std::any_of(whole.cbegin(), whole.cend(), [&choice](const Scope &s) {
            return s.extent == Scope::Extent::WholeKind && s.kind == choice.kind;
        });
        if (choice.extent == Scope::Extent::OneList && !together)
            whole << choice;
    }
    return whole;
}

const Scope *findList(const QList<Scope> &choices, qint64 list)
{
    for (const Scope &choice : choices) {
        if (choice.extent == Scope::Extent::OneList && choice.list == list)
            return &choice;
    }
    return nullptr;
}

} // namespace stats
