# QRN-7300XB, healthy dual-band access point as shipped to an office network:
# firmware v2.00, 802.11a radio (band 1) and 802.11g radio (band 2) both on, static address
# 192.168.0.50/24, DHCP server on, three secondary SSIDs on the 802.11g radio, a few stations.
# Vendor subtree: 1.3.6.1.4.1.32473.11.37. Scalars read as a single variable carry ".0";
# per-band variables end in the band (1 = 802.11a, 2 = 802.11g).

# ---------------------------------------------------------------- MIB-II system group
1.3.6.1.2.1.1.1.0 displaystr ro "QRN-7300XB Dual-Band 802.11a/g Access Point" name=sysDescr
1.3.6.1.2.1.1.2.0 objectid ro 1.3.6.1.4.1.32473.11.37.21 name=sysObjectID
1.3.6.1.2.1.1.3.0 timeticks ro 0 ticking name=sysUpTime
1.3.6.1.2.1.1.4.0 displaystr rw "Network Operations, ext. 4711" size=0..255 name=sysContact
1.3.6.1.2.1.1.5.0 displaystr rw "ap-bldg2-3f" size=0..255 name=sysName
1.3.6.1.2.1.1.6.0 displaystr rw "Building 2, 3rd floor, east corridor" size=0..255 name=sysLocation
1.3.6.1.2.1.1.7.0 integer ro 2 name=sysServices

# ---------------------------------------------------------------- .4.1 home: wireless basics
# hSSID, hSSIDBroadcast, hChannel, hChannelList, hRadioFrequency (GHz text)
1.3.6.1.4.1.32473.11.37.4.1.1.1.1.1 displaystr rw "Norvane-11a" size=1..32 name=hSSID.1
1.3.6.1.4.1.32473.11.37.4.1.1.1.1.2 displaystr rw "Norvane-11g" size=1..32 name=hSSID.2
1.3.6.1.4.1.32473.11.37.4.1.1.1.2.1 integer rw 1 enum=0,1 name=hSSIDBroadcast.1
1.3.6.1.4.1.32473.11.37.4.1.1.1.2.2 integer rw 1 enum=0,1 name=hSSIDBroadcast.2
# channels of the normal, dynamic-turbo and static-turbo lists of the band
1.3.6.1.4.1.32473.11.37.4.1.1.1.3.1 integer rw 36 enum=36,40,42,44,48,50,52,56,58,60,64,149,152,153,157,160,161,165 name=hChannel.1
1.3.6.1.4.1.32473.11.37.4.1.1.1.3.2 integer rw 6 range=1..11 name=hChannel.2
1.3.6.1.4.1.32473.11.37.4.1.1.1.4.1 displaystr ro "36 40 44 48 52 56 60 64 149 153 157 161 165" name=hChannelList.1
1.3.6.1.4.1.32473.11.37.4.1.1.1.4.2 displaystr ro "1 2 3 4 5 6 7 8 9 10 11" name=hChannelList.2
1.3.6.1.4.1.32473.11.37.4.1.1.1.5.1 displaystr ro "5" name=hRadioFrequency.1
1.3.6.1.4.1.32473.11.37.4.1.1.1.5.2 displaystr ro "2.4" name=hRadioFrequency.2
# turbo channel lists, and the channels allowed in the WDS modes (no DFS channels there)
1.3.6.1.4.1.32473.11.37.4.1.1.1.6.1 displaystr ro "40 48 56 153 161" name=hDynamicChannelList.1
1.3.6.1.4.1.32473.11.37.4.1.1.1.6.2 displaystr ro "6" name=hDynamicChannelList.2
1.3.6.1.4.1.32473.11.37.4.1.1.1.7.1 displaystr ro "42 50 58 152 160" name=hStaticChannelList.1
1.3.6.1.4.1.32473.11.37.4.1.1.1.7.2 displaystr ro "6" name=hStaticChannelList.2
1.3.6.1.4.1.32473.11.37.4.1.1.1.8.1 displaystr ro "36 40 44 48 149 153 157 161 165" name=hwdsChannelList.1
1.3.6.1.4.1.32473.11.37.4.1.1.1.8.2 displaystr ro "1 2 3 4 5 6 7 8 9 10 11" name=hwdsChannelList.2
1.3.6.1.4.1.32473.11.37.4.1.1.1.9.1 displaystr ro "40 48 153 161" name=hwdsDynamicChannelList.1
1.3.6.1.4.1.32473.11.37.4.1.1.1.9.2 displaystr ro "6" name=hwdsDynamicChannelList.2
1.3.6.1.4.1.32473.11.37.4.1.1.1.10.1 displaystr ro "42 152 160" name=hwdsStaticChannelList.1
1.3.6.1.4.1.32473.11.37.4.1.1.1.10.2 displaystr ro "6" name=hwdsStaticChannelList.2

# ---------------------------------------------------------------- .4.1.2 home: LAN
# hGetIPFrom: 1 static (manual), 2 dynamic (DHCP)
1.3.6.1.4.1.32473.11.37.4.1.2.1.0 integer rw 1 enum=1,2 name=hGetIPFrom
1.3.6.1.4.1.32473.11.37.4.1.2.2.0 ipaddress rw 192.168.0.50 name=hIPAddress
1.3.6.1.4.1.32473.11.37.4.1.2.3.0 ipaddress rw 255.255.255.0 name=hSubnetMask
1.3.6.1.4.1.32473.11.37.4.1.2.4.0 ipaddress rw 192.168.0.1 name=hDefaultGateway

