# A device set up for the United Kingdom: country code "GB" (the module forces automatic
# channel scan in access-point mode), European channels, London time.
include default

1.3.6.1.4.1.32473.11.37.4.99.1.1.6.0 displaystr ro "GB" name=countrycode
1.3.6.1.4.1.32473.11.37.4.2.3.1.14.1 integer rw 1 enum=0,1 name=adAutoChannelScan.1
1.3.6.1.4.1.32473.11.37.4.2.3.1.14.2 integer rw 1 enum=0,1 name=adAutoChannelScan.2
1.3.6.1.4.1.32473.11.37.4.1.1.1.3.2 integer rw 6 range=1..13 name=hChannel.2
1.3.6.1.4.1.32473.11.37.4.2.3.1.2.2 integer rw 6 range=1..13 same=1.3.6.1.4.1.32473.11.37.4.1.1.1.3.2 name=adChannel.2
1.3.6.1.4.1.32473.11.37.4.1.1.1.3.1 integer rw 36 enum=36,40,42,44,48,50,52,56,58,60,64,100,104,108,112,116,120,124,128,132,136,140 name=hChannel.1
1.3.6.1.4.1.32473.11.37.4.2.3.1.2.1 integer rw 36 enum=36,40,42,44,48,50,52,56,58,60,64,100,104,108,112,116,120,124,128,132,136,140 same=1.3.6.1.4.1.32473.11.37.4.1.1.1.3.1 name=adChannel.1
1.3.6.1.4.1.32473.11.37.4.1.1.1.4.1 displaystr ro "36 40 44 48 52 56 60 64 100 104 108 112 116 120 124 128 132 136 140" name=hChannelList.1
1.3.6.1.4.1.32473.11.37.4.1.1.1.4.2 displaystr ro "1 2 3 4 5 6 7 8 9 10 11 12 13" name=hChannelList.2
1.3.6.1.4.1.32473.11.37.4.1.1.1.8.1 displaystr ro "36 40 44 48" name=hwdsChannelList.1
1.3.6.1.4.1.32473.11.37.4.1.1.1.8.2 displaystr ro "1 2 3 4 5 6 7 8 9 10 11 12 13" name=hwdsChannelList.2
# Greenwich Mean Time : Dublin, Edinburgh, Lisbon, London
1.3.6.1.4.1.32473.11.37.4.3.5.2.0 integer rw 27 range=1..75 name=sntpTZoneIdx
# turbo channels within the European band plan
1.3.6.1.4.1.32473.11.37.4.1.1.1.6.1 displaystr ro "40 48 56" name=hDynamicChannelList.1
1.3.6.1.4.1.32473.11.37.4.1.1.1.7.1 displaystr ro "42 50 58" name=hStaticChannelList.1
1.3.6.1.4.1.32473.11.37.4.1.1.1.9.1 displaystr ro "40 48" name=hwdsDynamicChannelList.1
1.3.6.1.4.1.32473.11.37.4.1.1.1.10.1 displaystr ro "42" name=hwdsStaticChannelList.1
