# Firmware without separate WDS channel lists (wdschannellist 0) and without WDS site survey;
# the hwds lists are absent, so WDS modes use the ordinary channel lists.
include default

1.3.6.1.4.1.32473.11.37.4.99.1.1.19.1 integer ro 0 name=wdschannellist.1
1.3.6.1.4.1.32473.11.37.4.99.1.1.19.2 integer ro 0 name=wdschannellist.2
1.3.6.1.4.1.32473.11.37.4.99.1.1.24.1 integer ro 0 name=wdssitesurvey.1
1.3.6.1.4.1.32473.11.37.4.99.1.1.24.2 integer ro 0 name=wdssitesurvey.2
1.3.6.1.4.1.32473.11.37.4.1.1.1.8.1 displaystr na "" name=hwdsChannelList.1
1.3.6.1.4.1.32473.11.37.4.1.1.1.8.2 displaystr na "" name=hwdsChannelList.2
1.3.6.1.4.1.32473.11.37.4.1.1.1.9.1 displaystr na "" name=hwdsDynamicChannelList.1
1.3.6.1.4.1.32473.11.37.4.1.1.1.9.2 displaystr na "" name=hwdsDynamicChannelList.2
1.3.6.1.4.1.32473.11.37.4.1.1.1.10.1 displaystr na "" name=hwdsStaticChannelList.1
1.3.6.1.4.1.32473.11.37.4.1.1.1.10.2 displaystr na "" name=hwdsStaticChannelList.2