# ---------------------------------------------------------------- .4.2.1/.4.2.2 AP mode, WDS peers
# adAPMode: 1 Access Point, 2 PtP Bridge, 3 PtMP Bridge, 4 AP Repeater, 5 AP Client,
# 6 PtP Without, 7 P2MP Without
1.3.6.1.4.1.32473.11.37.4.2.1.1.1.1 integer rw 1 enum=1,2,3,4,5,6,7 name=adAPMode.1
1.3.6.1.4.1.32473.11.37.4.2.1.1.1.2 integer rw 1 enum=1,2,3,4,5,6,7 name=adAPMode.2
# root AP of the repeater mode (the 802.11g radio only)
1.3.6.1.4.1.32473.11.37.4.2.1.1.3.2 octetstr rw 000000000000 size=6..6 name=adAPRRootAPMACAddress.2
# remote APs 1-8 of a WDS link, per band (instance band.n); "000000000000" = none
1.3.6.1.4.1.32473.11.37.4.2.2.1.2.1.1 octetstr rw 000000000000 size=6..6 name=adPtPRemoteAPMACAddress.1.1
1.3.6.1.4.1.32473.11.37.4.2.2.1.2.1.2 octetstr rw 000000000000 size=6..6 name=adPtPRemoteAPMACAddress.1.2
1.3.6.1.4.1.32473.11.37.4.2.2.1.2.1.3 octetstr rw 000000000000 size=6..6 name=adPtPRemoteAPMACAddress.1.3
1.3.6.1.4.1.32473.11.37.4.2.2.1.2.1.4 octetstr rw 000000000000 size=6..6 name=adPtPRemoteAPMACAddress.1.4
1.3.6.1.4.1.32473.11.37.4.2.2.1.2.1.5 octetstr rw 000000000000 size=6..6 name=adPtPRemoteAPMACAddress.1.5
1.3.6.1.4.1.32473.11.37.4.2.2.1.2.1.6 octetstr rw 000000000000 size=6..6 name=adPtPRemoteAPMACAddress.1.6
1.3.6.1.4.1.32473.11.37.4.2.2.1.2.1.7 octetstr rw 000000000000 size=6..6 name=adPtPRemoteAPMACAddress.1.7
1.3.6.1.4.1.32473.11.37.4.2.2.1.2.1.8 octetstr rw 000000000000 size=6..6 name=adPtPRemoteAPMACAddress.1.8
1.3.6.1.4.1.32473.11.37.4.2.2.1.2.2.1 octetstr rw 000000000000 size=6..6 name=adPtPRemoteAPMACAddress.2.1
1.3.6.1.4.1.32473.11.37.4.2.2.1.2.2.2 octetstr rw 000000000000 size=6..6 name=adPtPRemoteAPMACAddress.2.2
1.3.6.1.4.1.32473.11.37.4.2.2.1.2.2.3 octetstr rw 000000000000 size=6..6 name=adPtPRemoteAPMACAddress.2.3
1.3.6.1.4.1.32473.11.37.4.2.2.1.2.2.4 octetstr rw 000000000000 size=6..6 name=adPtPRemoteAPMACAddress.2.4
1.3.6.1.4.1.32473.11.37.4.2.2.1.2.2.5 octetstr rw 000000000000 size=6..6 name=adPtPRemoteAPMACAddress.2.5
1.3.6.1.4.1.32473.11.37.4.2.2.1.2.2.6 octetstr rw 000000000000 size=6..6 name=adPtPRemoteAPMACAddress.2.6
1.3.6.1.4.1.32473.11.37.4.2.2.1.2.2.7 octetstr rw 000000000000 size=6..6 name=adPtPRemoteAPMACAddress.2.7
1.3.6.1.4.1.32473.11.37.4.2.2.1.2.2.8 octetstr rw 000000000000 size=6..6 name=adPtPRemoteAPMACAddress.2.8

# ---------------------------------------------------------------- .4.2.3 radio performance
# The ad* radio variables that duplicate a home variable (frequency, channel, channel lists)
# share its value (same=).
1.3.6.1.4.1.32473.11.37.4.2.3.1.1.1 displaystr ro "5" same=1.3.6.1.4.1.32473.11.37.4.1.1.1.5.1 name=adFrequency.1
1.3.6.1.4.1.32473.11.37.4.2.3.1.1.2 displaystr ro "2.4" same=1.3.6.1.4.1.32473.11.37.4.1.1.1.5.2 name=adFrequency.2
1.3.6.1.4.1.32473.11.37.4.2.3.1.2.1 integer rw 36 enum=36,40,42,44,48,50,52,56,58,60,64,149,152,153,157,160,161,165 same=1.3.6.1.4.1.32473.11.37.4.1.1.1.3.1 name=adChannel.1
1.3.6.1.4.1.32473.11.37.4.2.3.1.2.2 integer rw 6 range=1..11 same=1.3.6.1.4.1.32473.11.37.4.1.1.1.3.2 name=adChannel.2
1.3.6.1.4.1.32473.11.37.4.2.3.1.3.1 displaystr ro "36 40 44 48 52 56 60 64 149 153 157 161 165" same=1.3.6.1.4.1.32473.11.37.4.1.1.1.4.1 name=adChannelList.1
1.3.6.1.4.1.32473.11.37.4.2.3.1.3.2 displaystr ro "1 2 3 4 5 6 7 8 9 10 11" same=1.3.6.1.4.1.32473.11.37.4.1.1.1.4.2 name=adChannelList.2
# data rate in Mb/s, or "Auto"
1.3.6.1.4.1.32473.11.37.4.2.3.1.4.1 displaystr rw "Auto" size=1..4 name=adDataRate.1
1.3.6.1.4.1.32473.11.37.4.2.3.1.4.2 displaystr rw "Auto" size=1..4 name=adDataRate.2
1.3.6.1.4.1.32473.11.37.4.2.3.1.5.1 displaystr ro "Auto 6 9 12 18 24 36 48 54" name=adDataRateList.1
1.3.6.1.4.1.32473.11.37.4.2.3.1.5.2 displaystr ro "Auto 1 2 5.5 6 9 11 12 18 24 36 48 54" name=adDataRateList.2
1.3.6.1.4.1.32473.11.37.4.2.3.1.6.1 integer rw 100 range=20..1000 name=adBeaconInterval.1
1.3.6.1.4.1.32473.11.37.4.2.3.1.6.2 integer rw 100 range=20..1000 name=adBeaconInterval.2
1.3.6.1.4.1.32473.11.37.4.2.3.1.7.1 integer rw 1 range=1..255 name=adDTIM.1
1.3.6.1.4.1.32473.11.37.4.2.3.1.7.2 integer rw 1 range=1..255 name=adDTIM.2
1.3.6.1.4.1.32473.11.37.4.2.3.1.8.1 integer rw 2346 range=256..2346 name=adFragmentLength.1
1.3.6.1.4.1.32473.11.37.4.2.3.1.8.2 integer rw 2346 range=256..2346 name=adFragmentLength.2
1.3.6.1.4.1.32473.11.37.4.2.3.1.9.1 integer rw 2346 range=256..2346 name=adRTSLength.1
1.3.6.1.4.1.32473.11.37.4.2.3.1.9.2 integer rw 2346 range=256..2346 name=adRTSLength.2
# adTransmitPower: 1 Full, 2 Half(-3dB), 3 Quarter(-6dB), 4 Eighth(-9dB), 5 Min
1.3.6.1.4.1.32473.11.37.4.2.3.1.10.1 integer rw 1 enum=1,2,3,4,5 name=adTransmitPower.1
1.3.6.1.4.1.32473.11.37.4.2.3.1.10.2 integer rw 2 enum=1,2,3,4,5 name=adTransmitPower.2
# adSuperMode: 1 without Turbo, 2 with Static Turbo, 3 with Dynamic Turbo, 4 Disable
# (the 802.11g radio runs several SSIDs, which needs super mode off)
1.3.6.1.4.1.32473.11.37.4.2.3.1.11.1 integer rw 1 enum=1,2,3,4 name=adSuperMode.1
1.3.6.1.4.1.32473.11.37.4.2.3.1.11.2 integer rw 4 enum=1,2,3,4 name=adSuperMode.2
# hRadioWave: 0 Off, 1 On
1.3.6.1.4.1.32473.11.37.4.2.3.1.12.1 integer rw 1 enum=0,1 name=hRadioWave.1
1.3.6.1.4.1.32473.11.37.4.2.3.1.12.2 integer rw 1 enum=0,1 name=hRadioWave.2
1.3.6.1.4.1.32473.11.37.4.2.3.1.14.1 integer rw 0 enum=0,1 name=adAutoChannelScan.1
1.3.6.1.4.1.32473.11.37.4.2.3.1.14.2 integer rw 0 enum=0,1 name=adAutoChannelScan.2
1.3.6.1.4.1.32473.11.37.4.2.3.1.15.1 displaystr ro "40 48 56 153 161" same=1.3.6.1.4.1.32473.11.37.4.1.1.1.6.1 name=adDynamicChannelList.1
1.3.6.1.4.1.32473.11.37.4.2.3.1.15.2 displaystr ro "6" same=1.3.6.1.4.1.32473.11.37.4.1.1.1.6.2 name=adDynamicChannelList.2
1.3.6.1.4.1.32473.11.37.4.2.3.1.16.1 displaystr ro "42 50 58 152 160" same=1.3.6.1.4.1.32473.11.37.4.1.1.1.7.1 name=adStaticChannelList.1
1.3.6.1.4.1.32473.11.37.4.2.3.1.16.2 displaystr ro "6" same=1.3.6.1.4.1.32473.11.37.4.1.1.1.7.2 name=adStaticChannelList.2
1.3.6.1.4.1.32473.11.37.4.2.3.1.17.1 integer rw 1 enum=0,1 name=adWMM.1
1.3.6.1.4.1.32473.11.37.4.2.3.1.17.2 integer rw 1 enum=0,1 name=adWMM.2
# adPreamble (802.11g): 0 Long Only, 1 Short and Long
1.3.6.1.4.1.32473.11.37.4.2.3.1.19.2 integer rw 1 enum=0,1 name=adPreamble.2
# adAntenna: 0 auto (diversity), 1 aut1, 2 aut2
1.3.6.1.4.1.32473.11.37.4.2.3.1.23.1 integer rw 0 enum=0,1,2 name=adAntenna.1
1.3.6.1.4.1.32473.11.37.4.2.3.1.23.2 integer rw 0 enum=0,1,2 name=adAntenna.2
# adbgMode (802.11g): 0 11g only, 1 11b only, 2 Mixed
1.3.6.1.4.1.32473.11.37.4.2.3.1.24.2 integer rw 2 enum=0,1,2 name=adbgMode.2
1.3.6.1.4.1.32473.11.37.4.2.3.1.25.2 displaystr ro "Auto 1 2 5.5 6 9 11 12 18 24 36 48 54" name=adbgModeDataRateList.2
# adXR (extended range): 0 Disable, 1 Enable
1.3.6.1.4.1.32473.11.37.4.2.3.1.99.1 integer rw 0 enum=0,1 name=adXR.1
1.3.6.1.4.1.32473.11.37.4.2.3.1.99.2 integer rw 0 enum=0,1 name=adXR.2

