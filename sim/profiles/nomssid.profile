# Firmware without multiple SSIDs (mssidsupported 0): multi-SSID off on both bands, only the
# primary SSIDs in the multi-SSID table. The module then offers automatic channel scan.
include default

1.3.6.1.4.1.32473.11.37.4.99.1.1.9.0 integer ro 0 name=mssidsupported
1.3.6.1.4.1.32473.11.37.4.2.9.3.1.1.2 integer rw 0 enum=0,1 name=adMSSIDState.2
1.3.6.1.4.1.32473.11.37.4.2.3.1.11.2 integer rw 1 enum=1,2,3,4 name=adSuperMode.2

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
row 2.2 2 0 "" 1 0 1 "" -1 1 1 "" 2 1
row 2.3 3 0 "" 1 0 1 "" -1 1 1 "" 2 1
row 2.4 4 0 "" 1 0 1 "" -1 1 1 "" 2 1
row 2.5 5 0 "" 1 0 1 "" -1 1 1 "" 2 1
row 2.6 6 0 "" 1 0 1 "" -1 1 1 "" 2 1
row 2.7 7 0 "" 1 0 1 "" -1 1 1 "" 2 1
row 2.8 8 0 "" 1 0 1 "" -1 1 1 "" 2 1
end
