#include "twirlesssecurity.h"

#include <QWidget>

TWirlessSecurity::TWirlessSecurity(TFM_Wirless &window, int band, QWidget *area)
    : m_window(window), m_band(band), m_area(area)
{}

TWirlessSecurity::~TWirlessSecurity() = default;

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
