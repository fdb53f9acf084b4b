# The 802.11a radio bridges to two other access points (PtMP Bridge, "WDS with AP") on a
# non-DFS channel; the 802.11g radio stays an access point. The WDS peer list holds the two
# bridge partners, so the module shows its "WDS Info" tab.
include default

1.3.6.1.4.1.32473.11.37.4.2.1.1.1.1 integer rw 3 enum=1,2,3,4,5,6,7 name=adAPMode.1
1.3.6.1.4.1.32473.11.37.4.2.2.1.2.1.1 octetstr rw 000F3DFA7C21 size=6..6 name=adPtPRemoteAPMACAddress.1.1
1.3.6.1.4.1.32473.11.37.4.2.2.1.2.1.2 octetstr rw 000F3DFA8E07 size=6..6 name=adPtPRemoteAPMACAddress.1.2
1.3.6.1.4.1.32473.11.37.4.2.3.1.11.1 integer rw 4 enum=1,2,3,4 name=adSuperMode.1
1.3.6.1.4.1.32473.11.37.4.1.1.1.3.1 integer rw 40 enum=36,40,42,44,48,50,52,56,58,60,64,149,152,153,157,160,161,165 name=hChannel.1

table 1.3.6.1.4.1.32473.11.37.4.4.6.2.1 wdspeers
column 1 integer ro
column 2 octetstr ro
column 3 integer ro
column 4 integer ro
column 5 integer ro
column 6 integer ro
column 7 displaystr ro
row 1 1 000F3DFA7C21 0 6 62 1 "Norvane-11a"
row 2 2 000F3DFA8E07 0 0 48 1 "Lab-Bridge"
end
