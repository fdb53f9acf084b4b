#include "networkchecks.h"

#include "ktdialogs.h"
#include "ktlaunchparameters.h"
#include "ktoptionlist.h"
#include "ktping.h"
#include "ktsnmprequest2edits.h"
#include "tpagewindow.h"

#include <QStringList>
#include <QTreeWidget>

namespace NetworkChecks {

namespace {

const QString kStaticPool = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.7.3.1");

const QString kPinging = QStringLiteral("Testing whether %1 answers a ping...");
const QString kSetUntested = QStringLiteral("%1\n\nSet the address without this test?");

std::optional<qint64> decimal(const QString &text)
{
    try {
        return KtLaunchParameters::StrToInt(text);
    } catch (const KtConvertError &) {
        return std::nullopt;
    }
}

KtSNMPVarItem column(int subId, const char *name, int syntax,
                     const KtOptionList *options = nullptr)
{
    return makeVarItem(kStaticPool + QLatin1Char('.') + QString::number(subId),
                       QString::fromLatin1(name), syntax, ACC_READWRITE, options);
}

} // namespace

std::optional<quint32> AddressNumber(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return std::nullopt;
    quint32 number = 0;
    for (const QString &part : parts) {
        const std::optional<qint64> value = decimal(part);
        if (!value || *value < 0 || *value > 255)
            return std::nullopt;
        number = (number << 8) | quint32(*value);
    }
    return number;
}

bool SameAddress(const QString &a, const QString &b)
{
    const std::optional<quint32> x = AddressNumber(a);
    const std::optional<quint32> y = AddressNumber(b);
    if (x && y)
        return *x == *y;
    return a == b;
}

bool InDynamicPool(const QString &address, const QString &start, const QString &range)
{
    const std::optional<quint32> a = AddressNumber(address);
    const std::optional<quint32> s = AddressNumber(start);
    const std::optional<qint64> r = decimal(range);
    if (!a || !s || !r || *r <= 0)
        return false;
    return *s <= *a && quint64(*a) < quint64(*s) + quint64(*r);
}

const KtOptionList &OnOffOptions()
{
    static const KtOption table[] = {
        {0, nullptr, "OFF"}, {1, nullptr, "ON"}, {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

bool Reject(TPageWindow &window, const std::optional<Rejection> &rejection)
{
    return rejection && window.refuse(rejection->refusal, rejection->caption);
}

std::vector<KtSNMPVarItem> StaticPoolTable()
{
    // The row index is the key; it names the slot and is never written.
    return {makeVarItem(kStaticPool + QStringLiteral(".1"), QStringLiteral("Index"), SYN_INTEGER,
                        ACC_NOTACCESS),
            column(1, "IP", SYN_IPADDRESS),
            column(2, "MAC", SYN_MACADDRESS),
            column(3, "Mask", SYN_IPADDRESS),
            column(4, "Gateway", SYN_IPADDRESS),
            column(5, "DNS", SYN_IPADDRESS),
            column(6, "Wins", SYN_IPADDRESS),
            column(7, "Domain", SYN_DISPLAYSTR),
            column(8, "Status", SYN_INTEGER, &OnOffOptions()),
            {}};
}

bool StaticPoolHolds(const KtSNMPRequest2Edits &staticPool, const QString &address)
{
    const QTreeWidget *view = staticPool.listView;
    if (!view)
        return false;
    // Compared as addresses, not texts: "192.168.0.020" is the slot 192.168.0.20.
    for (int i = 0; i < view->topLevelItemCount(); ++i) {
        if (SameAddress(staticPool.RowValue(view->topLevelItem(i), SP_IP), address))
            return true;
    }
    return false;
}

PingVerdict PingBeforeGivingOut(TPageWindow &window, const QString &address)
{
    KtPing::Result result;
    {
        TPageWindow::WorkingScope working(&window, TPageWindow::Operation::Working);
        window.showStatusText(kPinging.arg(address));
        result = KtPing::Probe(address);
        window.showStatusText(QString());
    }
    switch (result.outcome) {
    case KtPing::Outcome::Free:
        return PingVerdict::Free;
    case KtPing::Outcome::InUse:
        return PingVerdict::InUse;
    case KtPing::Outcome::Failed:
        break;
    }
    // Not knowing is not "free": the administrator decides.
    return KtDialogs::message(&window, kSetUntested.arg(result.reason),
                              TPageWindow::warningCaption(), KtDialogs::Buttons::OkCancel)
               ? PingVerdict::Untested
               : PingVerdict::Declined;
}

} // namespace NetworkChecks