# ---------------------------------------------------------------- .4.2.4 filters
# adAccSettingWirelessAccessControl: 1 Accept, 2 Reject, 3 Disable
1.3.6.1.4.1.32473.11.37.4.2.4.1.1.1.1 integer rw 3 enum=1,2,3 name=adAccSettingWirelessAccessControl.1
1.3.6.1.4.1.32473.11.37.4.2.4.1.1.1.2 integer rw 2 enum=1,2,3 name=adAccSettingWirelessAccessControl.2
# MAC access lists: 32 slots per band (index band.slot), a free slot holds 000000000000
table 1.3.6.1.4.1.32473.11.37.4.2.4.2.1 macfilter
column 1 integer ro
column 2 octetstr rw size=6..6
row 1.1 1 000000000000
row 1.2 2 000000000000
row 1.3 3 000000000000
row 1.4 4 000000000000
row 1.5 5 000000000000
row 1.6 6 000000000000
row 1.7 7 000000000000
row 1.8 8 000000000000
row 1.9 9 000000000000
row 1.10 10 000000000000
row 1.11 11 000000000000
row 1.12 12 000000000000
row 1.13 13 000000000000
row 1.14 14 000000000000
row 1.15 15 000000000000
row 1.16 16 000000000000
row 1.17 17 000000000000
row 1.18 18 000000000000
row 1.19 19 000000000000
row 1.20 20 000000000000
row 1.21 21 000000000000
row 1.22 22 000000000000
row 1.23 23 000000000000
row 1.24 24 000000000000
row 1.25 25 000000000000
row 1.26 26 000000000000
row 1.27 27 000000000000
row 1.28 28 000000000000
row 1.29 29 000000000000
row 1.30 30 000000000000
row 1.31 31 000000000000
row 1.32 32 000000000000
row 2.1 1 000D0B4471AA
row 2.2 2 0014A5C2990E
row 2.3 3 000000000000
row 2.4 4 001E58230B7C
row 2.5 5 000000000000
row 2.6 6 000000000000
row 2.7 7 000000000000
row 2.8 8 000000000000
row 2.9 9 000000000000
row 2.10 10 000000000000
row 2.11 11 000000000000
row 2.12 12 000000000000
row 2.13 13 000000000000
row 2.14 14 000000000000
row 2.15 15 000000000000
row 2.16 16 000000000000
row 2.17 17 000000000000
row 2.18 18 000000000000
row 2.19 19 000000000000
row 2.20 20 000000000000
row 2.21 21 000000000000
row 2.22 22 000000000000
row 2.23 23 000000000000
row 2.24 24 000000000000
row 2.25 25 000000000000
row 2.26 26 000000000000
row 2.27 27 000000000000
row 2.28 28 000000000000
row 2.29 29 000000000000
row 2.30 30 000000000000
row 2.31 31 000000000000
row 2.32 32 000000000000
end
# WLAN partition: 0 Disable, 1 Enable
1.3.6.1.4.1.32473.11.37.4.2.4.3.1.1.1 integer rw 1 enum=0,1 name=adInternalStationConnection.1
1.3.6.1.4.1.32473.11.37.4.2.4.3.1.1.2 integer rw 1 enum=0,1 name=adInternalStationConnection.2
1.3.6.1.4.1.32473.11.37.4.2.4.3.1.2.1 integer rw 1 enum=0,1 name=adEthernet2WLANAccess.1
1.3.6.1.4.1.32473.11.37.4.2.4.3.1.2.2 integer rw 1 enum=0,1 name=adEthernet2WLANAccess.2
1.3.6.1.4.1.32473.11.37.4.2.4.3.1.3.1 integer rw 1 enum=0,1 name=adInternaStationConnectionBetweenag.1
1.3.6.1.4.1.32473.11.37.4.2.4.3.1.3.2 integer rw 1 enum=0,1 name=adInternaStationConnectionBetweenag.2

