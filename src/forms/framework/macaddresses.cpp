#include "macaddresses.h"

namespace MacAddresses {

bool SameMac(const QString &entered, const QString &slot)
{
    if (entered.size() != slot.size())
        return false;
    for (int i = 0; i < entered.size(); ++i) {
        const char16_t e = entered.at(i).unicode();
        const char16_t s = slot.at(i).unicode();
        if (e != s && e != s + 32)
            return false;
    }
    return true;
}

} // namespace MacAddresses
