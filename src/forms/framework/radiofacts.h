// Facts about the two radios that more than one window derives from the same device variables:
// the AP mode and super mode values, which AP modes are WDS links, the super mode a radio really
// runs given its turbo capability and the firmware's region, and which channel list a channel
// box offers. "Home \ Wireless" and "Advanced \ Performance" both take them from here, so the
// two windows always show the same channels for the same device.
#pragma once

#include <QString>
#include <QStringList>

class KtOptionList;
class QComboBox;

namespace RadioFacts {

// The band component of the per-band variables.
enum Band : int { Band11a = 1, Band11g = 2 };

// adAPMode.
enum ApMode : int {
    AccessPoint = 1,
    PtPBridge = 2,
    PtMPBridge = 3,
    ApRepeater = 4,
    ApClient = 5,
    PtPWithout = 6,
    P2MPWithout = 7,
};
// 1 "Access Point" ... 7 "P2MP Without".
const KtOptionList &apModeOptions();
QString apModeLabel(ApMode mode);
// The four modes that link the radio to remote access points by WDS: "PtP Bridge", "PtMP Bridge",
// "PtP Without", "P2MP Without" (labels of adAPMode).
bool isWdsMode(const QString &apModeLabel);

// adSuperMode.
enum SuperMode : int {
    WithoutTurbo = 1,
    StaticTurbo = 2,
    DynamicTurbo = 3,
    SuperModeDisabled = 4,
};
// 1 "Super Mode without Turbo" ... 4 "Disable".
const KtOptionList &superModeOptions();
QString superModeLabel(SuperMode mode);

// The region code of the firmware version text: its characters 6 and 7 ("v2.10eu" gives "eu").
QString regionCode(const QString &firmwareVersion);
// Regions whose regulations allow no turbo: "eu", "fr", "la", "au", "tw", "cn".
bool isRestrictedRegion(const QString &firmwareVersion);

// The super mode a radio runs, from the super mode the device reports (a label of adSuperMode),
// the band's turbo capability (the main window's ED_Turbomode / ED_Turbomode_g text) and the
// firmware version text (Ed_FwVer):
// - 802.11a in a restricted region, or without turbo ("0"): "Disable" stays, anything else is
//   "Super Mode without Turbo";
// - dynamic turbo only ("2"), either band: static turbo is "Super Mode without Turbo";
// - otherwise what the device reports.
QString effectiveSuperMode(Band band, const QString &deviceSuperMode, const QString &turboModes,
                           const QString &firmwareVersion);

// The channel lists a radio reports, as blank-separated channel numbers: hChannelList,
// hDynamicChannelList, hStaticChannelList and the WDS ones hwdsChannelList,
// hwdsDynamicChannelList, hwdsStaticChannelList.
struct ChannelLists {
    QString normal;
    QString dynamicTurbo;
    QString staticTurbo;
    QString wds;
    QString wdsDynamicTurbo;
    QString wdsStaticTurbo;
};

// The list a channel box offers: static turbo takes the static list, dynamic turbo the dynamic
// list, any other super mode the normal list; useWdsLists (a WDS mode on a device that reports
// WDS channel lists) takes the WDS list of the same kind instead.
QString channelListFor(const ChannelLists &lists, const QString &superMode, bool useWdsLists);

// The channels of a list text, split at blanks (empty pieces are left out).
QStringList channelEntries(const QString &listText);

// Fills the box with the channels of listText and selects currentChannel, or the first entry
// when it is not in the list. Returns whether currentChannel was found.
bool fillChannelBox(QComboBox *box, const QString &listText, const QString &currentChannel);

} // namespace RadioFacts
