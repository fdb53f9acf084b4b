#include "ktwaiting.h"

#include "tfm_waiting.h"

#include <QTimer>

namespace KtWaiting {

namespace {
Script *g_script = nullptr;
} // namespace

Script::Script() : m_previous(g_script) { g_script = this; }

Script::~Script() { g_script = m_previous; }

void Show(QWidget *owner, const KtWaitingOptions &options)
{
    if (g_script) {
        g_script->m_shown.append(options);
        if (!g_script->driver)
            return;
        TFM_Waiting window(owner);
        window.applyOptions(options);
        g_script->driver(window);
        return;
    }
    TFM_Waiting window(owner);
    window.applyOptions(options);
    window.exec();
}

} // namespace KtWaiting
