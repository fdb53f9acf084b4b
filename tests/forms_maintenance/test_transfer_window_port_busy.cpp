// A transfer window whose TFTP server cannot have its port (another program serves it): the
// window says so and the module ends, as it cannot move a file without its server. A program of
// its own, since the end of the module is asked of this test process too.
#include "tfm_cfgfile.h"
#include "tfm_firmware.h"
#include "windowtest.h"

#include <QEventLoop>
#include <QUdpSocket>

namespace {

class TransferWindowPortBusy : public PageWindowTest
{
};

template <class Window>
void expectServiceErrorAndEnd(KtDialogs::Script &dialogs, TMainForm *main)
{
    dialogs.clear();
    Window window(main);
    EXPECT_EQ(window.server(), nullptr);
    EXPECT_EQ(dialogs.texts(),
              QStringList{QStringLiteral("TFTP Service Init Error:(KtTFTP) Fail to open "
                                         "socket!Please check if the network is ready.")});
    // The window closes itself once the event loop runs, and OK does nothing.
    window.show();
    EXPECT_TRUE(processUntil([&] { return !window.isVisible(); }, 5000));
}

TEST_F(TransferWindowPortBusy, WindowsSayWhyAndTheModuleEnds)
{
    startDevice();
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress::AnyIPv4, 0, QUdpSocket::DontShareAddress));
    qputenv("QRN_TFTP_PORT", QByteArray::number(holder.localPort()));
    markLog();
    expectServiceErrorAndEnd<TFM_Firmware>(m_dialogs, m_form.get());
    expectServiceErrorAndEnd<TFM_CfgFile>(m_dialogs, m_form.get());
    qunsetenv("QRN_TFTP_PORT");
    EXPECT_TRUE(nothingWrittenSinceMark());
    // The application has been told to end: an event loop started now returns at once.
    QEventLoop loop;
    QTimer::singleShot(5000, &loop, [&loop] { loop.exit(0); });
    EXPECT_EQ(loop.exec(), -1);
}

} // namespace
