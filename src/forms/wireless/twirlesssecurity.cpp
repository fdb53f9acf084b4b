#include "twirlesssecurity.h"

#include <QGroupBox>
#include <QVBoxLayout>
#include <QWidget>

TWirlessSecurity::TWirlessSecurity(TFM_Wirless &window, int band, QWidget *area)
    : m_window(window), m_band(band), m_area(area)
{
    struct Names {
        const char *bandA;
        const char *bandG;
        const char *title;
    };
    static const Names names[PanelCount] = {
        {"GroupBox4", "Ecry_Group_g", " Key Settings "},
        {"GroupBox5", "EAP_Group_g", " Radius Server Settings "},
        {"GroupBox6", "PSK_Group_g", " PassPhrase Settings "},
    };
    // The area keeps a layout of its own: a hidden panel takes no room, so the shown one
    // stands where each of them stands.
    auto *layout = qobject_cast<QVBoxLayout *>(area->layout());
    if (!layout) {
        layout = new QVBoxLayout(area);
        layout->setContentsMargins(0, 0, 0, 0);
    }
    for (int i = 0; i < PanelCount; ++i) {
        const Names &n = names[i];
        auto *group = new QGroupBox(QString::fromLatin1(n.title), area);
        group->setObjectName(QString::fromLatin1(band == 0 ? n.bandA : n.bandG));
        group->hide();
        layout->addWidget(group);
        m_panels[i] = group;
    }
}

TWirlessSecurity::~TWirlessSecurity() = default;

void TWirlessSecurity::showPanel(std::optional<Panel> which)
{
    for (int i = 0; i < PanelCount; ++i)
        m_panels[i]->setVisible(which && *which == i);
}

void TWirlessSecurity::create() {}

void TWirlessSecurity::narrowValidKeys() {}

void TWirlessSecurity::refresh() {}

void TWirlessSecurity::resetAfterRefresh() {}

void TWirlessSecurity::applyPanels(TWirlessPageMode mode)
{
    Q_UNUSED(mode)
}

void TWirlessSecurity::selectFirstEntries() {}

void TWirlessSecurity::resetAuthenticationForWds() {}

std::optional<TWirlessRefusal> TWirlessSecurity::check()
{
    return std::nullopt;
}

bool TWirlessSecurity::runMultiSsidInterplay()
{
    return true;
}

bool TWirlessSecurity::write()
{
    return true;
}

void TWirlessSecurity::afterSuccess() {}
