// The transfer windows against qrn-apsim with real TFTP transfers kept on loopback: the
// simulator's client sends to --tftp-port, the window's server listens there (QRN_TFTP_PORT),
// the simulated device sits at 127.0.0.50/8 and the PC's interfaces are scripted so that the
// address chosen for it is 127.0.0.1.
#pragma once

#include "ktnetinterface.h"
#include "windowtest.h"

#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>

#include <memory>
#include <optional>

class TransferWindowTest : public PageWindowTest
{
protected:
    void TearDown() override
    {
        qunsetenv("QRN_TFTP_PORT");
        m_interfaces.reset();
        PageWindowTest::TearDown();
    }

    // The simulator (profile "default" with options), the main window holding the device's
    // loopback address, the server port shared, and the PC's interfaces: one on another network,
    // then loopback.
    void startTransferDevice(const QStringList &options = {})
    {
        ASSERT_TRUE(m_files.isValid());
        m_tftpPort = ApSim::freeUdpPort();
        startDevice(QStringLiteral("default"),
                    QStringList{QStringLiteral("--tftp-port"), QString::number(m_tftpPort)}
                        + options);
        if (HasFatalFailure())
            return;
        simCommand(QStringLiteral("set hIPAddress 127.0.0.50"));
        simCommand(QStringLiteral("set hSubnetMask 255.0.0.0"));
        ASSERT_TRUE(processUntil([this] {
            return m_form->IPAddressEdit->text() == QStringLiteral("127.0.0.50")
                   && m_form->SubMaskEdit->text() == QStringLiteral("255.0.0.0");
        }));
        qputenv("QRN_TFTP_PORT", QByteArray::number(m_tftpPort));
        scriptInterfaces({KtNetInterfaces::Script::up("192.168.1.20", "255.255.255.0"),
                          KtNetInterfaces::Script::up("127.0.0.1", "255.0.0.0")});
    }

    void scriptInterfaces(const QList<KtNetInterface> &interfaces)
    {
        m_interfaces.reset();
        m_interfaces.emplace(interfaces);
    }

    QString file(const QString &name) const { return m_files.filePath(name); }

    // The set lines since the mark, without the SNMP version and with the vendor subtree's
    // prefix left out: "set 4.3.3.4.0=2 -> noError".
    QStringList shortWritesSinceMark()
    {
        QStringList writes;
        for (QString line : writesSinceMark()) {
            line = line.mid(line.indexOf(QStringLiteral("set ")));
            writes.append(line.replace(QStringLiteral("1.3.6.1.4.1.32473.11.37."), QString()));
        }
        return writes;
    }

    // A simulator variable as its control channel shows it: "displaystr \"v2.00\"".
    QString simValue(const QString &name)
    {
        const QString answer = sim().command(QStringLiteral("get ") + name);
        return answer.startsWith(QStringLiteral("ok ")) ? answer.mid(3) : answer;
    }

    quint16 m_tftpPort = 0;
    QTemporaryDir m_files;
    std::optional<KtNetInterfaces::Script> m_interfaces;
};
