// The main window's Home menu opens "Home \ Information" modally over the system group and
// destroys it when it closes.
#include "apsim.h"
#include "ktdialogs.h"
#include "ktmessages.h"
#include "ktsnmpsession.h"
#include "tconfigform.h"
#include "tctrlbtnpanel.h"
#include "teditspanel.h"
#include "tmainform.h"
#include "tmsgpanel.h"
#include "tsnmpeditorpanel.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

bool processUntil(const std::function<bool()> &done, int boundMs = 20000)
{
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < boundMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return done();
}

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

TEST(HomeInformationMenu, OpensTheSystemGroupModallyAndDestroysIt)
{
    ApSim sim({QStringLiteral("--profile"), QStringLiteral("v130")});
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto path = [&dir](const char *name) { return dir.filePath(QString::fromLatin1(name)); };
    writeFile(path("registry.ini"),
              "[SOFTWARE/Norvane/Marlin5.1/MibFile]\nPath=" + QFile::encodeName(path("mbf/"))
                  + "\n");
    writeFile(path("mbf/127.0.0.1.cfg"),
              "[Program Information]\nAgentPort=" + QByteArray::number(sim.port())
                  + "\nVersion=1\nSecurityModel=2\n");
    qputenv("QRN_SETTINGS", QFile::encodeName(path("registry.ini")));
    qputenv("QRN_DATA_DIR", QFile::encodeName(path("data")));
    qputenv("QRN_RUNTIME_DIR", QFile::encodeName(path("run")));
    KtMessages::resetToBuiltIn();
    KtDialogs::Script dialogs;

    // A switch after the address makes start-up read the parameter file (the port).
    auto mainForm = std::make_unique<TMainForm>(
        QStringList{QStringLiteral("/I127.0.0.1"), QStringLiteral("/Rvarnok")});
    ASSERT_TRUE(mainForm->Information1->isEnabled());
    // The session starts once the main window's event loop runs; requests made before that
    // would miss the launch parameters.
    ASSERT_TRUE(processUntil([&] { return mainForm->statusText() == QStringLiteral("Ready. "); }))
        << mainForm->statusText().toStdString() << ' ' << dialogs.texts().join(u'|').toStdString();
    ASSERT_TRUE(dialogs.messages().isEmpty()) << dialogs.texts().join(u'|').toStdString();

    QPointer<TConfigForm> opened;
    QString caption;
    QString name;
    bool modal = false;
    QTimer::singleShot(0, mainForm.get(), [&] {
        processUntil(
            [] { return qobject_cast<TConfigForm *>(QApplication::activeModalWidget()); });
        auto *form = qobject_cast<TConfigForm *>(QApplication::activeModalWidget());
        if (!form)
            return;
        opened = form;
        modal = form->isModal();
        caption = form->windowTitle();
        TSNMPEditorPanel *panel = form->editorPanel();
        if (!panel)
            return;
        QPlainTextEdit *memo = panel->MsgPanel()->memo();
        // The menu handler's read and the form's own refresh.
        processUntil([&] { return memo->toPlainText().split(u'\n').size() >= 2; });
        name = qobject_cast<QLineEdit *>(panel->Grid()->RowAt(4).editor)->text();
        panel->CtrlBtn()->closeButton()->click();
    });
    mainForm->Information1->trigger();

    EXPECT_TRUE(modal);
    EXPECT_EQ(caption.toStdString(), "Home \\ Information");
    EXPECT_EQ(name.toStdString(), "ap-bldg2-3f");
    EXPECT_TRUE(opened.isNull()); // destroyed once its modal loop ended
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.texts().join(u'|').toStdString();

    mainForm.reset();
    if (KtSNMPSession::IsOpen())
        KtSNMPSession::CloseSession();
    KtMessages::resetToBuiltIn();
}

} // namespace
