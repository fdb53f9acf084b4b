#include "radiofacts.h"

#include "ktoptionlist.h"

#include <QComboBox>

namespace RadioFacts {

const KtOptionList &apModeOptions()
{
    static const KtOption table[]
        = {{AccessPoint, nullptr, "Access Point"}, {PtPBridge, nullptr, "PtP Bridge"},
           {PtMPBridge, nullptr, "PtMP Bridge"},   {ApRepeater, nullptr, "AP Repeater"},
           {ApClient, nullptr, "AP Client"},       {PtPWithout, nullptr, "PtP Without"},
           {P2MPWithout, nullptr, "P2MP Without"}, {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

QString apModeLabel(ApMode mode)
{
    return apModeOptions().LabelOf(QString::number(mode));
}

bool isWdsMode(const QString &apModeLabel)
{
    return apModeLabel == RadioFacts::apModeLabel(PtPBridge)
           || apModeLabel == RadioFacts::apModeLabel(PtMPBridge)
           || apModeLabel == RadioFacts::apModeLabel(PtPWithout)
           || apModeLabel == RadioFacts::apModeLabel(P2MPWithout);
}

const KtOptionList &superModeOptions()
{
    static const KtOption table[] = {{WithoutTurbo, nullptr, "Super Mode without Turbo"},
                                     {StaticTurbo, nullptr, "Super Mode with Static Turbo"},
                                     {DynamicTurbo, nullptr, "Super Mode with Dynamic Turbo"},
                                     {SuperModeDisabled, nullptr, "Disable"},
                                     {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

QString superModeLabel(SuperMode mode)
{
    return superModeOptions().LabelOf(QString::number(mode));
}

QString regionCode(const QString &firmwareVersion)
{
    return firmwareVersion.mid(5, 2);
}

bool isRestrictedRegion(const QString &firmwareVersion)
{
    static const QStringList restricted
        = {QStringLiteral("eu"), QStringLiteral("fr"), QStringLiteral("la"),
           QStringLiteral("au"), QStringLiteral("tw"), QStringLiteral("cn")};
    return restricted.contains(regionCode(firmwareVersion));
}

QString effectiveSuperMode(Band band, const QString &deviceSuperMode, const QString &turboModes,
                           const QString &firmwareVersion)
{
    const QString disabled = superModeLabel(SuperModeDisabled);
    const QString withoutTurbo = superModeLabel(WithoutTurbo);
    if (band == Band11a
        && (isRestrictedRegion(firmwareVersion) || turboModes == QStringLiteral("0")))
        return deviceSuperMode == disabled ? disabled : withoutTurbo;
    if (turboModes == QStringLiteral("2") && deviceSuperMode == superModeLabel(StaticTurbo))
        return withoutTurbo;
    return deviceSuperMode;
}

QString channelListFor(const ChannelLists &lists, const QString &superMode, bool useWdsLists)
{
    if (superMode == superModeLabel(StaticTurbo))
        return useWdsLists ? lists.wdsStaticTurbo : lists.staticTurbo;
    if (superMode == superModeLabel(DynamicTurbo))
        return useWdsLists ? lists.wdsDynamicTurbo : lists.dynamicTurbo;
    return useWdsLists ? lists.wds : lists.normal;
}

QStringList channelEntries(const QString &listText)
{
    return listText.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

bool fillChannelBox(QComboBox *box, const QString &listText, const QString &currentChannel)
{
    const QStringList entries = channelEntries(listText);
    const QSignalBlocker quiet(box);
    box->clear();
    box->addItems(entries);
    const int found = entries.indexOf(currentChannel);
    box->setCurrentIndex(found >= 0 ? found : (entries.isEmpty() ? -1 : 0));
    return found >= 0;
}

} // namespace RadioFacts
