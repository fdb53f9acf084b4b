// Every device variable the management windows read or write is served with the syntax and
// access they expect: a read gives its type and value, a writable one takes a write of a valid
// value, a read-only one refuses any write with notWritable. The list holds each variable
// once per band and one cell of every table column the windows use.
#include "apsim.h"
#include "snmptools.h"
#include "testenv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

namespace {

enum Access { Ro, Rw };

struct DeviceVariable
{
    const char *oid;      // below the vendor subtree, with the instance
    const char *type;     // as snmpget names it
    Access access;
    char setType;         // snmpset's type letter
    const char *value;    // default profile value: text, decimal, dotted or hex digits
    bool masked;          // read back as one "*" per character
};

const DeviceVariable kVariables[] = {
    {"4.1.1.1.1.1", "STRING", Rw, 's', "Norvane-11a", false}, // hSSID.1
    {"4.1.1.1.1.2", "STRING", Rw, 's', "Norvane-11g", false}, // hSSID.2
    {"4.1.1.1.2.1", "INTEGER", Rw, 'i', "1", false}, // hSSIDBroadcast.1
    {"4.1.1.1.2.2", "INTEGER", Rw, 'i', "1", false}, // hSSIDBroadcast.2
    {"4.1.1.1.3.1", "INTEGER", Rw, 'i', "36", false}, // hChannel.1
    {"4.1.1.1.3.2", "INTEGER", Rw, 'i', "6", false}, // hChannel.2
    // hChannelList.1
    {"4.1.1.1.4.1", "STRING", Ro, 's', "36 40 44 48 52 56 60 64 149 153 157 161 165", false},
    {"4.1.1.1.4.2", "STRING", Ro, 's', "1 2 3 4 5 6 7 8 9 10 11", false}, // hChannelList.2
    {"4.1.1.1.5.1", "STRING", Ro, 's', "5", false}, // hRadioFrequency.1
    {"4.1.1.1.5.2", "STRING", Ro, 's', "2.4", false}, // hRadioFrequency.2
    {"4.1.1.1.6.1", "STRING", Ro, 's', "40 48 56 153 161", false}, // hDynamicChannelList.1
    {"4.1.1.1.6.2", "STRING", Ro, 's', "6", false}, // hDynamicChannelList.2
    {"4.1.1.1.7.1", "STRING", Ro, 's', "42 50 58 152 160", false}, // hStaticChannelList.1
    {"4.1.1.1.7.2", "STRING", Ro, 's', "6", false}, // hStaticChannelList.2
    // hwdsChannelList.1
    {"4.1.1.1.8.1", "STRING", Ro, 's', "36 40 44 48 149 153 157 161 165", false},
    {"4.1.1.1.8.2", "STRING", Ro, 's', "1 2 3 4 5 6 7 8 9 10 11", false}, // hwdsChannelList.2
    {"4.1.1.1.9.1", "STRING", Ro, 's', "40 48 153 161", false}, // hwdsDynamicChannelList.1
    {"4.1.1.1.9.2", "STRING", Ro, 's', "6", false}, // hwdsDynamicChannelList.2
    {"4.1.1.1.10.1", "STRING", Ro, 's', "42 152 160", false}, // hwdsStaticChannelList.1
    {"4.1.1.1.10.2", "STRING", Ro, 's', "6", false}, // hwdsStaticChannelList.2
    {"4.1.2.1.0", "INTEGER", Rw, 'i', "1", false}, // hGetIPFrom
    {"4.1.2.2.0", "IpAddress", Rw, 'a', "192.168.0.50", false}, // hIPAddress
    {"4.1.2.3.0", "IpAddress", Rw, 'a', "255.255.255.0", false}, // hSubnetMask
    {"4.1.2.4.0", "IpAddress", Rw, 'a', "192.168.0.1", false}, // hDefaultGateway
    {"4.2.1.1.1.1", "INTEGER", Rw, 'i', "1", false}, // adAPMode.1
    {"4.2.1.1.1.2", "INTEGER", Rw, 'i', "1", false}, // adAPMode.2
    {"4.2.1.1.3.2", "Hex-STRING", Rw, 'x', "000000000000", false}, // adAPRRootAPMACAddress.2
    {"4.2.2.1.2.1.1", "Hex-STRING", Rw, 'x', "000000000000", false}, // adPtPRemoteAPMACAddress.1.1
    {"4.2.2.1.2.1.2", "Hex-STRING", Rw, 'x', "000000000000", false}, // adPtPRemoteAPMACAddress.1.2
    {"4.2.2.1.2.1.3", "Hex-STRING", Rw, 'x', "000000000000", false}, // adPtPRemoteAPMACAddress.1.3
    {"4.2.2.1.2.1.4", "Hex-STRING", Rw, 'x', "000000000000", false}, // adPtPRemoteAPMACAddress.1.4
    {"4.2.2.1.2.1.5", "Hex-STRING", Rw, 'x', "000000000000", false}, // adPtPRemoteAPMACAddress.1.5
    {"4.2.2.1.2.1.6", "Hex-STRING", Rw, 'x', "000000000000", false}, // adPtPRemoteAPMACAddress.1.6
    {"4.2.2.1.2.1.7", "Hex-STRING", Rw, 'x', "000000000000", false}, // adPtPRemoteAPMACAddress.1.7
    {"4.2.2.1.2.1.8", "Hex-STRING", Rw, 'x', "000000000000", false}, // adPtPRemoteAPMACAddress.1.8
    {"4.2.2.1.2.2.1", "Hex-STRING", Rw, 'x', "000000000000", false}, // adPtPRemoteAPMACAddress.2.1
    {"4.2.2.1.2.2.2", "Hex-STRING", Rw, 'x', "000000000000", false}, // adPtPRemoteAPMACAddress.2.2
    {"4.2.2.1.2.2.3", "Hex-STRING", Rw, 'x', "000000000000", false}, // adPtPRemoteAPMACAddress.2.3
    {"4.2.2.1.2.2.4", "Hex-STRING", Rw, 'x', "000000000000", false}, // adPtPRemoteAPMACAddress.2.4
    {"4.2.2.1.2.2.5", "Hex-STRING", Rw, 'x', "000000000000", false}, // adPtPRemoteAPMACAddress.2.5
    {"4.2.2.1.2.2.6", "Hex-STRING", Rw, 'x', "000000000000", false}, // adPtPRemoteAPMACAddress.2.6
    {"4.2.2.1.2.2.7", "Hex-STRING", Rw, 'x', "000000000000", false}, // adPtPRemoteAPMACAddress.2.7
    {"4.2.2.1.2.2.8", "Hex-STRING", Rw, 'x', "000000000000", false}, // adPtPRemoteAPMACAddress.2.8
    {"4.2.3.1.1.1", "STRING", Ro, 's', "5", false}, // adFrequency.1
    {"4.2.3.1.1.2", "STRING", Ro, 's', "2.4", false}, // adFrequency.2
    {"4.2.3.1.2.1", "INTEGER", Rw, 'i', "36", false}, // adChannel.1
    {"4.2.3.1.2.2", "INTEGER", Rw, 'i', "6", false}, // adChannel.2
    // adChannelList.1
    {"4.2.3.1.3.1", "STRING", Ro, 's', "36 40 44 48 52 56 60 64 149 153 157 161 165", false},
    {"4.2.3.1.3.2", "STRING", Ro, 's', "1 2 3 4 5 6 7 8 9 10 11", false}, // adChannelList.2
    {"4.2.3.1.4.1", "STRING", Rw, 's', "Auto", false}, // adDataRate.1
    {"4.2.3.1.4.2", "STRING", Rw, 's', "Auto", false}, // adDataRate.2
    {"4.2.3.1.5.1", "STRING", Ro, 's', "Auto 6 9 12 18 24 36 48 54", false}, // adDataRateList.1
    // adDataRateList.2
    {"4.2.3.1.5.2", "STRING", Ro, 's', "Auto 1 2 5.5 6 9 11 12 18 24 36 48 54", false},
    {"4.2.3.1.6.1", "INTEGER", Rw, 'i', "100", false}, // adBeaconInterval.1
    {"4.2.3.1.6.2", "INTEGER", Rw, 'i', "100", false}, // adBeaconInterval.2
    {"4.2.3.1.7.1", "INTEGER", Rw, 'i', "1", false}, // adDTIM.1
    {"4.2.3.1.7.2", "INTEGER", Rw, 'i', "1", false}, // adDTIM.2
    {"4.2.3.1.8.1", "INTEGER", Rw, 'i', "2346", false}, // adFragmentLength.1
    {"4.2.3.1.8.2", "INTEGER", Rw, 'i', "2346", false}, // adFragmentLength.2
    {"4.2.3.1.9.1", "INTEGER", Rw, 'i', "2346", false}, // adRTSLength.1
    {"4.2.3.1.9.2", "INTEGER", Rw, 'i', "2346", false}, // adRTSLength.2
    {"4.2.3.1.10.1", "INTEGER", Rw, 'i', "1", false}, // adTransmitPower.1
    {"4.2.3.1.10.2", "INTEGER", Rw, 'i', "2", false}, // adTransmitPower.2
    {"4.2.3.1.11.1", "INTEGER", Rw, 'i', "1", false}, // adSuperMode.1
    {"4.2.3.1.11.2", "INTEGER", Rw, 'i', "4", false}, // adSuperMode.2
    {"4.2.3.1.12.1", "INTEGER", Rw, 'i', "1", false}, // hRadioWave.1
    {"4.2.3.1.12.2", "INTEGER", Rw, 'i', "1", false}, // hRadioWave.2
    {"4.2.3.1.14.1", "INTEGER", Rw, 'i', "0", false}, // adAutoChannelScan.1
    {"4.2.3.1.14.2", "INTEGER", Rw, 'i', "0", false}, // adAutoChannelScan.2
    {"4.2.3.1.15.1", "STRING", Ro, 's', "40 48 56 153 161", false}, // adDynamicChannelList.1
    {"4.2.3.1.15.2", "STRING", Ro, 's', "6", false}, // adDynamicChannelList.2
    {"4.2.3.1.16.1", "STRING", Ro, 's', "42 50 58 152 160", false}, // adStaticChannelList.1
    {"4.2.3.1.16.2", "STRING", Ro, 's', "6", false}, // adStaticChannelList.2
    {"4.2.3.1.17.1", "INTEGER", Rw, 'i', "1", false}, // adWMM.1
    {"4.2.3.1.17.2", "INTEGER", Rw, 'i', "1", false}, // adWMM.2
    {"4.2.3.1.19.2", "INTEGER", Rw, 'i', "1", false}, // adPreamble.2
    {"4.2.3.1.23.1", "INTEGER", Rw, 'i', "0", false}, // adAntenna.1
    {"4.2.3.1.23.2", "INTEGER", Rw, 'i', "0", false}, // adAntenna.2
    {"4.2.3.1.24.2", "INTEGER", Rw, 'i', "2", false}, // adbgMode.2
    // adbgModeDataRateList.2
    {"4.2.3.1.25.2", "STRING", Ro, 's', "Auto 1 2 5.5 6 9 11 12 18 24 36 48 54", false},
    {"4.2.3.1.99.1", "INTEGER", Rw, 'i', "0", false}, // adXR.1
    {"4.2.3.1.99.2", "INTEGER", Rw, 'i', "0", false}, // adXR.2
    {"4.2.4.1.1.1.1", "INTEGER", Rw, 'i', "3", false}, // adAccSettingWirelessAccessControl.1
    {"4.2.4.1.1.1.2", "INTEGER", Rw, 'i', "2", false}, // adAccSettingWirelessAccessControl.2
    {"4.2.4.2.1.2.1.2", "Hex-STRING", Rw, 'x', "000000000000", false}, // MAC Address
    {"4.2.4.3.1.1.1", "INTEGER", Rw, 'i', "1", false}, // adInternalStationConnection.1
    {"4.2.4.3.1.1.2", "INTEGER", Rw, 'i', "1", false}, // adInternalStationConnection.2
    {"4.2.4.3.1.2.1", "INTEGER", Rw, 'i', "1", false}, // adEthernet2WLANAccess.1
    {"4.2.4.3.1.2.2", "INTEGER", Rw, 'i', "1", false}, // adEthernet2WLANAccess.2
    {"4.2.4.3.1.3.1", "INTEGER", Rw, 'i', "1", false}, // adInternaStationConnectionBetweenag.1
    {"4.2.4.3.1.3.2", "INTEGER", Rw, 'i', "1", false}, // adInternaStationConnectionBetweenag.2
    {"4.2.5.1.1.1.1", "INTEGER", Rw, 'i', "6", false}, // adSecAuthentication.1
    {"4.2.5.1.1.1.2", "INTEGER", Rw, 'i', "8", false}, // adSecAuthentication.2
    {"4.2.5.1.1.2.1", "INTEGER", Rw, 'i', "1", false}, // adSecEncryption.1
    {"4.2.5.1.1.2.2", "INTEGER", Rw, 'i', "1", false}, // adSecEncryption.2
    {"4.2.5.1.1.3.1", "INTEGER", Rw, 'i', "1", false}, // adSecValidKey.1
    {"4.2.5.1.1.3.2", "INTEGER", Rw, 'i', "1", false}, // adSecValidKey.2
    {"4.2.5.1.1.4.1", "STRING", Rw, 's', "Corridor-East-5GHz", false}, // adSecPassPhrase.1
    {"4.2.5.1.1.4.2", "STRING", Rw, 's', "Corridor-East-24GHz", false}, // adSecPassPhrase.2
    {"4.2.5.1.1.5.1", "INTEGER", Rw, 'i', "2", false}, // adSecCipherType.1
    {"4.2.5.1.1.5.2", "INTEGER", Rw, 'i', "1", false}, // adSecCipherType.2
    {"4.2.5.1.1.6.1", "INTEGER", Rw, 'i', "1800", false}, // adSecGroupKeyUpdateInterval.1
    {"4.2.5.1.1.6.2", "INTEGER", Rw, 'i', "1800", false}, // adSecGroupKeyUpdateInterval.2
    {"4.2.5.2.3.0", "STRING", Rw, 's', "192.168.0.10", false}, // adSecRADIUSServer
    {"4.2.5.2.4.0", "INTEGER", Rw, 'i', "1812", false}, // adSecRADIUSPort
    {"4.2.5.2.5.0", "STRING", Rw, 's', "n0rv4ne-radius", false}, // adSecRADIUSSecret
    // adSecKey-80211a-1
    {"4.2.5.3.1.1.1.1", "STRING", Rw, 's', "3A7F1C0D9B2E4A6C8E0F1A2B3C", true},
    {"4.2.5.3.1.1.1.2", "STRING", Rw, 's', "0000000000", true}, // adSecKey-80211a-2
    {"4.2.5.3.1.1.1.3", "STRING", Rw, 's', "0000000000", true}, // adSecKey-80211a-3
    {"4.2.5.3.1.1.1.4", "STRING", Rw, 's', "0000000000", true}, // adSecKey-80211a-4
    {"4.2.5.3.1.1.2.1", "STRING", Rw, 's', "5F3C9A1E07", true}, // adSecKey-80211g-1
    {"4.2.5.3.1.1.2.2", "STRING", Rw, 's', "0000000000", true}, // adSecKey-80211g-2
    {"4.2.5.3.1.1.2.3", "STRING", Rw, 's', "0000000000", true}, // adSecKey-80211g-3
    {"4.2.5.3.1.1.2.4", "STRING", Rw, 's', "0000000000", true}, // adSecKey-80211g-4
    {"4.2.6.1.0", "INTEGER", Rw, 'i', "1", false}, // LoadBalance
    {"4.2.6.2.0", "INTEGER", Rw, 'i', "32", false}, // UserLimit
    {"4.2.6.4.0", "INTEGER", Rw, 'i', "0", false}, // LinkIntegrate
    // EthernetLinkStatus
    {"4.2.6.5.0", "STRING", Ro, 's', "LAN1: 100Mbps Full Duplex, LAN2: down", false},
    {"4.2.7.1.0", "INTEGER", Rw, 'i', "1", false}, // dhcpFunction
    {"4.2.7.2.1.0", "IpAddress", Rw, 'a', "192.168.0.100", false}, // dhcpStart
    {"4.2.7.2.2.0", "INTEGER", Rw, 'i', "50", false}, // dhcpRange
    {"4.2.7.2.3.0", "IpAddress", Rw, 'a', "255.255.255.0", false}, // dhcpMask
    {"4.2.7.2.4.0", "IpAddress", Rw, 'a', "192.168.0.1", false}, // dhcpGateway
    {"4.2.7.2.5.0", "IpAddress", Rw, 'a', "0.0.0.0", false}, // dhcpWins
    {"4.2.7.2.6.0", "IpAddress", Rw, 'a', "192.168.0.1", false}, // dhcpDns
    {"4.2.7.2.7.0", "STRING", Rw, 's', "corp.example.com", false}, // dhcpDomain
    {"4.2.7.2.8.0", "INTEGER", Rw, 'i', "604800", false}, // dhcpLease
    {"4.2.7.2.9.0", "INTEGER", Rw, 'i', "1", false}, // dhcpStatus
    {"4.2.7.3.1.1.2", "IpAddress", Rw, 'a', "0.0.0.0", false}, // IP
    {"4.2.7.3.1.2.2", "Hex-STRING", Rw, 'x', "000000000000", false}, // MAC
    {"4.2.7.3.1.3.2", "IpAddress", Rw, 'a', "0.0.0.0", false}, // Mask
    {"4.2.7.3.1.4.2", "IpAddress", Rw, 'a', "0.0.0.0", false}, // Gateway
    {"4.2.7.3.1.5.2", "IpAddress", Rw, 'a', "0.0.0.0", false}, // DNS
    {"4.2.7.3.1.6.2", "IpAddress", Rw, 'a', "0.0.0.0", false}, // Wins
    {"4.2.7.3.1.7.2", "STRING", Rw, 's', "", false}, // Domain
    {"4.2.7.3.1.8.2", "INTEGER", Rw, 'i', "0", false}, // Status
    {"4.2.7.4.1.1.1.2", "Hex-STRING", Ro, 'x', "0016CB03B2E7", false}, // Current Dynamic MAC
    // Current Dynamic Assigned IP
    {"4.2.7.4.1.1.2.1", "IpAddress", Ro, 'a', "192.168.0.100", false},
    {"4.2.7.4.1.1.3.1", "INTEGER", Ro, 'i', "598212", false}, // Current Dynamic Lease
    {"4.2.7.4.2.1.1.1", "Hex-STRING", Ro, 'x', "000D5604A1B2", false}, // Current Static MAC
    {"4.2.7.4.2.1.2.1", "IpAddress", Ro, 'a', "192.168.0.20", false}, // Current Static Assigned IP
    {"4.2.8.1.1.1.1", "INTEGER", Rw, 'i', "0", false}, // adRefresh.1
    {"4.2.8.1.1.1.2", "INTEGER", Rw, 'i', "0", false}, // adRefresh.2
    {"4.2.8.2.1.1.1.2", "INTEGER", Ro, 'i', "2", false}, // index
    {"4.2.8.2.1.2.1.2", "STRING", Ro, 's', "AP", false}, // Type
    {"4.2.8.2.1.3.1.2", "INTEGER", Ro, 'i', "149", false}, // Channel
    {"4.2.8.2.1.4.1.2", "INTEGER", Ro, 'i', "35", false}, // Signal (%)
    {"4.2.8.2.1.5.1.2", "Hex-STRING", Ro, 'x', "00146C0E5A90", false}, // BSSID
    {"4.2.8.2.1.6.1.2", "STRING", Ro, 's', "WEP", false}, // Security
    {"4.2.8.2.1.7.1.2", "STRING", Ro, 's', "NETGEAR-A", false}, // SSID
    {"4.2.8.2.1.9.1.2", "INTEGER", Ro, 'i', "0", false}, // Support WDS
    {"4.2.9.1.1.1.1", "INTEGER", Rw, 'i', "0", false}, // adVlanState.1
    {"4.2.9.1.1.1.2", "INTEGER", Rw, 'i', "0", false}, // adVlanState.2
    {"4.2.9.2.1.2.2.4", "INTEGER", Rw, 'i', "1", false}, // adMSSIDIdvState
    {"4.2.9.2.1.3.2.4", "STRING", Rw, 's', "Norvane-Lab", false}, // adMSSIDSSID
    {"4.2.9.2.1.4.2.4", "INTEGER", Rw, 'i', "6", false}, // adMSSIDAuth
    {"4.2.9.2.1.5.2.4", "INTEGER", Rw, 'i', "1", false}, // adMSSIDEncryption
    {"4.2.9.2.1.6.2.4", "INTEGER", Rw, 'i', "1", false}, // adMSSIDKeyIndex
    {"4.2.9.2.1.7.2.4", "STRING", Rw, 's', "", true}, // adMSSIDKey
    {"4.2.9.2.1.8.2.4", "INTEGER", Rw, 'i', "-1", false}, // adMSSIDVlanTagID
    {"4.2.9.2.1.10.2.4", "INTEGER", Rw, 'i', "1", false}, // adMSSIDEthPort
    {"4.2.9.2.1.11.2.4", "INTEGER", Rw, 'i', "2", false}, // adMSSIDCipherType
    {"4.2.9.2.1.12.2.4", "STRING", Rw, 's', "lab-bench-0815", false}, // adMSSIDPassPhrase
    {"4.2.9.2.1.13.2.4", "INTEGER", Rw, 'i', "2", false}, // adMSSIDKeyType
    {"4.2.9.2.1.14.2.4", "INTEGER", Rw, 'i', "0", false}, // adMSSIDSuppress
    {"4.2.9.3.1.1.1", "INTEGER", Rw, 'i', "0", false}, // adMSSIDState.1
    {"4.2.9.3.1.1.2", "INTEGER", Rw, 'i', "1", false}, // adMSSIDState.2
    {"4.2.10.1.0", "INTEGER", Rw, 'i', "1", false}, // bssTypeDetected
    {"4.2.10.2.0", "INTEGER", Rw, 'i', "13", false}, // bandTypeDetected
    {"4.2.10.3.0", "INTEGER", Rw, 'i', "255", false}, // securityTypeDetected
    {"4.2.10.4.1.1.0", "INTEGER", Rw, 'i', "0", false}, // rogueAPDetect
    {"4.2.10.4.1.2.0", "INTEGER", Rw, 'i', "0", false}, // addRogueAPtoAPList
    {"4.2.10.4.1.3.0", "INTEGER", Rw, 'i', "0", false}, // deleteRogueAPFromResult
    {"4.2.10.4.1.4.1.1.2", "INTEGER", Ro, 'i', "2", false}, // found list index
    {"4.2.10.4.1.4.1.2.2", "STRING", Ro, 's', "AP BSS", false}, // found list Type
    {"4.2.10.4.1.4.1.3.2", "INTEGER", Ro, 'i', "11", false}, // found list CH
    {"4.2.10.4.1.4.1.4.2", "INTEGER", Ro, 'i', "43", false}, // found list RSSI
    {"4.2.10.4.1.4.1.5.2", "Hex-STRING", Ro, 'x', "00131049A6D2", false}, // found list BSSID
    {"4.2.10.4.1.4.1.7.2", "INTEGER", Ro, 'i', "3", false}, // found list Mode
    {"4.2.10.4.1.4.1.8.2", "STRING", Ro, 's', "linksys", false}, // found list SSID
    {"4.2.10.4.1.4.1.9.2", "INTEGER", Ro, 'i', "0", false}, // found list Security
    {"4.2.10.4.2.1.0", "INTEGER", Rw, 'i', "0", false}, // deleteRogueAPfromAPList
    {"4.2.10.4.2.2.1.1.2", "INTEGER", Ro, 'i', "2", false}, // AP list index
    {"4.2.10.4.2.2.1.2.2", "STRING", Ro, 's', "AP BSS", false}, // AP list Type
    {"4.2.10.4.2.2.1.3.2", "INTEGER", Ro, 'i', "40", false}, // AP list CH
    {"4.2.10.4.2.2.1.4.2", "INTEGER", Ro, 'i', "62", false}, // AP list RSSI
    {"4.2.10.4.2.2.1.5.2", "Hex-STRING", Ro, 'x', "000F3DFA7C21", false}, // AP list BSSID
    {"4.2.10.4.2.2.1.7.2", "INTEGER", Ro, 'i', "0", false}, // AP list Mode
    {"4.2.10.4.2.2.1.8.2", "STRING", Ro, 's', "Norvane-11a", false}, // AP list SSID
    {"4.2.10.4.2.2.1.9.2", "INTEGER", Ro, 'i', "5", false}, // AP list Security
    {"4.2.11.1.0", "INTEGER", Rw, 'i', "1", false}, // adSystemLevel
    {"4.2.11.2.0", "INTEGER", Rw, 'i', "1", false}, // adWirelessLevel
    {"4.2.11.3.0", "INTEGER", Rw, 'i', "1", false}, // adNoticeLevel
    {"4.2.11.4.0", "IpAddress", Rw, 'a', "0.0.0.0", false}, // adTFTPServerIP
    {"4.2.11.5.0", "STRING", Rw, 's', "LogFile.RD", false}, // adLogFileName
    {"4.2.11.6.0", "INTEGER", Rw, 'i', "0", false}, // adGetLog
    {"4.2.11.8.0", "INTEGER", Rw, 'i', "0", false}, // adRemoteLogState
    {"4.2.11.9.0", "IpAddress", Rw, 'a', "0.0.0.0", false}, // adLogServerIP
    {"4.2.11.10.0", "INTEGER", Rw, 'i', "0", false}, // adClearLocalLog
    {"4.3.1.1.0", "STRING", Rw, 's', "admin", false}, // UserName
    {"4.3.1.2.0", "STRING", Rw, 's', "n0rvane", false}, // Password
    {"4.3.2.1.0", "INTEGER", Rw, 'i', "0", false}, // sysRestart
    {"4.3.2.2.0", "INTEGER", Rw, 'i', "2", false}, // FactoryDefault
    {"4.3.3.1.0", "IpAddress", Rw, 'a', "0.0.0.0", false}, // remotesrvip
    {"4.3.3.2.0", "STRING", Rw, 's', "", false}, // remotefilename
    {"4.3.3.4.0", "INTEGER", Rw, 'i', "4", false}, // tftpcommand
    {"4.3.3.5.0", "INTEGER", Rw, 'i', "6", false}, // upgradesettingcommand
    {"4.3.4.1.0", "INTEGER", Rw, 'i', "0", false}, // telnet
    {"4.3.4.2.0", "INTEGER", Rw, 'i', "3", false}, // timeout
    {"4.3.4.3.0", "INTEGER", Rw, 'i', "1", false}, // ssh
    {"4.3.5.1.0", "IpAddress", Rw, 'a', "192.168.0.1", false}, // sntpServerIP
    {"4.3.5.2.0", "INTEGER", Rw, 'i', "14", false}, // sntpTZoneIdx
    {"4.3.5.4.0", "INTEGER", Rw, 'i', "1", false}, // dayLightSaving
    {"4.3.5.5.0", "STRING", Ro, 's', "2006/01/20 09:30:00", false}, // timeOfDay
    {"4.3.5.6.1.0", "IpAddress", Rw, 'a', "0.0.0.0", false}, // sntpTFTPServerIP
    {"4.3.5.6.2.0", "STRING", Rw, 's', "SNTPFile.RD", false}, // sntpListFileName
    {"4.3.5.6.3.0", "INTEGER", Rw, 'i', "0", false}, // sntpGetList
    {"4.4.1.1.1.0", "STRING", Ro, 's', "v2.00", false}, // stFirmwareVersion
    {"4.4.1.1.2.0", "Hex-STRING", Ro, 'x', "000F3DFA6DB1", false}, // stMacAddress
    {"4.4.1.1.3.0", "INTEGER", Ro, 'i', "1", false}, // stGetIPFrom
    {"4.4.1.1.4.0", "IpAddress", Ro, 'a', "192.168.0.50", false}, // stIPAddress
    {"4.4.1.1.5.0", "IpAddress", Ro, 'a', "255.255.255.0", false}, // stSubnetMask
    {"4.4.1.1.6.0", "IpAddress", Ro, 'a', "192.168.0.1", false}, // stDefaultGateway
    {"4.4.2.1.1.1", "STRING", Ro, 's', "Norvane-11a", false}, // stSSID.1
    {"4.4.2.1.2.1", "INTEGER", Ro, 'i', "36", false}, // stChannel.1
    {"4.4.2.1.3.1", "INTEGER", Ro, 'i', "1", false}, // stSuperMode.1
    {"4.4.2.1.4.1", "STRING", Ro, 's', "54 Mbps", false}, // stDataRate.1
    {"4.4.2.1.5.1", "STRING", Ro, 's', "WPA2-Personal", false}, // stSecLevelAuth.1
    {"4.4.2.1.6.1", "STRING", Ro, 's', "AES", false}, // stSecLevelPriv.1
    {"4.4.3.1.1.1.1", "INTEGER", Ro, 'i', "97", false}, // TrSuccessRate.1
    {"4.4.3.1.1.1.2", "INTEGER", Ro, 'i', "94", false}, // TrSuccessRate.2
    {"4.4.3.1.1.2.1", "INTEGER", Ro, 'i', "3", false}, // TrRetryRate.1
    {"4.4.3.1.1.2.2", "INTEGER", Ro, 'i', "6", false}, // TrRetryRate.2
    {"4.4.3.1.1.3.1", "INTEGER", Ro, 'i', "98", false}, // RxSuccessRate.1
    {"4.4.3.1.1.3.2", "INTEGER", Ro, 'i', "96", false}, // RxSuccessRate.2
    {"4.4.3.1.1.4.1", "INTEGER", Ro, 'i', "1", false}, // RxDuplicateRate.1
    {"4.4.3.1.1.4.2", "INTEGER", Ro, 'i', "2", false}, // RxDuplicateRate.2
    {"4.4.3.1.1.5.1", "INTEGER", Ro, 'i', "1532", false}, // RTSSuccessCount.1
    {"4.4.3.1.1.5.2", "INTEGER", Ro, 'i', "8841", false}, // RTSSuccessCount.2
    {"4.4.3.1.1.6.1", "INTEGER", Ro, 'i', "12", false}, // RTSFailureCount.1
    {"4.4.3.1.1.6.2", "INTEGER", Ro, 'i', "97", false}, // RTSFailureCount.2
    {"4.4.3.1.1.7.1", "INTEGER", Ro, 'i', "2849311", false}, // TrFrameCount.1
    {"4.4.3.1.1.7.2", "INTEGER", Ro, 'i', "10482236", false}, // TrFrameCount.2
    {"4.4.3.1.1.8.1", "INTEGER", Ro, 'i', "48213", false}, // MuticastTrFrameCount.1
    {"4.4.3.1.1.8.2", "INTEGER", Ro, 'i', "221904", false}, // MuticastTrFrameCount.2
    {"4.4.3.1.1.9.1", "INTEGER", Ro, 'i', "871", false}, // TrErrorCount.1
    {"4.4.3.1.1.9.2", "INTEGER", Ro, 'i', "5012", false}, // TrErrorCount.2
    {"4.4.3.1.1.10.1", "INTEGER", Ro, 'i', "91244", false}, // TrTotalRetryCount.1
    {"4.4.3.1.1.10.2", "INTEGER", Ro, 'i', "633118", false}, // TrTotalRetryCount.2
    {"4.4.3.1.1.11.1", "INTEGER", Ro, 'i', "20417", false}, // TrMutiRetryCount.1
    {"4.4.3.1.1.11.2", "INTEGER", Ro, 'i', "149207", false}, // TrMutiRetryCount.2
    {"4.4.3.1.1.12.1", "INTEGER", Ro, 'i', "3102987", false}, // RxFrameCount.1
    {"4.4.3.1.1.12.2", "INTEGER", Ro, 'i', "12019334", false}, // RxFrameCount.2
    {"4.4.3.1.1.13.1", "INTEGER", Ro, 'i', "10342", false}, // MuticastRxFrameCount.1
    {"4.4.3.1.1.13.2", "INTEGER", Ro, 'i', "88415", false}, // MuticastRxFrameCount.2
    {"4.4.3.1.1.14.1", "INTEGER", Ro, 'i', "40377", false}, // RxFrameFCSErrorCount.1
    {"4.4.3.1.1.14.2", "INTEGER", Ro, 'i', "301755", false}, // RxFrameFCSErrorCount.2
    {"4.4.3.1.1.15.1", "INTEGER", Ro, 'i', "3312", false}, // RxFrameDulicateCount.1
    {"4.4.3.1.1.15.2", "INTEGER", Ro, 'i', "20391", false}, // RxFrameDulicateCount.2
    {"4.4.3.1.1.16.1", "INTEGER", Ro, 'i', "6120", false}, // AckRxFailureCount.1
    {"4.4.3.1.1.16.2", "INTEGER", Ro, 'i', "41876", false}, // AckRxFailureCount.2
    {"4.4.3.1.1.17.1", "INTEGER", Ro, 'i', "0", false}, // WEPExcludedFrameCount.1
    {"4.4.3.1.1.17.2", "INTEGER", Ro, 'i', "14", false}, // WEPExcludedFrameCount.2
    {"4.4.3.1.1.18.1", "INTEGER", Ro, 'i', "0", false}, // WEPICVErrorCount.1
    {"4.4.3.1.1.18.2", "INTEGER", Ro, 'i', "3", false}, // WEPICVErrorCount.2
    {"4.4.4.0", "INTEGER", Ro, 'i', "4033", false}, // stLED
    {"4.4.5.1.1.1.1", "INTEGER", Rw, 'i', "0", false}, // adGetClient.1
    {"4.4.5.1.1.1.2", "INTEGER", Rw, 'i', "0", false}, // adGetClient.2
    {"4.4.5.2.1.1.2", "INTEGER", Ro, 'i', "2", false}, // Index
    {"4.4.5.2.1.2.2", "Hex-STRING", Ro, 'x', "00166F8C21A4", false}, // Client MAC Address
    {"4.4.5.2.1.3.2", "INTEGER", Ro, 'i', "2", false}, // Band
    {"4.4.5.2.1.4.2", "INTEGER", Ro, 'i', "8", false}, // Authentication
    {"4.4.5.2.1.5.2", "INTEGER", Ro, 'i', "64", false}, // Signal
    {"4.4.5.2.1.6.2", "INTEGER", Ro, 'i', "1", false}, // Power Saving Mode
    {"4.4.5.2.1.7.2", "STRING", Ro, 's', "Norvane-11g", false}, // SSID
    {"4.4.6.1.1.1.1", "INTEGER", Rw, 'i', "0", false}, // wdsGet.1
    {"4.4.6.1.1.1.2", "INTEGER", Rw, 'i', "0", false}, // wdsGet.2
    {"4.99.1.1.1.1", "INTEGER", Ro, 'i', "127", false}, // apmodes.1
    {"4.99.1.1.1.2", "INTEGER", Ro, 'i', "127", false}, // apmodes.2
    {"4.99.1.1.2.1", "INTEGER", Ro, 'i', "3", false}, // turbomodes.1
    {"4.99.1.1.2.2", "INTEGER", Ro, 'i', "3", false}, // turbomodes.2
    {"4.99.1.1.6.0", "STRING", Ro, 's', "US", false}, // countrycode
    {"4.99.1.1.7.0", "INTEGER", Ro, 'i', "1", false}, // clientinfosupported
    {"4.99.1.1.9.0", "INTEGER", Ro, 'i', "1", false}, // mssidsupported
    {"4.99.1.1.19.1", "INTEGER", Ro, 'i', "1", false}, // wdschannellist.1
    {"4.99.1.1.19.2", "INTEGER", Ro, 'i', "1", false}, // wdschannellist.2
    {"4.99.1.1.24.1", "INTEGER", Ro, 'i', "1", false}, // wdssitesurvey.1
    {"4.99.1.1.24.2", "INTEGER", Ro, 'i', "1", false}, // wdssitesurvey.2
};

// The value text snmpget prints for a row's value.
QString expectedText(const DeviceVariable &v)
{
    QString value = QString::fromUtf8(v.value);
    if (v.masked)
        value = QString(value.size(), QLatin1Char('*'));
    const QString type = QString::fromLatin1(v.type);
    if (type == QStringLiteral("STRING"))
        return value.isEmpty() ? QStringLiteral("\"\"")
                               : type + QStringLiteral(": \"") + value + QLatin1Char('"');
    if (type == QStringLiteral("Hex-STRING")) {
        QString spaced;
        for (int i = 0; i + 1 < value.size(); i += 2)
            spaced += value.mid(i, 2) + QLatin1Char(' ');
        return type + QStringLiteral(": ") + spaced;
    }
    return type + QStringLiteral(": ") + value;
}

QStringList binding(const DeviceVariable &v)
{
    return {vendorOid(v.oid), QString(QLatin1Char(v.setType)), QString::fromUtf8(v.value)};
}

class ApSimDeviceVariables : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_sim.start()) << qPrintable(m_sim.error()); }
    SnmpResult run(const QString &tool, const QStringList &community, const QStringList &args)
    {
        return runSnmpTool(tool, community + QStringList{target(m_sim.port())} + args);
    }

    ApSim m_sim;
};

