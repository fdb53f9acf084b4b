// Helpers for the tests of the module's own code against the simulated access point: the
// session records every request reads, variable items, and a request pointed at the simulator.
// (Kept apart from qrn_test_support, which the simulator's tests link without any module code.)
#pragma once

#include "apsim.h"
#include "testenv.h"
#include "ktsnmprequest.h"
#include "ktsnmpvaritem.h"

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Opens the session records in a folder of their own before the first test and closes them
// after the last: register with
//   const auto *const s_environment = ::testing::AddGlobalTestEnvironment(new SessionEnvironment);
class SessionEnvironment : public ::testing::Environment
{
public:
    void SetUp() override;
    void TearDown() override;

private:
    QTemporaryDir m_dir;
};

KtSNMPVarItem varItem(const QString &oid, int syntax, int access, const char *name = "");

// Points the request at address:port with the given version (0 v1, 1 v2c, 3 v3 authPriv with
// the simulator's passwords for user).
void aim(KtSNMPRequest &request, const QString &address, quint16 port, int version,
         const QString &user = QStringLiteral("authpriv"));

inline void aim(KtSNMPRequest &request, const ApSim &sim, int version)
{
    aim(request, sim.address(), sim.port(), version);
}
