# Both radios switched off: the radio lamps are dark (power and LAN1 only); rogue AP
# detection is not possible.
include default

1.3.6.1.4.1.32473.11.37.4.2.3.1.12.1 integer rw 0 enum=0,1 name=hRadioWave.1
1.3.6.1.4.1.32473.11.37.4.2.3.1.12.2 integer rw 0 enum=0,1 name=hRadioWave.2
# power lit; LAN1 link and activity
1.3.6.1.4.1.32473.11.37.4.4.4.0 integer ro 3073 led name=stLED