TEST_F(ApSimDeviceVariables, ReadWithTheirTypeAndDefaultValue)
{
    constexpr int kBatch = 24;
    const int count = int(std::size(kVariables));
    for (int first = 0; first < count; first += kBatch) {
        QStringList oids;
        for (int i = first; i < std::min(count, first + kBatch); ++i)
            oids << vendorOid(kVariables[i].oid);
        const SnmpResult r = run(QStringLiteral("snmpget"), v2c(), oids);
        ASSERT_TRUE(r.ok()) << qPrintable(r.err);
        for (int i = first; i < std::min(count, first + kBatch); ++i)
            EXPECT_EQ(valueOf(r, vendorOid(kVariables[i].oid)), expectedText(kVariables[i]))
                << kVariables[i].oid;
    }
}

TEST_F(ApSimDeviceVariables, WritableOnesTakeAValidValue)
{
    // Writing the default value back changes nothing; command variables get their idle value.
    for (const DeviceVariable &v : kVariables) {
        if (v.access != Rw || (v.masked && !*v.value))
            continue;
        const SnmpResult r = run(QStringLiteral("snmpset"), v2c(QStringLiteral("tesmira")),
                                 binding(v));
        EXPECT_TRUE(r.ok()) << v.oid << ": " << qPrintable(r.err);
    }
}

