# Firmware without extended range (XR) and without automatic channel scan: both variables are
# absent on both bands.
include default

1.3.6.1.4.1.32473.11.37.4.2.3.1.99.1 integer na 0 name=adXR.1
1.3.6.1.4.1.32473.11.37.4.2.3.1.99.2 integer na 0 name=adXR.2
1.3.6.1.4.1.32473.11.37.4.2.3.1.14.1 integer na 0 name=adAutoChannelScan.1
1.3.6.1.4.1.32473.11.37.4.2.3.1.14.2 integer na 0 name=adAutoChannelScan.2