# ---------------------------------------------------------------- .4.2.5 wireless security
# adSecAuthentication: 1 Open System, 2 Shared Key, 3 Open System / Shared Key, 4 WPA-Personal,
# 5 WPA-Enterprise, 6 WPA2-Personal, 7 WPA2-Enterprise, 8 WPA-Auto-Personal, 9 WPA-Auto-Enterprise
1.3.6.1.4.1.32473.11.37.4.2.5.1.1.1.1 integer rw 6 enum=1,2,3,4,5,6,7,8,9 name=adSecAuthentication.1
1.3.6.1.4.1.32473.11.37.4.2.5.1.1.1.2 integer rw 8 enum=1,2,3,4,5,6,7,8,9 name=adSecAuthentication.2
1.3.6.1.4.1.32473.11.37.4.2.5.1.1.2.1 integer rw 1 enum=0,1 name=adSecEncryption.1
1.3.6.1.4.1.32473.11.37.4.2.5.1.1.2.2 integer rw 1 enum=0,1 name=adSecEncryption.2
# adSecValidKey: 1 First .. 4 Fourth
1.3.6.1.4.1.32473.11.37.4.2.5.1.1.3.1 integer rw 1 enum=1,2,3,4 name=adSecValidKey.1
1.3.6.1.4.1.32473.11.37.4.2.5.1.1.3.2 integer rw 1 enum=1,2,3,4 name=adSecValidKey.2
1.3.6.1.4.1.32473.11.37.4.2.5.1.1.4.1 displaystr rw "Corridor-East-5GHz" size=8..63 name=adSecPassPhrase.1
1.3.6.1.4.1.32473.11.37.4.2.5.1.1.4.2 displaystr rw "Corridor-East-24GHz" size=8..63 name=adSecPassPhrase.2
# adSecCipherType: 1 Auto, 2 AES, 3 TKIP
1.3.6.1.4.1.32473.11.37.4.2.5.1.1.5.1 integer rw 2 enum=1,2,3 name=adSecCipherType.1
1.3.6.1.4.1.32473.11.37.4.2.5.1.1.5.2 integer rw 1 enum=1,2,3 name=adSecCipherType.2
1.3.6.1.4.1.32473.11.37.4.2.5.1.1.6.1 integer rw 1800 range=300..9999999 name=adSecGroupKeyUpdateInterval.1
1.3.6.1.4.1.32473.11.37.4.2.5.1.1.6.2 integer rw 1800 range=300..9999999 name=adSecGroupKeyUpdateInterval.2
# RADIUS server, one for both bands (server as IPv4 text)
1.3.6.1.4.1.32473.11.37.4.2.5.2.3.0 displaystr rw "192.168.0.10" size=0..15 name=adSecRADIUSServer
1.3.6.1.4.1.32473.11.37.4.2.5.2.4.0 integer rw 1812 range=1..65535 name=adSecRADIUSPort
1.3.6.1.4.1.32473.11.37.4.2.5.2.5.0 displaystr rw "n0rv4ne-radius" size=0..32 name=adSecRADIUSSecret
# WEP keys 1-4 per band (instance band.key), hex digits: 10 (64 bits), 26 (128), 32 (152);
# read back as one "*" per digit
1.3.6.1.4.1.32473.11.37.4.2.5.3.1.1.1.1 displaystr rw "3A7F1C0D9B2E4A6C8E0F1A2B3C" size=10..32 masked name=adSecKey-80211a-1
1.3.6.1.4.1.32473.11.37.4.2.5.3.1.1.1.2 displaystr rw "0000000000" size=10..32 masked name=adSecKey-80211a-2
1.3.6.1.4.1.32473.11.37.4.2.5.3.1.1.1.3 displaystr rw "0000000000" size=10..32 masked name=adSecKey-80211a-3
1.3.6.1.4.1.32473.11.37.4.2.5.3.1.1.1.4 displaystr rw "0000000000" size=10..32 masked name=adSecKey-80211a-4
1.3.6.1.4.1.32473.11.37.4.2.5.3.1.1.2.1 displaystr rw "5F3C9A1E07" size=10..32 masked name=adSecKey-80211g-1
1.3.6.1.4.1.32473.11.37.4.2.5.3.1.1.2.2 displaystr rw "0000000000" size=10..32 masked name=adSecKey-80211g-2
1.3.6.1.4.1.32473.11.37.4.2.5.3.1.1.2.3 displaystr rw "0000000000" size=10..32 masked name=adSecKey-80211g-3
1.3.6.1.4.1.32473.11.37.4.2.5.3.1.1.2.4 displaystr rw "0000000000" size=10..32 masked name=adSecKey-80211g-4

# ---------------------------------------------------------------- .4.2.6 grouping
1.3.6.1.4.1.32473.11.37.4.2.6.1.0 integer rw 1 enum=0,1 name=LoadBalance
1.3.6.1.4.1.32473.11.37.4.2.6.2.0 integer rw 32 range=0..64 name=UserLimit
1.3.6.1.4.1.32473.11.37.4.2.6.4.0 integer rw 0 enum=0,1 name=LinkIntegrate
1.3.6.1.4.1.32473.11.37.4.2.6.5.0 displaystr ro "LAN1: 100Mbps Full Duplex, LAN2: down" name=EthernetLinkStatus

