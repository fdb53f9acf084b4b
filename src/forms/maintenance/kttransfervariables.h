// The device's file-transfer variables, as the firmware and configuration-file windows write
// them: where the TFTP server is and which file (the address request), what the device is to
// transfer (the transfer request) and what it does with the file (the upgrade request). Each
// window binds them to hidden controls and chooses a command by its position in the hidden
// combo box bound to the variable.
#pragma once

#include "ktsnmpvaritem.h"

namespace TransferVariables {

// Positions in the combo box bound to tftpcommand (CB_TfpCom); the device's values are one more.
enum TftpCommand { Connect = 0, Get = 1, Put = 2, NoTransfer = 3 };

// Positions in the combo box bound to upgradesettingcommand (CB_UpgCom); values one more.
enum UpgradeCommand {
    Firmwareupdate = 0,
    Configsetting = 1,
    Configsave = 2,
    Reboot = 3,
    Factoryreset = 4,
    NoUpgrade = 5
};

// Items of the address request: remotesrvip, remotefilename (the bare file name).
enum AddressItem { RemoteServerItem = 0, RemoteFileNameItem = 1 };

// Item tables (ended by a record without OID), for KtSNMPRequest2Edits(owner, table, SVT_SV).
const KtSNMPVarItem *AddressItems();  // remotesrvip, remotefilename
const KtSNMPVarItem *TransferItems(); // tftpcommand
const KtSNMPVarItem *UpgradeItems();  // upgradesettingcommand

} // namespace TransferVariables
