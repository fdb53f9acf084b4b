// The main window in a test: a fixture with folders of its own, the dialog script and the
// window, started against the simulated access point through a parameter file or directly on
// the simulator's port. Header-only: the test folders that use it link qrn_forms (the main
// window with its menu connections).
#pragma once

#include "apsim.h"
#include "ktdialogs.h"
#include "ktmessages.h"
#include "ktsnmprequest.h"
#include "ktsnmpsession.h"
#include "pagewindows.h"
#include "testenv.h"
#include "tmainform.h"

#include <QFile>
#include <QLineEdit>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

// SNMPv2c on the given port of 127.0.0.1: the port switch counts only while the version is 3.
inline std::unique_ptr<TMainForm> mainFormOnPort(quint16 port)
{
    return std::make_unique<TMainForm>(
        QStringList{QStringLiteral("/I127.0.0.1"), QStringLiteral("/v3"),
                    QStringLiteral("/t%1").arg(port), QStringLiteral("/v1")});
}

// The device has answered the status poll and the firmware read.
inline bool waitReadyWithFirmware(const TMainForm &form)
{
    return processUntil(
        [&form] {
            return form.statusText() == QStringLiteral("Ready. ")
                   && form.Ed_FwVer->text() != QStringLiteral("Ed_FwVer");
        },
        10000);
}

// Stops the window's own timers so that the test takes every step itself.
inline void holdTimers(TMainForm &form)
{
    form.Timer1->stop();
    form.Timer2->stop();
    form.Timer3->stop();
    form.Timer4->stop();
}

// One short read of sysUpTime with the session records: whether the device answers right now.
inline bool deviceAnswers()
{
    KtSNMPRequest probe;
    KtSNMPVarItem upTime;
    upTime.oid = QStringLiteral("1.3.6.1.2.1.1.3");
    upTime.syntax = SYN_TIMETICKS;
    upTime.access = ACC_READONLY;
    const KtSNMPVarItem table[] = {upTime, {}};
    probe.list = KtSNMPVarList(table, SVT_SV, 0);
    probe.timeout = 30;
    probe.retries = 0;
    probe.statusCallback = nullptr;
    return probe.ReadSync(true);
}

// How many lines of the simulator's log hold piece.
inline int countLines(const QStringList &log, const QString &piece)
{
    int n = 0;
    for (const QString &line : log)
        n += line.contains(piece) ? 1 : 0;
    return n;
}

// The simulator logs a request just after it has sent the answer, so the log may lag behind
// what the window already knows. A probe's line in the log shows that every earlier request
// is there too (the device must be answering; with deviceWaitMs a restarting device is waited
// for first).
inline QStringList settledLog(const ApSim &sim, int deviceWaitMs = 0)
{
    const QString probeLine = QStringLiteral(" get 1.3.6.1.2.1.1.3.0 ");
    const int before = countLines(sim.log(), probeLine);
    const bool answers = deviceWaitMs > 0 ? processUntil(deviceAnswers, deviceWaitMs)
                                          : deviceAnswers();
    if (answers)
        processUntil([&] { return countLines(sim.log(), probeLine) > before; }, 5000);
    return sim.log();
}

class MainFormTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        m_form.reset();
        if (KtSNMPSession::IsOpen())
            KtSNMPSession::CloseSession();
        KtMessages::resetToBuiltIn();
    }

    QString path(const QString &name) const { return m_dir.filePath(name); }

    // The module's settings file, data folder and run folder inside this test's folder.
    void useOwnFolders()
    {
        qputenv("QRN_SETTINGS", QFile::encodeName(path(QStringLiteral("registry.ini"))));
        qputenv("QRN_DATA_DIR", QFile::encodeName(path(QStringLiteral("data"))));
        qputenv("QRN_RUNTIME_DIR", QFile::encodeName(path(QStringLiteral("run"))));
    }

    // The main window as the program entry makes it: created, then its menus connected.
    TMainForm *create(const QStringList &parameters)
    {
        m_form = std::make_unique<TMainForm>(parameters);
        if (!m_form->isTerminated())
            connectPageWindows(*m_form);
        return m_form.get();
    }

    // The main window for 127.0.0.1, which finds the simulator's port through a parameter file
    // for its address; the folders are this test's own.
    TMainForm *createAgainst(const ApSim &sim)
    {
        writeFile(path(QStringLiteral("registry.ini")),
                  "[SOFTWARE/Norvane/Marlin5.1/MibFile]\nPath="
                      + QFile::encodeName(path(QStringLiteral("mbf/"))) + "\n");
        writeFile(path(QStringLiteral("mbf/127.0.0.1.cfg")),
                  "[Program Information]\nAgentPort=" + QByteArray::number(sim.port())
                      + "\nVersion=1\nSecurityModel=2\n");
        useOwnFolders();
        KtMessages::resetToBuiltIn();
        // A switch after the address makes start-up read the parameter file (the port).
        return create({QStringLiteral("/I127.0.0.1"), QStringLiteral("/Rvarnok")});
    }

    // As createAgainst, once the window started without a message and its status poll succeeds.
    void startAgainst(const ApSim &sim)
    {
        ASSERT_TRUE(m_dir.isValid());
        createAgainst(sim);
        ASSERT_TRUE(m_dialogs.messages().isEmpty())
            << m_dialogs.texts().join(u'|').toStdString();
        const auto ready = [this] { return m_form->statusText() == QStringLiteral("Ready. "); };
        ASSERT_TRUE(processUntil(ready, 15000)) << m_form->statusText().toStdString();
    }

    QTemporaryDir m_dir;
    KtDialogs::Script m_dialogs;
    std::unique_ptr<TMainForm> m_form;
};
