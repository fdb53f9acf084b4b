# Firmware v2.00 without the clientinfosupported capability (the variable is absent): the
# firmware-version fallback then hides "Client Info".
include default

1.3.6.1.4.1.32473.11.37.4.99.1.1.7.0 integer na 0 name=clientinfosupported
