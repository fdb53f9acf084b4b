#include "tfm_waiting.h"

#include "devicefacts.h"
#include "formdecoration.h"
#include "ktexception.h"
#include "ktoptionlist.h"
#include "ktsnmprequest2edits.h"
#include "ktsnmpvaritem.h"
#include "tmainform.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kDesignWidth = 249;
constexpr int kDesignHeight = 70;
const QString kRebootText = QStringLiteral("reboot");

// The device names its commands by value; the window writes the label "reboot", which the list
// matches whatever its case.
const KtOptionList &upgradeCommandOptions()
{
    static const KtOption table[] = {{1, nullptr, "Firmwareupdate"}, {2, nullptr, "Configsetting"},
                                     {3, nullptr, "Configsave"},     {4, nullptr, "Reboot"},
                                     {5, nullptr, "Factoryreset"},   {6, nullptr, "Nothing"},
                                     {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric, false);
    return list;
}

} // namespace

TFM_Waiting::TFM_Waiting(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("FM_Waiting"));
    setWindowTitle(KtWaitingOptions().caption);
    setModal(true);
    FormDecoration::apply(this, FormDecoration::Sizing::AsSized);
    resize(widthForCaption(), kDesignHeight);

    Label2 = new QLabel(KtWaitingOptions().label2, this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3 = new QLabel(KtWaitingOptions().label3, this);
    Label3->setObjectName(QStringLiteral("Label3"));
    auto *waitingFor = new QLabel(QStringLiteral("Please waiting for"), this);
    La_Time = new QLabel(this);
    La_Time->setObjectName(QStringLiteral("La_Time"));
    auto *seconds = new QLabel(QStringLiteral("seconds"), this);
    Ed_Reboot = new QLineEdit(this);
    Ed_Reboot->setObjectName(QStringLiteral("Ed_Reboot"));
    Ed_Reboot->hide();
    Ed_FwVer = new QLineEdit(this);
    Ed_FwVer->setObjectName(QStringLiteral("Ed_FwVer"));
    Ed_FwVer->hide();

    auto *countLine = new QHBoxLayout;
    countLine->addWidget(waitingFor);
    countLine->addWidget(La_Time);
    countLine->addWidget(seconds);
    countLine->addStretch();
    auto *layout = new QVBoxLayout(this);
    // Three lines in the window's 249 by 70.
    layout->setContentsMargins(11, 4, 11, 4);
    layout->setSpacing(2);
    countLine->setSpacing(4);
    layout->addWidget(Label2);
    layout->addWidget(Label3);
    layout->addLayout(countLine);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1200);
    connect(Timer1, &QTimer::timeout, this, &TFM_Waiting::Timer1Timer);

    readFirmwareVersion();
    setCountdown(30);
}

TFM_Waiting::~TFM_Waiting() = default;

int TFM_Waiting::widthForCaption() const
{
    // The title bar holds the system menu's icon, the minimise and the close buttons beside
    // the caption, each about as wide as the bar is high, and margins on both sides.
    const QFontMetrics title(QFontDatabase::systemFont(QFontDatabase::TitleFont));
    const int bar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    return qMax(kDesignWidth, title.horizontalAdvance(windowTitle()) + 4 * bar);
}

void TFM_Waiting::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowTitleChange)
        resize(widthForCaption(), height());
}

void TFM_Waiting::applyOptions(const KtWaitingOptions &options)
{
    setWindowTitle(options.caption);
    Label2->setText(options.label2);
    Label3->setText(options.label3);
    setCountdown(options.countdown);
    setCommandDelay(options.commandDelay);
    setSendRestartCommand(options.sendRestartCommand);
}

void TFM_Waiting::setCountdown(int ticks)
{
    m_countdown = ticks;
    La_Time->setText(QString::number(ticks));
}

bool TFM_Waiting::deviceAnswers() { return DeviceFacts::deviceAnswers(); }

void TFM_Waiting::readFirmwareVersion()
{
    // Only kept for the window's own record; a device already gone silent must not stop the
    // countdown with an error box, so the read reports nothing.
    const KtSNMPVarItem table[] = {
        makeVarItem(QStringLiteral("1.3.6.1.4.1.32473.11.37.4.4.1.1.1"),
                    QStringLiteral("stFirmwareVersion"), SYN_DISPLAYSTR, ACC_READONLY),
        {}};
    try {
        KtSNMPRequest2Edits request(this, table, SVT_SV);
        request.mode = KtSNMPRequest2Controls::Synchronous;
        request.request.statusCallback = nullptr;
        request.BindEdit(0, QStringLiteral("%s"), Ed_FwVer);
        request.Get();
    } catch (const KtException &) {
        // The field keeps its text; the countdown does not depend on it.
    }
}

void TFM_Waiting::Timer1Timer()
{
    if (m_closed)
        return;
    const bool answers = deviceAnswers();
    if (m_countdown != 1 || answers) {
        La_Time->setText(QString::number(m_countdown));
        --m_countdown;
    } else {
        ++m_silentTicks;
    }
    --m_commandDelay;
    if ((m_countdown < 1 && answers) || m_silentTicks > 5)
        close();
    // The command still goes out on the tick that closes the window, when its delay ends there.
    if (m_commandPending && m_commandDelay < 1) {
        if (m_sendRestartCommand)
            sendRestartCommandNow();
        m_commandPending = false;
    }
}

void TFM_Waiting::sendRestartCommandNow()
{
    const KtSNMPVarItem table[] = {makeVarItem(QStringLiteral("1.3.6.1.4.1.32473.11.37.4.3.3.5"),
                                               QStringLiteral("upgradesettingcommand"),
                                               SYN_INTEGER, ACC_READWRITE,
                                               &upgradeCommandOptions()),
                                   {}};
    try {
        KtSNMPRequest2Edits request(this, table, SVT_SV);
        // Written before the device goes silent; the answer (or its time-out) is waited for
        // here so the request never outlives the tick.
        request.mode = KtSNMPRequest2Controls::Synchronous;
        request.request.statusCallback = nullptr;
        request.BindEdit(0, QStringLiteral("%s"), Ed_Reboot);
        Ed_Reboot->setText(kRebootText);
        request.Set(true, true);
    } catch (const KtException &) {
        // The countdown goes on; the status poll tells when the device is back.
    }
}

bool TFM_Waiting::FormCloseQuery()
{
    if (m_silentTicks > 2)
        m_countdown = 0;
    return m_countdown <= 0;
}

void TFM_Waiting::markClosed()
{
    m_closed = true;
    Timer1->stop();
}

void TFM_Waiting::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (MainForm) {
        QRect frame = frameGeometry();
        frame.moveCenter(MainForm->frameGeometry().center());
        move(frame.topLeft());
    }
    if (!m_closed)
        Timer1->start();
}

void TFM_Waiting::closeEvent(QCloseEvent *event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    markClosed();
    QDialog::closeEvent(event);
}

void TFM_Waiting::reject()
{
    // Escape and the title bar's close button end here as well.
    if (!FormCloseQuery())
        return;
    markClosed();
    QDialog::reject();
}
