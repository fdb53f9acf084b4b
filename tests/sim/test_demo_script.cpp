// scripts/demo.sh when the simulator cannot start: the simulator's own reason is the last word,
// without a guess of the script's after it (it said "port busy?" after a misspelt profile).
#include "apsim.h"

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace {

TEST(DemoScript, SimulatorThatCannotStartHasTheLastWord)
{
    const QString script =
        qEnvironmentVariable("QRN_SOURCE_DIR") + QStringLiteral("/scripts/demo.sh");
    ASSERT_TRUE(QFileInfo::exists(script)) << script.toStdString();
    QProcess demo;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // What the build folder holds; nothing is installed or built.
    env.insert(QStringLiteral("QRN_DEMO_NO_BUILD"), QStringLiteral("1"));
    env.insert(QStringLiteral("QRN_BUILD_DIR"),
               QFileInfo(qEnvironmentVariable("QRN_BIN_DIR")).absolutePath());
    env.insert(QStringLiteral("QRN_DEMO_PORT"), QString::number(ApSim::freeUdpPort()));
    env.insert(QStringLiteral("QRN_DEMO_PROFILE"), QStringLiteral("defualt"));
    demo.setProcessEnvironment(env);
    demo.start(QStringLiteral("bash"), {script});
    ASSERT_TRUE(demo.waitForFinished(60000));
    EXPECT_NE(demo.exitCode(), 0);
    const QString errors = QString::fromLocal8Bit(demo.readAllStandardError()).trimmed();
    const QString last = errors.section(QLatin1Char('\n'), -1);
    EXPECT_EQ(last, QStringLiteral("qrn-apsim: cannot read profile defualt"))
        << errors.toStdString();
    EXPECT_FALSE(errors.contains(QStringLiteral("busy"))) << errors.toStdString();
}

} // namespace
