// Placeholder until the message tables land.
#include "ktmessages.h"

namespace KtMessages {
QString text(Table, int) { return {}; }
bool LoadCatalogue(Table, const QString &) { return false; }
void resetToBuiltIn() {}
QString fileName(Table) { return {}; }
} // namespace KtMessages
