# Older firmware v1.30: it has no clientinfosupported capability (the variable is absent, a read
# gets noSuchName / noSuchObject); its client list itself works.
include default

1.3.6.1.4.1.32473.11.37.4.4.1.1.1.0 displaystr ro "v1.30" name=stFirmwareVersion
1.3.6.1.4.1.32473.11.37.4.99.1.1.7.0 integer na 0 name=clientinfosupported
