#include "screenshot.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>
#include <gtest/gtest.h>

QString screenshotFolder() { return qEnvironmentVariable("QRN_SCREENSHOT_DIR"); }

QImage windowScreenshot(QWidget &window, const QString &name)
{
    window.show();
    // Layouts and size locks arrive as posted events; two passes let the ones they post in
    // turn land too.
    for (int pass = 0; pass < 2; ++pass) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    const QImage image = window.grab().toImage();
    EXPECT_FALSE(image.isNull()) << name.toStdString();
    const QString folder = screenshotFolder();
    if (!folder.isEmpty() && !image.isNull()) {
        const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
        EXPECT_TRUE(QDir().mkpath(folder)) << folder.toStdString();
        EXPECT_TRUE(image.save(path, "PNG")) << path.toStdString();
    }
    return image;
}