# ---------------------------------------------------------------- .4.2.7 DHCP server
1.3.6.1.4.1.32473.11.37.4.2.7.1.0 integer rw 1 enum=0,1 name=dhcpFunction
1.3.6.1.4.1.32473.11.37.4.2.7.2.1.0 ipaddress rw 192.168.0.100 name=dhcpStart
1.3.6.1.4.1.32473.11.37.4.2.7.2.2.0 integer rw 50 range=1..255 name=dhcpRange
1.3.6.1.4.1.32473.11.37.4.2.7.2.3.0 ipaddress rw 255.255.255.0 name=dhcpMask
1.3.6.1.4.1.32473.11.37.4.2.7.2.4.0 ipaddress rw 192.168.0.1 name=dhcpGateway
1.3.6.1.4.1.32473.11.37.4.2.7.2.5.0 ipaddress rw 0.0.0.0 name=dhcpWins
1.3.6.1.4.1.32473.11.37.4.2.7.2.6.0 ipaddress rw 192.168.0.1 name=dhcpDns
1.3.6.1.4.1.32473.11.37.4.2.7.2.7.0 displaystr rw "corp.example.com" size=0..63 name=dhcpDomain
1.3.6.1.4.1.32473.11.37.4.2.7.2.8.0 integer rw 604800 range=60..31536000 name=dhcpLease
1.3.6.1.4.1.32473.11.37.4.2.7.2.9.0 integer rw 1 enum=0,1 name=dhcpStatus
# static pool: 16 slots; IP MAC Mask Gateway DNS Wins Domain Status(0 OFF, 1 ON);
# a free slot holds IP 0.0.0.0 and MAC 000000000000
table 1.3.6.1.4.1.32473.11.37.4.2.7.3.1 dhcpstatic
column 1 ipaddress rw
column 2 octetstr rw size=6..6
column 3 ipaddress rw
column 4 ipaddress rw
column 5 ipaddress rw
column 6 ipaddress rw
column 7 displaystr rw size=0..63
column 8 integer rw enum=0,1
row 1 192.168.0.20 000D5604A1B2 255.255.255.0 192.168.0.1 192.168.0.1 0.0.0.0 "corp.example.com" 1
row 2 0.0.0.0 000000000000 0.0.0.0 0.0.0.0 0.0.0.0 0.0.0.0 "" 0
row 3 192.168.0.21 0017A4C0FF01 255.255.255.0 192.168.0.1 192.168.0.1 0.0.0.0 "corp.example.com" 1
row 4 0.0.0.0 000000000000 0.0.0.0 0.0.0.0 0.0.0.0 0.0.0.0 "" 0
row 5 0.0.0.0 000000000000 0.0.0.0 0.0.0.0 0.0.0.0 0.0.0.0 "" 0
row 6 0.0.0.0 000000000000 0.0.0.0 0.0.0.0 0.0.0.0 0.0.0.0 "" 0
row 7 0.0.0.0 000000000000 0.0.0.0 0.0.0.0 0.0.0.0 0.0.0.0 "" 0
row 8 0.0.0.0 000000000000 0.0.0.0 0.0.0.0 0.0.0.0 0.0.0.0 "" 0
row 9 0.0.0.0 000000000000 0.0.0.0 0.0.0.0 0.0.0.0 0.0.0.0 "" 0
row 10 0.0.0.0 000000000000 0.0.0.0 0.0.0.0 0.0.0.0 0.0.0.0 "" 0
row 11 0.0.0.0 000000000000 0.0.0.0 0.0.0.0 0.0.0.0 0.0.0.0 "" 0
row 12 0.0.0.0 000000000000 0.0.0.0 0.0.0.0 0.0.0.0 0.0.0.0 "" 0
row 13 0.0.0.0 000000000000 0.0.0.0 0.0.0.0 0.0.0.0 0.0.0.0 "" 0
row 14 0.0.0.0 000000000000 0.0.0.0 0.0.0.0 0.0.0.0 0.0.0.0 "" 0
row 15 0.0.0.0 000000000000 0.0.0.0 0.0.0.0 0.0.0.0 0.0.0.0 "" 0
row 16 0.0.0.0 000000000000 0.0.0.0 0.0.0.0 0.0.0.0 0.0.0.0 "" 0
end
# current dynamic leases: MAC, assigned IP, lease seconds left
table 1.3.6.1.4.1.32473.11.37.4.2.7.4.1.1 dhcpleases
column 1 octetstr ro
column 2 ipaddress ro
column 3 integer ro
row 1 00166F8C21A4 192.168.0.100 598212
row 2 0016CB03B2E7 192.168.0.101 431877
row 3 00904BB1C2D3 192.168.0.102 86011
end
# current static leases: MAC, assigned IP
table 1.3.6.1.4.1.32473.11.37.4.2.7.4.2.1 dhcpstaticleases
column 1 octetstr ro
column 2 ipaddress ro
row 1 000D5604A1B2 192.168.0.20
end

# ---------------------------------------------------------------- .4.2.8 site survey
# adRefresh: 0 nothing, 1 refresh (starts a survey on the band)
1.3.6.1.4.1.32473.11.37.4.2.8.1.1.1.1 integer rw 0 enum=0,1 cmd=sitesurvey name=adRefresh.1
1.3.6.1.4.1.32473.11.37.4.2.8.1.1.1.2 integer rw 0 enum=0,1 cmd=sitesurvey name=adRefresh.2
# neighbours per band (index band.n): index, type, channel, signal %, BSSID, security, SSID,
# supports WDS (1) or not (0)
table 1.3.6.1.4.1.32473.11.37.4.2.8.2.1 sitesurvey
column 1 integer ro
column 2 displaystr ro
column 3 integer ro
column 4 integer ro
column 5 octetstr ro
column 6 displaystr ro
column 7 displaystr ro
column 9 integer ro
row 1.1 1 "AP" 40 62 000F3DFA7C21 "WPA2-PSK" "Norvane-11a" 1
row 1.2 2 "AP" 149 35 00146C0E5A90 "WEP" "NETGEAR-A" 0
row 1.3 3 "AP" 52 48 000F3DFA8E07 "None" "Lab-Bridge" 1
row 1.4 4 "Ad-Hoc" 36 12 02184F1A2B3C "None" "laptop-adhoc" 0
row 2.1 1 "AP" 1 71 000F3DFA7C29 "WPA-PSK" "Norvane-11g" 1
row 2.2 2 "AP" 6 54 00095B2E6F10 "WEP" "Reception" 0
row 2.3 3 "AP" 11 43 00131049A6D2 "None" "linksys" 0
row 2.4 4 "AP" 11 27 000F3DFA8E0F "None" "Lab-Bridge" 1
row 2.5 5 "AP" 3 19 0014BF7D21C8 "WPA-PSK" "CafeNet" 0
end

