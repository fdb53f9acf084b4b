#include "ktnetsnmpchannel.h"

#include "ktnetsnmp.h"

KtNetSnmpChannel::KtNetSnmpChannel(QObject *parent) : QObject(parent)
{
    KtNetSnmp::registerChannel(this);
}

KtNetSnmpChannel::~KtNetSnmpChannel()
{
    KtNetSnmp::unregisterChannel(this);
}

void KtNetSnmpChannel::processTimeouts() {}
