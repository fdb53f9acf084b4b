// MAC addresses as the device compares them, for the windows that keep MAC lists (static DHCP
// pool, MAC filters).
#pragma once

#include <QString>

namespace MacAddresses {

// The device's comparison of an entered MAC with a slot's: character by character, an entered
// character matching the slot's or the slot's plus 32 (a lower-case entry matches the
// upper-case hex the device shows).
bool SameMac(const QString &entered, const QString &slot);

} // namespace MacAddresses
