#include "testenv.h"

#include "apsim.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <gtest/gtest.h>

bool processUntil(const std::function<bool()> &condition, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    while (!condition()) {
        if (waited.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

void writeFile(const QString &filePath, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(filePath).absolutePath());
    QFile file(filePath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << filePath.toStdString();
    file.write(content);
}

QStringList logOf(const ApSim &sim, int lines, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    QStringList log = sim.log();
    while (log.size() < lines && waited.elapsed() < timeoutMs) {
        QThread::msleep(5);
        log = sim.log();
    }
    return log;
}
