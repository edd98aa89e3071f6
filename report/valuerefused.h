#pragma once

#include "db/error.h"

#include <QString>

namespace report {

// A report value that the report file cannot carry: names the entry by its reference number
// (HIV_SZAM) and, once it is known, its TAJ, then the field and what is wrong with it.
class ValueRefused : public db::Error
{
public:
    // tail continues the field's name: "jében nem dátum áll."
    ValueRefused(const QString &field, const QString &tail, const QString &hivSzam = {},
                 const QString &taj = {});

    QString field() const { return m_field; }
    QString hivSzam() const { return m_hivSzam; }
    // The same refusal of the entry whose TAJ is now known.
    ValueRefused withTaj(const QString &taj) const;
    ValueRefused ofEntry(const QString &hivSzam) const;

private:
    QString m_field;
    QString m_tail;
    QString m_hivSzam;
    QString m_taj;
};

} // namespace report