TEST_F(ApSimDeviceVariables, ReadOnlyOnesRefuseWrites)
{
    for (const DeviceVariable &v : kVariables) {
        if (v.access != Ro)
            continue;
        const SnmpResult r = run(QStringLiteral("snmpset"), v2c(QStringLiteral("tesmira")),
                                 binding(v));
        EXPECT_FALSE(r.ok()) << v.oid;
        EXPECT_TRUE(r.err.contains(QStringLiteral("notWritable"))) << v.oid << ": "
                                                                   << qPrintable(r.err);
    }
}

// The limits the windows state for a value: the last value inside is taken, the first one
// outside is refused.
struct Limit
{
    const char *oid;
    char setType;
    const char *inside;
    const char *outside;
    const char *error;  // as snmpset prints it
};

const Limit kLimits[] = {
    // hSSID
    {"4.1.1.1.1.1", 's', "ssid-of-exactly-32-characters-ok",
     "ssid-of-33-characters-is-too-long", "wrongLength"},
    {"4.1.2.1.0", 'i', "2", "3", "wrongValue"},                  // hGetIPFrom
    {"4.2.1.1.1.2", 'i', "7", "8", "wrongValue"},                // adAPMode
    {"4.2.3.1.6.1", 'i', "1000", "1001", "wrongValue"},          // adBeaconInterval
    {"4.2.3.1.6.2", 'i', "20", "19", "wrongValue"},
    {"4.2.3.1.7.1", 'i', "255", "256", "wrongValue"},            // adDTIM
    {"4.2.3.1.7.2", 'i', "1", "0", "wrongValue"},
    {"4.2.3.1.8.1", 'i', "256", "255", "wrongValue"},            // adFragmentLength
    {"4.2.3.1.9.2", 'i', "2346", "2347", "wrongValue"},          // adRTSLength
    {"4.2.3.1.10.1", 'i', "5", "6", "wrongValue"},               // adTransmitPower
    {"4.2.3.1.11.1", 'i', "4", "5", "wrongValue"},               // adSuperMode
    {"4.2.3.1.19.2", 'i', "0", "2", "wrongValue"},               // adPreamble
    {"4.2.3.1.23.1", 'i', "2", "3", "wrongValue"},               // adAntenna
    {"4.2.3.1.24.2", 'i', "0", "3", "wrongValue"},               // adbgMode
    {"4.2.4.1.1.1.1", 'i', "1",
     "4", "wrongValue"},              // adAccSettingWirelessAccessControl
    {"4.2.5.1.1.1.2", 'i', "9", "10", "wrongValue"},             // adSecAuthentication
    {"4.2.5.1.1.3.1", 'i', "4", "5", "wrongValue"},              // adSecValidKey
    {"4.2.5.1.1.4.1", 's', "8-chars!", "7-chars", "wrongLength"}, // adSecPassPhrase
    {"4.2.5.1.1.5.2", 'i', "3", "4", "wrongValue"},              // adSecCipherType
    {"4.2.5.1.1.6.1", 'i', "300", "299", "wrongValue"},          // adSecGroupKeyUpdateInterval
    {"4.2.5.1.1.6.2", 'i', "9999999", "10000000", "wrongValue"},
    {"4.2.5.2.4.0", 'i', "65535", "65536", "wrongValue"},        // adSecRADIUSPort
    {"4.2.5.2.4.0", 'i', "1", "0", "wrongValue"},
    {"4.2.6.2.0", 'i', "64", "65", "wrongValue"},                // UserLimit
    {"4.2.7.2.2.0", 'i', "255", "256", "wrongValue"},            // dhcpRange
    {"4.2.7.2.2.0", 'i', "1", "0", "wrongValue"},
    {"4.2.7.2.8.0", 'i', "60", "59", "wrongValue"},              // dhcpLease
    {"4.2.7.2.8.0", 'i', "31536000", "31536001", "wrongValue"},
    {"4.2.7.3.1.8.3", 'i', "1", "2", "wrongValue"},              // static pool Status
    // adMSSIDSSID
    {"4.2.9.2.1.3.2.4", 's', "ssid-of-exactly-32-characters-ok",
     "ssid-of-33-characters-is-too-long", "wrongLength"},
    {"4.2.9.2.1.8.2.4", 'i', "4094", "4095", "wrongValue"},      // adMSSIDVlanTagID
    {"4.2.9.2.1.10.2.4", 'i', "2", "3", "wrongValue"},           // adMSSIDEthPort
    {"4.2.9.2.1.13.2.4", 'i', "1", "3", "wrongValue"},           // adMSSIDKeyType
    {"4.2.10.1.0", 'i', "3", "4", "wrongValue"},                 // bssTypeDetected
    // UserName
    {"4.3.1.1.0", 's', "a-user-name-of-exactly-forty-chars-long!",
     "a-user-name-of-forty-one-characters-long!", "wrongLength"},
    {"4.3.1.2.0", 's', "twelve-chars", "thirteen-char", "wrongLength"}, // Password
    {"4.3.3.4.0", 'i', "4", "5", "wrongValue"},                  // tftpcommand
    {"4.3.3.5.0", 'i', "6", "7", "wrongValue"},                  // upgradesettingcommand
    {"4.3.4.2.0", 'i', "5", "6", "wrongValue"},                  // timeout
    {"4.3.5.2.0", 'i', "75", "76", "wrongValue"},                // sntpTZoneIdx
    {"4.3.5.2.0", 'i', "1", "0", "wrongValue"},
};

TEST_F(ApSimDeviceVariables, ValuesJustOutsideTheirLimitsAreRefused)
{
    for (const Limit &limit : kLimits) {
        const QString oid = vendorOid(limit.oid);
        const QString type(QLatin1Char(limit.setType));
        SnmpResult r = run(QStringLiteral("snmpset"), v2c(QStringLiteral("tesmira")),
                           {oid, type, QString::fromLatin1(limit.outside)});
        EXPECT_FALSE(r.ok()) << limit.oid << " = " << limit.outside;
        EXPECT_TRUE(r.err.contains(QLatin1String(limit.error)))
            << limit.oid << " = " << limit.outside << ": " << qPrintable(r.err);
        r = run(QStringLiteral("snmpset"), v2c(QStringLiteral("tesmira")),
                {oid, type, QString::fromLatin1(limit.inside)});
        EXPECT_TRUE(r.ok()) << limit.oid << " = " << limit.inside << ": " << qPrintable(r.err);
    }
}

} // namespace