# ---------------------------------------------------------------- .4.2.9 multi-SSID and VLAN
1.3.6.1.4.1.32473.11.37.4.2.9.1.1.1.1 integer rw 0 enum=0,1 name=adVlanState.1
1.3.6.1.4.1.32473.11.37.4.2.9.1.1.1.2 integer rw 0 enum=0,1 name=adVlanState.2
# rows band.index, index 1 = primary SSID, 2-8 = MSSID 1-7. Columns: 1 index (not accessible),
# 2 state (0/1), 3 SSID, 4 auth (1 Open System, 2 Shared Key, 3 Both, 4 WPA-Personal,
# 5 WPA-Enterprise, 6 WPA2-Personal, 7 WPA2-Enterprise, 8 WPA-Auto-Personal,
# 9 WPA-Auto-Enterprise), 5 encryption, 6 key index 1-4, 7 WEP key (hex), 8 VLAN tag (-1 none),
# 10 Ethernet port (1 LAN1, 2 LAN2), 11 cipher (1 AUTO, 2 AES, 3 TKIP), 12 passphrase,
# 13 key type (1 ASCII, 2 HEX), 14 SSID broadcast (0/1)
table 1.3.6.1.4.1.32473.11.37.4.2.9.2.1 mssid
column 1 integer na
column 2 integer rw enum=0,1
column 3 displaystr rw size=1..32
column 4 integer rw enum=1,2,3,4,5,6,7,8,9
column 5 integer rw enum=0,1
column 6 integer rw enum=1,2,3,4
column 7 displaystr rw size=10..32 masked
column 8 integer rw range=-1..4094
column 10 integer rw enum=1,2
column 11 integer rw enum=1,2,3
column 12 displaystr rw size=8..63
column 13 integer rw enum=1,2
column 14 integer rw enum=0,1
row 1.1 1 1 "Norvane-11a" 6 1 1 "3A7F1C0D9B2E4A6C8E0F1A2B3C" -1 1 2 "Corridor-East-5GHz" 2 1
row 1.2 2 0 "" 1 0 1 "" -1 1 1 "" 2 1
row 1.3 3 0 "" 1 0 1 "" -1 1 1 "" 2 1
row 1.4 4 0 "" 1 0 1 "" -1 1 1 "" 2 1
row 1.5 5 0 "" 1 0 1 "" -1 1 1 "" 2 1
row 1.6 6 0 "" 1 0 1 "" -1 1 1 "" 2 1
row 1.7 7 0 "" 1 0 1 "" -1 1 1 "" 2 1
row 1.8 8 0 "" 1 0 1 "" -1 1 1 "" 2 1
row 2.1 1 1 "Norvane-11g" 8 1 1 "5F3C9A1E07" -1 1 1 "Corridor-East-24GHz" 2 1
row 2.2 2 1 "Norvane-Guest" 1 0 1 "" -1 2 1 "" 2 1
row 2.3 3 1 "Norvane-Voice" 1 1 1 "5F3C9A1E07" -1 1 1 "" 2 0
row 2.4 4 1 "Norvane-Lab" 6 1 1 "" -1 1 2 "lab-bench-0815" 2 0
row 2.5 5 0 "" 1 0 1 "" -1 1 1 "" 2 1
row 2.6 6 0 "" 1 0 1 "" -1 1 1 "" 2 1
row 2.7 7 0 "" 1 0 1 "" -1 1 1 "" 2 1
row 2.8 8 0 "" 1 0 1 "" -1 1 1 "" 2 1
end
1.3.6.1.4.1.32473.11.37.4.2.9.3.1.1.1 integer rw 0 enum=0,1 name=adMSSIDState.1
1.3.6.1.4.1.32473.11.37.4.2.9.3.1.1.2 integer rw 1 enum=0,1 name=adMSSIDState.2

# ---------------------------------------------------------------- .4.2.10 rogue AP detection
# bssTypeDetected: 1 AP BSS, 2 Ad Hoc, 3 Both; band mask: 1 11a, 4 11b, 8 11g;
# security mask: 1 OFF, 2 WEP, 4 WPA-Enterprise, 8 WPA-Personal, 16 WPA2-Enterprise,
# 32 WPA2-Personal, 64 WPA-Enterprise-AUTO, 128 WPA-Personal-AUTO
1.3.6.1.4.1.32473.11.37.4.2.10.1.0 integer rw 1 enum=1,2,3 name=bssTypeDetected
1.3.6.1.4.1.32473.11.37.4.2.10.2.0 integer rw 13 range=0..15 name=bandTypeDetected
1.3.6.1.4.1.32473.11.37.4.2.10.3.0 integer rw 255 range=0..255 name=securityTypeDetected
1.3.6.1.4.1.32473.11.37.4.2.10.4.1.1.0 integer rw 0 enum=0,1 cmd=roguedetect name=rogueAPDetect
1.3.6.1.4.1.32473.11.37.4.2.10.4.1.2.0 integer rw 0 range=0..65535 cmd=rogueadd name=addRogueAPtoAPList
1.3.6.1.4.1.32473.11.37.4.2.10.4.1.3.0 integer rw 0 range=0..65535 cmd=roguedelfound name=deleteRogueAPFromResult
# found list and known-AP list: index, Type, CH, RSSI, BSSID, Mode (0 a, 2 b, 3 g), SSID,
# Security (0 OFF, 1 WEP, 2 WPA-Enterprise, 3 WPA-Personal, 4 WPA2-Enterprise, 5 WPA2-Personal,
# 6 WPA-Auto-Enterprise, 7 WPA-Auto-Personal)
table 1.3.6.1.4.1.32473.11.37.4.2.10.4.1.4.1 roguefound
column 1 integer ro
column 2 displaystr ro
column 3 integer ro
column 4 integer ro
column 5 octetstr ro
column 7 integer ro
column 8 displaystr ro
column 9 integer ro
row 1 1 "AP BSS" 6 54 00095B2E6F10 3 "Reception" 1
row 2 2 "AP BSS" 11 43 00131049A6D2 3 "linksys" 0
row 3 3 "AP BSS" 149 35 00146C0E5A90 0 "NETGEAR-A" 1
row 4 4 "Ad Hoc" 36 12 02184F1A2B3C 0 "laptop-adhoc" 0
row 5 5 "AP BSS" 3 19 0014BF7D21C8 2 "CafeNet" 3
end
1.3.6.1.4.1.32473.11.37.4.2.10.4.2.1.0 integer rw 0 range=0..65535 cmd=roguedelknown name=deleteRogueAPfromAPList
table 1.3.6.1.4.1.32473.11.37.4.2.10.4.2.2.1 rogueknown
column 1 integer ro
column 2 displaystr ro
column 3 integer ro
column 4 integer ro
column 5 octetstr ro
column 7 integer ro
column 8 displaystr ro
column 9 integer ro
row 1 1 "AP BSS" 1 71 000F3DFA7C29 3 "Norvane-11g" 7
row 2 2 "AP BSS" 40 62 000F3DFA7C21 0 "Norvane-11a" 5
end

# ---------------------------------------------------------------- .4.2.11 system log
1.3.6.1.4.1.32473.11.37.4.2.11.1.0 integer rw 1 enum=0,1 name=adSystemLevel
1.3.6.1.4.1.32473.11.37.4.2.11.2.0 integer rw 1 enum=0,1 name=adWirelessLevel
1.3.6.1.4.1.32473.11.37.4.2.11.3.0 integer rw 1 enum=0,1 name=adNoticeLevel
1.3.6.1.4.1.32473.11.37.4.2.11.4.0 ipaddress rw 0.0.0.0 name=adTFTPServerIP
1.3.6.1.4.1.32473.11.37.4.2.11.5.0 displaystr rw "LogFile.RD" size=0..64 name=adLogFileName
1.3.6.1.4.1.32473.11.37.4.2.11.6.0 integer rw 0 enum=0,1 cmd=logget name=adGetLog
1.3.6.1.4.1.32473.11.37.4.2.11.8.0 integer rw 0 enum=0,1 name=adRemoteLogState
1.3.6.1.4.1.32473.11.37.4.2.11.9.0 ipaddress rw 0.0.0.0 name=adLogServerIP
1.3.6.1.4.1.32473.11.37.4.2.11.10.0 integer rw 0 enum=0,1 cmd=logclear name=adClearLocalLog

