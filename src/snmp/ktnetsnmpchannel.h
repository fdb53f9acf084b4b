// One net-snmp single session to one target, owned by one request (private glue).
#pragma once

#include <QObject>

class KtNetSnmpChannel : public QObject
{
    Q_OBJECT
public:
    explicit KtNetSnmpChannel(QObject *parent = nullptr);
    ~KtNetSnmpChannel() override;

    // Lets net-snmp retransmit or give up the sends whose time is over.
    void processTimeouts();
};
