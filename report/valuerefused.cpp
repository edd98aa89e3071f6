#include "valuerefused.h"

namespace report {

namespace {

QString refusalText(const QString &field, const QString &tail, const QString &hivSzam,
                    const QString &taj)
{
    if (hivSzam.isEmpty())
        return QStringLiteral("A jelentés egyik bejegyzésének %1 mező").arg(field) + tail;
    const QString entry = taj.isNull()
                              ? QStringLiteral("A(z) %1 hivatkozási számú bejegyzés").arg(hivSzam)
                              : QStringLiteral("A(z) %1 hivatkozási számú bejegyzés "
                                               "(TAJ: %2)")
                                    .arg(hivSzam, taj);
    return entry + QStringLiteral(" %1 mező").arg(field) + tail;
}

} // namespace

ValueRefused::ValueRefused(const QString &field, const QString &tail, const QString &hivSzam,
                           const QString &taj)
    : db::Error(refusalText(field, tail, hivSzam, taj))
    , m_field(field)
    , m_tail(tail)
    , m_hivSzam(hivSzam)
    , m_taj(taj)
{
}

ValueRefused ValueRefused::withTaj(const QString &taj) const
{
    return ValueRefused(m_field, m_tail, m_hivSzam, taj);
}

ValueRefused ValueRefused::ofEntry(const QString &hivSzam) const
{
    return ValueRefused(m_field, m_tail, hivSzam, m_taj);
}

} // namespace report
