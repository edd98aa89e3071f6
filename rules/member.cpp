#include "member.h"

#include "messages.h"
#include "taj.h"

#include <QLocale>

namespace rules {

MemberFill newEntryFill(const QDate &today)
{
    MemberFill fill;
    fill.newEntry = true;
    fill.listara = today;
    fill.eventName = newEntryEventName();
    fill.esemDatum = today;
    return fill;
}

MemberFill eventFill(const ShownEntry &entry, const QDate &today)
{
    MemberFill fill;
    fill.newEntry = false;
    fill.hivSzam = QString::number(entry.hivSzam);
    fill.taj = entry.taj;
    fill.nev = entry.nev;
    fill.listara = entry.listara;
    fill.surgos = urgencyItem(entry.surgosseg);
    fill.esemDatum = today;
    fill.shown = entry;
    return fill;
}

int urgencyItem(const QString &surgosseg)
{
    return surgosseg == u"A" ? 0 : 1;
}

QString urgencyLetter(int item)
{
    return item == 0 ? QStringLiteral("A") : QStringLiteral("H");
}

std::optional<InputFailure> firstFailedCheck(const MemberInput &input, const QDate &today,
                                             const ShownListLookup &onShownList)
{
    const auto failure = [](QStringView text, const char *focus) {
        return std::optional<InputFailure>(
            InputFailure{text.toString(), QString::fromLatin1(focus)});
    };
    if (input.tajDigits == noTaj())
        return failure(message::tajEmpty, "eTaj");
    // Only entries that are on this list are shown: the same TAJ on another list, or on an
    // entry that left the list, is no duplicate.
    if (input.newEntry && onShownList && onShownList(input.tajDigits))
        return failure(message::tajOnList, "eTaj");
    if (input.listara > today)
        return failure(message::listaraInFuture, "dtpListara");
    if (input.surgos < 0)
        return failure(message::urgencyNotChosen, "rgSurgos");
    if (input.eventText.isEmpty())
        return failure(message::eventNotChosen, "cbEsemenynev");
    if (input.esemDatum > today)
        return failure(message::eventDateInFuture, "dtpEsemDatum");
    return std::nullopt;
}

bool changedSince(const ShownEntry &shown, const ShownEntry &stored)
{
    return shown.hivSzam != stored.hivSzam || shown.taj != stored.taj || shown.nev != stored.nev
           || shown.listara != stored.listara || shown.surgosseg != stored.surgosseg
           || shown.esemKod != stored.esemKod || shown.esemDatum != stored.esemDatum;
}

namespace {
QString dayText(const QDate &day)
{
    return day.isValid() ? QLocale().toString(day, QLocale::ShortFormat) : QStringLiteral("–");
}
} // namespace

QString changedMeanwhileMessage(const ShownEntry &stored)
{
    // An event code without its row in the event table is named by its code.
    const QString event = stored.esemNev.isEmpty() ? stored.esemKod : stored.esemNev;
    const QString urgency = urgencyItem(stored.surgosseg) == 0 ? QStringLiteral("Azonnali (Akut)")
                                                               : QStringLiteral("Halasztható");
    const QString now = QStringLiteral("esemény: %1, %2; TAJ: %3; név: %4; listárakerülés: %5; "
                                       "sürgősség: %6.")
                            .arg(event, dayText(stored.esemDatum), stored.taj, stored.nev,
                                 dayText(stored.listara), urgency);
    return message::entryChangedMeanwhile.toString().arg(now);
}

} // namespace rules
