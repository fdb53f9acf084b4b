# Firmware with the five-mode AP capability mask (31) on both bands: Access Point, PtP Bridge,
# PtMP Bridge, AP Repeater, AP Client.
include default

1.3.6.1.4.1.32473.11.37.4.99.1.1.1.1 integer ro 31 name=apmodes.1
1.3.6.1.4.1.32473.11.37.4.99.1.1.1.2 integer ro 31 name=apmodes.2