# ---------------------------------------------------------------- .4.3 tools
1.3.6.1.4.1.32473.11.37.4.3.1.1.0 displaystr rw "admin" size=0..40 name=UserName
1.3.6.1.4.1.32473.11.37.4.3.1.2.0 displaystr rw "n0rvane" size=0..12 name=Password
# sysRestart ("Restart"): 0 nothing, 1 reboot (True), 2 False; FactoryDefault: 1 True, 2 False
1.3.6.1.4.1.32473.11.37.4.3.2.1.0 integer rw 0 enum=0,1,2 cmd=restart name=sysRestart
1.3.6.1.4.1.32473.11.37.4.3.2.2.0 integer rw 2 enum=0,1,2 cmd=factoryreset name=FactoryDefault
1.3.6.1.4.1.32473.11.37.4.3.3.1.0 ipaddress rw 0.0.0.0 name=remotesrvip
1.3.6.1.4.1.32473.11.37.4.3.3.2.0 displaystr rw "" size=0..64 name=remotefilename
# tftpcommand: 1 Connect, 2 Get, 3 Put, 4 Nothing
1.3.6.1.4.1.32473.11.37.4.3.3.4.0 integer rw 4 enum=1,2,3,4 cmd=tftp name=tftpcommand
# upgradesettingcommand: 1 Firmwareupdate, 2 Configsetting, 3 Configsave, 4 Reboot,
# 5 Factoryreset, 6 Nothing
1.3.6.1.4.1.32473.11.37.4.3.3.5.0 integer rw 6 enum=1,2,3,4,5,6 cmd=upgrade name=upgradesettingcommand
# console: telnet/ssh 0 Disable, 1 Enable; timeout 0 Never, 1 1 Min, 2 3 Mins, 3 5 Mins,
# 4 10 Mins, 5 15 Mins
1.3.6.1.4.1.32473.11.37.4.3.4.1.0 integer rw 0 enum=0,1 name=telnet
1.3.6.1.4.1.32473.11.37.4.3.4.2.0 integer rw 3 enum=0,1,2,3,4,5 name=timeout
1.3.6.1.4.1.32473.11.37.4.3.4.3.0 integer rw 1 enum=0,1 name=ssh
# SNTP: server (0.0.0.0 = none), time zone 1-75 (14 = Eastern Time), daylight saving
1.3.6.1.4.1.32473.11.37.4.3.5.1.0 ipaddress rw 192.168.0.1 name=sntpServerIP
1.3.6.1.4.1.32473.11.37.4.3.5.2.0 integer rw 14 range=1..75 name=sntpTZoneIdx
1.3.6.1.4.1.32473.11.37.4.3.5.4.0 integer rw 1 enum=0,1 name=dayLightSaving
1.3.6.1.4.1.32473.11.37.4.3.5.5.0 displaystr ro "2006/01/20 09:30:00" name=timeOfDay
1.3.6.1.4.1.32473.11.37.4.3.5.6.1.0 ipaddress rw 0.0.0.0 name=sntpTFTPServerIP
1.3.6.1.4.1.32473.11.37.4.3.5.6.2.0 displaystr rw "SNTPFile.RD" size=0..64 name=sntpListFileName
1.3.6.1.4.1.32473.11.37.4.3.5.6.3.0 integer rw 0 enum=0,1 cmd=sntplist name=sntpGetList

