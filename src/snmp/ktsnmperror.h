// The status record a request reports: one per error, one per delivered row or completed read.
#pragma once

#include <QString>
#include <QtGlobal>

struct KtSNMPError {
    // Serial of a record that does not belong to a numbered request.
    static constexpr quint64 NoSerial = ~quint64(0);

    qint32 code = 0;       // 0 success, else a catalogue code (-101 ... -528)
    qint32 errorIndex = 0; // from the response PDU
    QString text;
    QString agentAddress; // the responding address, without port
    quint16 agentPort = 0;
    quint8 finished = 0; // 1 when the read is complete, 0 when a row came and more may follow
    quint64 serial = NoSerial;
};
