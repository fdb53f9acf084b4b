#include "kttransfervariables.h"

#include "ktoptionlist.h"

namespace {

const QString kTransferBranch = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.3.3.");

const KtOptionList &tftpCommandOptions()
{
    static const KtOption table[] = {{1, nullptr, "Connect"},
                                     {2, nullptr, "Get"},
                                     {3, nullptr, "Put"},
                                     {4, nullptr, "Nothing"},
                                     {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

const KtOptionList &upgradeCommandOptions()
{
    static const KtOption table[] = {{1, nullptr, "Firmwareupdate"}, {2, nullptr, "Configsetting"},
                                     {3, nullptr, "Configsave"},     {4, nullptr, "Reboot"},
                                     {5, nullptr, "Factoryreset"},   {6, nullptr, "Nothing"},
                                     {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

} // namespace

namespace TransferVariables {

const KtSNMPVarItem *AddressItems()
{
    static const KtSNMPVarItem table[] = {
        makeVarItem(kTransferBranch + u'1', QStringLiteral("remotesrvip"), SYN_IPADDRESS,
                    ACC_READWRITE),
        makeVarItem(kTransferBranch + u'2', QStringLiteral("remotefilename"), SYN_DISPLAYSTR,
                    ACC_READWRITE),
        {}};
    return table;
}

const KtSNMPVarItem *TransferItems()
{
    static const KtSNMPVarItem table[] = {
        makeVarItem(kTransferBranch + u'4', QStringLiteral("tftpcommand"), SYN_INTEGER,
                    ACC_READWRITE, &tftpCommandOptions()),
        {}};
    return table;
}

const KtSNMPVarItem *UpgradeItems()
{
    static const KtSNMPVarItem table[] = {
        makeVarItem(kTransferBranch + u'5', QStringLiteral("upgradesettingcommand"), SYN_INTEGER,
                    ACC_READWRITE, &upgradeCommandOptions()),
        {}};
    return table;
}

} // namespace TransferVariables
