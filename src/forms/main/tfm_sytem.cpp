#include "tfm_sytem.h"

#include "formdecoration.h"
#include "ktdialogs.h"
#include "ktexception.h"
#include "ktoptionlist.h"
#include "ktsnmprequest2edits.h"
#include "ktsnmpvaritem.h"
#include "ktwaiting.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include <vector>

TFM_Sytem *FM_Sytem = nullptr;

namespace {

enum Item { RestartItem = 0, FactoryDefaultItem = 1 };
enum TrueFalse { True = 0, False = 1 }; // positions in the boxes

const KtOptionList &trueFalseOptions()
{
    static const KtOption table[] = {
        {1, nullptr, "True"}, {2, nullptr, "False"}, {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

} // namespace

TFM_Sytem::TFM_Sytem(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FM_Sytem"));
    setWindowTitle(QStringLiteral("Tools \\ System"));
    setModal(true);
    FormDecoration::apply(this);
    buildWindow();
    FormCreate();
}

TFM_Sytem::~TFM_Sytem() = default;

QString TFM_Sytem::question() { return QStringLiteral("Device will reboot, continue?"); }

QString TFM_Sytem::restartCaption()
{
    return QStringLiteral("System is rebooting, please waiting.....");
}

QString TFM_Sytem::restoreCaption()
{
    return QStringLiteral("System is rebooting, please waiting.....!");
}

QString TFM_Sytem::restoreLabel3()
{
    return QStringLiteral("The system IP will be 192.168.0.50 !");
}

void TFM_Sytem::buildWindow()
{
    Button1 = new QPushButton(QStringLiteral("Restart"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("Restore"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    CB_Restart = new QComboBox(this);
    CB_Restart->setObjectName(QStringLiteral("CB_Restart"));
    CB_Restart->hide();
    CB_Restore = new QComboBox(this);
    CB_Restore->setObjectName(QStringLiteral("CB_Restore"));
    CB_Restore->hide();
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Apply Settings and Restart "), this), 0, 0);
    grid->addWidget(Button1, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Restore to Factory Default Settings"), this), 1,
                    0);
    grid->addWidget(Button2, 1, 1);
    grid->setColumnStretch(0, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(StatusBar);
    // Room for a whole status line (the window fits its content).
    StatusBar->setMinimumWidth(400);

    connect(Button1, &QPushButton::clicked, this, &TFM_Sytem::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFM_Sytem::Button2Click);
}

void TFM_Sytem::FormCreate()
{
    const std::vector<KtSNMPVarItem> table = {
        makeVarItem(QStringLiteral("1.3.6.1.4.1.32473.11.37.4.3.2.1"), QStringLiteral("Restart"),
                    SYN_INTEGER, ACC_READWRITE, &trueFalseOptions()),
        makeVarItem(QStringLiteral("1.3.6.1.4.1.32473.11.37.4.3.2.2"),
                    QStringLiteral("FactoryDefault"), SYN_INTEGER, ACC_READWRITE,
                    &trueFalseOptions()),
        {}};
    try {
        m_request = std::make_unique<KtSNMPRequest2Edits>(this, table.data(), SVT_SV);
        m_request->mode = KtSNMPRequest2Controls::Synchronous;
        m_request->BindComboBox(RestartItem, CB_Restart);
        m_request->BindComboBox(FactoryDefaultItem, CB_Restore);
        // Like list boxes, the boxes show no choice until the device has told its values:
        // binding fills them and would otherwise leave "True" showing.
        CB_Restart->setCurrentIndex(-1);
        CB_Restore->setCurrentIndex(-1);
        m_request->SetStatusControl(StatusBar);
        m_request->Get();
    } catch (const KtException &e) {
        StatusBar->showMessage(e.text());
    }
}

void TFM_Sytem::Button1Click()
{
    const Choice before = currentChoice();
    CB_Restart->setCurrentIndex(True);
    // FactoryDefault goes out with the restart. When the device never told its value the box
    // shows nothing, and a restart alone must not become a factory reset.
    if (CB_Restore->currentIndex() < 0)
        CB_Restore->setCurrentIndex(False);
    confirmAndWrite(before, restartCaption(), QString());
}

void TFM_Sytem::Button2Click()
{
    const Choice before = currentChoice();
    CB_Restart->setCurrentIndex(True);
    CB_Restore->setCurrentIndex(True);
    confirmAndWrite(before, restoreCaption(), restoreLabel3());
}

TFM_Sytem::Choice TFM_Sytem::currentChoice() const
{
    return {CB_Restart->currentIndex(), CB_Restore->currentIndex()};
}

void TFM_Sytem::confirmAndWrite(const Choice &before, const QString &waitingCaption,
                                const QString &waitingLabel3)
{
    if (!KtDialogs::message(this, question(), QStringLiteral("Warning"),
                            KtDialogs::Buttons::OkCancel)) {
        // Both items go out with every write: a cancelled Restore left showing True would
        // turn the next Restart into a factory reset.
        CB_Restart->setCurrentIndex(before.restart);
        CB_Restore->setCurrentIndex(before.restore);
        return;
    }
    try {
        if (!m_request)
            return;
        // Both items go out: the device restarts once the write is answered, and restores its
        // factory settings first when FactoryDefault reads True.
        m_request->Set(true, true);
        KtWaitingOptions options;
        options.caption = waitingCaption;
        if (!waitingLabel3.isEmpty())
            options.label3 = waitingLabel3;
        // The write itself restarts the device; no second command.
        options.sendRestartCommand = false;
        KtWaiting::Show(this, options);
    } catch (const KtException &e) {
        StatusBar->showMessage(e.text());
    }
}