# ---------------------------------------------------------------- .4.4 status
1.3.6.1.4.1.32473.11.37.4.4.1.1.1.0 displaystr ro "v2.00" name=stFirmwareVersion
1.3.6.1.4.1.32473.11.37.4.4.1.1.2.0 octetstr ro 000F3DFA6DB1 name=stMacAddress
# 1 Manual, 2 Dynamic; the address as the device uses it (shared with the LAN settings)
1.3.6.1.4.1.32473.11.37.4.4.1.1.3.0 integer ro 1 same=1.3.6.1.4.1.32473.11.37.4.1.2.1.0 name=stGetIPFrom
1.3.6.1.4.1.32473.11.37.4.4.1.1.4.0 ipaddress ro 192.168.0.50 same=1.3.6.1.4.1.32473.11.37.4.1.2.2.0 name=stIPAddress
1.3.6.1.4.1.32473.11.37.4.4.1.1.5.0 ipaddress ro 255.255.255.0 same=1.3.6.1.4.1.32473.11.37.4.1.2.3.0 name=stSubnetMask
1.3.6.1.4.1.32473.11.37.4.4.1.1.6.0 ipaddress ro 192.168.0.1 same=1.3.6.1.4.1.32473.11.37.4.1.2.4.0 name=stDefaultGateway
# per band: SSID, channel, super mode (shared with the settings), data rate, authentication,
# privacy as in use
1.3.6.1.4.1.32473.11.37.4.4.2.1.1.1 displaystr ro "Norvane-11a" same=1.3.6.1.4.1.32473.11.37.4.1.1.1.1.1 name=stSSID.1
1.3.6.1.4.1.32473.11.37.4.4.2.1.1.2 displaystr ro "Norvane-11g" same=1.3.6.1.4.1.32473.11.37.4.1.1.1.1.2 name=stSSID.2
1.3.6.1.4.1.32473.11.37.4.4.2.1.2.1 integer ro 36 same=1.3.6.1.4.1.32473.11.37.4.1.1.1.3.1 name=stChannel.1
1.3.6.1.4.1.32473.11.37.4.4.2.1.2.2 integer ro 6 same=1.3.6.1.4.1.32473.11.37.4.1.1.1.3.2 name=stChannel.2
1.3.6.1.4.1.32473.11.37.4.4.2.1.3.1 integer ro 1 same=1.3.6.1.4.1.32473.11.37.4.2.3.1.11.1 name=stSuperMode.1
1.3.6.1.4.1.32473.11.37.4.4.2.1.3.2 integer ro 4 same=1.3.6.1.4.1.32473.11.37.4.2.3.1.11.2 name=stSuperMode.2
1.3.6.1.4.1.32473.11.37.4.4.2.1.4.1 displaystr ro "54 Mbps" name=stDataRate.1
1.3.6.1.4.1.32473.11.37.4.4.2.1.4.2 displaystr ro "54 Mbps" name=stDataRate.2
1.3.6.1.4.1.32473.11.37.4.4.2.1.5.1 displaystr ro "WPA2-Personal" name=stSecLevelAuth.1
1.3.6.1.4.1.32473.11.37.4.4.2.1.5.2 displaystr ro "WPA-Auto-Personal" name=stSecLevelAuth.2
1.3.6.1.4.1.32473.11.37.4.4.2.1.6.1 displaystr ro "AES" name=stSecLevelPriv.1
1.3.6.1.4.1.32473.11.37.4.4.2.1.6.2 displaystr ro "AUTO" name=stSecLevelPriv.2
# statistics per band (.4.4.3.1.1.c.band): c = 1-4 rates in %, 5-18 counts
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.1.1 integer ro 97 name=TrSuccessRate.1
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.1.2 integer ro 94 name=TrSuccessRate.2
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.2.1 integer ro 3 name=TrRetryRate.1
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.2.2 integer ro 6 name=TrRetryRate.2
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.3.1 integer ro 98 name=RxSuccessRate.1
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.3.2 integer ro 96 name=RxSuccessRate.2
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.4.1 integer ro 1 name=RxDuplicateRate.1
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.4.2 integer ro 2 name=RxDuplicateRate.2
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.5.1 integer ro 1532 name=RTSSuccessCount.1
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.5.2 integer ro 8841 name=RTSSuccessCount.2
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.6.1 integer ro 12 name=RTSFailureCount.1
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.6.2 integer ro 97 name=RTSFailureCount.2
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.7.1 integer ro 2849311 name=TrFrameCount.1
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.7.2 integer ro 10482236 name=TrFrameCount.2
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.8.1 integer ro 48213 name=MuticastTrFrameCount.1
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.8.2 integer ro 221904 name=MuticastTrFrameCount.2
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.9.1 integer ro 871 name=TrErrorCount.1
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.9.2 integer ro 5012 name=TrErrorCount.2
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.10.1 integer ro 91244 name=TrTotalRetryCount.1
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.10.2 integer ro 633118 name=TrTotalRetryCount.2
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.11.1 integer ro 20417 name=TrMutiRetryCount.1
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.11.2 integer ro 149207 name=TrMutiRetryCount.2
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.12.1 integer ro 3102987 name=RxFrameCount.1
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.12.2 integer ro 12019334 name=RxFrameCount.2
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.13.1 integer ro 10342 name=MuticastRxFrameCount.1
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.13.2 integer ro 88415 name=MuticastRxFrameCount.2
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.14.1 integer ro 40377 name=RxFrameFCSErrorCount.1
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.14.2 integer ro 301755 name=RxFrameFCSErrorCount.2
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.15.1 integer ro 3312 name=RxFrameDulicateCount.1
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.15.2 integer ro 20391 name=RxFrameDulicateCount.2
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.16.1 integer ro 6120 name=AckRxFailureCount.1
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.16.2 integer ro 41876 name=AckRxFailureCount.2
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.17.1 integer ro 0 name=WEPExcludedFrameCount.1
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.17.2 integer ro 14 name=WEPExcludedFrameCount.2
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.18.1 integer ro 0 name=WEPICVErrorCount.1
1.3.6.1.4.1.32473.11.37.4.4.3.1.1.18.2 integer ro 3 name=WEPICVErrorCount.2
# LED state: power on; 802.11g and 802.11a lit and blinking (traffic); LAN1 link and activity;
# LAN2 without link
1.3.6.1.4.1.32473.11.37.4.4.4.0 integer ro 4033 led name=stLED
# associated stations: adGetClient 0 Nothing, 1 acquire (per band)
1.3.6.1.4.1.32473.11.37.4.4.5.1.1.1.1 integer rw 0 enum=0,1 cmd=clientinfo name=adGetClient.1
1.3.6.1.4.1.32473.11.37.4.4.5.1.1.1.2 integer rw 0 enum=0,1 cmd=clientinfo name=adGetClient.2
# client list: Index, MAC, Band (0 A, 1 B, 2/3 G), Authentication (0 Open System, 1 Shared Key,
# 2 WPA-Enterprise, 3 WPA-Personal, 4 Auto, 5 WPA2-Enterprise, 6 WPA2-Personal,
# 7 WPA-Auto-Enterprise, 8 WPA-Auto-Personal), Signal %, Power Saving (0 Off, 1 On), SSID;
# stations that left keep their slot with MAC 000000000000 until it is reused
table 1.3.6.1.4.1.32473.11.37.4.4.5.2.1 clients
column 1 integer ro
column 2 octetstr ro
column 3 integer ro
column 4 integer ro
column 5 integer ro
column 6 integer ro
column 7 displaystr ro
row 1 1 0013CE2A4F11 0 6 78 0 "Norvane-11a"
row 2 2 00166F8C21A4 2 8 64 1 "Norvane-11g"
row 3 3 0016CB03B2E7 3 8 55 0 "Norvane-11g"
row 4 4 000000000000 0 0 0 0 ""
row 5 5 00904BB1C2D3 1 0 41 1 "Norvane-Guest"
row 6 6 000E3591AC40 2 4 37 0 "Norvane-Voice"
row 7 7 000000000000 0 0 0 0 ""
row 8 8 0019D2F03A55 0 6 83 0 "Norvane-11a"
end
# WDS peers: wdsGet 0 nothing, 1 get (per band)
1.3.6.1.4.1.32473.11.37.4.4.6.1.1.1.1 integer rw 0 enum=0,1 cmd=wdsinfo name=wdsGet.1
1.3.6.1.4.1.32473.11.37.4.4.6.1.1.1.2 integer rw 0 enum=0,1 cmd=wdsinfo name=wdsGet.2
# WDS peer list: Index, MAC, Band (0 A, 1 B, 2 G), Authentication (0 Open System, 1 Shared Key,
# 2 WPA-Enterprise, 3 WPA-Personal, 4 Open System / Shared Key, 5 WPA2-Enterprise,
# 6 WPA2-Personal, 7 WPA-Auto-Enterprise, 8 WPA-Auto-Personal), Signal %, Channel, SSID;
# empty while both radios run as access points
table 1.3.6.1.4.1.32473.11.37.4.4.6.2.1 wdspeers
column 1 integer ro
column 2 octetstr ro
column 3 integer ro
column 4 integer ro
column 5 integer ro
column 6 integer ro
column 7 displaystr ro
end

# ---------------------------------------------------------------- .4.99 capabilities
# AP modes per band: bit mask, 127 = access point, WDS with AP, WDS, repeater, client
1.3.6.1.4.1.32473.11.37.4.99.1.1.1.1 integer ro 127 name=apmodes.1
1.3.6.1.4.1.32473.11.37.4.99.1.1.1.2 integer ro 127 name=apmodes.2
# turbo modes per band: 0 none, 2 dynamic turbo only, 3 static and dynamic turbo
1.3.6.1.4.1.32473.11.37.4.99.1.1.2.1 integer ro 3 name=turbomodes.1
1.3.6.1.4.1.32473.11.37.4.99.1.1.2.2 integer ro 3 name=turbomodes.2
1.3.6.1.4.1.32473.11.37.4.99.1.1.6.0 displaystr ro "US" name=countrycode
1.3.6.1.4.1.32473.11.37.4.99.1.1.7.0 integer ro 1 name=clientinfosupported
1.3.6.1.4.1.32473.11.37.4.99.1.1.9.0 integer ro 1 name=mssidsupported
# 1 = the hwds channel lists exist
1.3.6.1.4.1.32473.11.37.4.99.1.1.19.1 integer ro 1 name=wdschannellist.1
1.3.6.1.4.1.32473.11.37.4.99.1.1.19.2 integer ro 1 name=wdschannellist.2
1.3.6.1.4.1.32473.11.37.4.99.1.1.24.1 integer ro 1 name=wdssitesurvey.1
1.3.6.1.4.1.32473.11.37.4.99.1.1.24.2 integer ro 1 name=wdssitesurvey.2
