// The main window's start-up message with a real message box (no dialog script), in a process
// of its own: a start-up that ends the module leaves every later modal loop returning at once.
#include "ktmessages.h"
#include "ktsnmpsession.h"
#include "tmainform.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace {

// The conversion message comes before the window is on the screen: it is centred on the screen
// (owned by the invisible window it appeared at the screen's top left). A real message box,
// without the dialog script.
TEST(MainFormStartupMessage, ConversionErrorIsCentredOnTheScreen)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    qputenv("QRN_SETTINGS", QFile::encodeName(dir.filePath(QStringLiteral("registry.ini"))));
    qputenv("QRN_DATA_DIR", QFile::encodeName(dir.filePath(QStringLiteral("data"))));
    qputenv("QRN_RUNTIME_DIR", QFile::encodeName(dir.filePath(QStringLiteral("run"))));
    KtMessages::resetToBuiltIn();

    QString shownText;
    QRect shownFrame;
    QTimer watcher;
    watcher.setInterval(10);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        shownText = box->text();
        shownFrame = box->frameGeometry();
        box->accept();
    });
    watcher.start();
    auto form = std::make_unique<TMainForm>(
        QStringList{QStringLiteral("/I127.0.0.2"), QStringLiteral("/v3"), QStringLiteral("/tabc")});
    watcher.stop();

    ASSERT_EQ(shownText, QStringLiteral("'abc' is not a valid integer value"));
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((shownFrame.center() - screenCentre).manhattanLength(), 10)
        << shownFrame.center().x() << "," << shownFrame.center().y();
    form.reset();
    if (KtSNMPSession::IsOpen())
        KtSNMPSession::CloseSession();
}

} // namespace
