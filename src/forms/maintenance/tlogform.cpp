#include "tlogform.h"

#include "ktexception.h"
#include "ktoptionlist.h"
#include "ktsnmprequest2edits.h"
#include "ktsnmpvaritem.h"
#include "tftpserver.h"
#include "tlogsetform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

TLogForm *LogForm = nullptr;

namespace {

// ---- Items ----
const QString kLogBranch = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.11.");

const KtOptionList &switchOptions()
{
    static const KtOption table[] = {{0, nullptr, "Disable"}, {1, nullptr, "Enable"}, {}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

const KtOptionList &getOptions()
{
    static const KtOption table[] = {{0, nullptr, "nothing"}, {1, nullptr, "get"}, {}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

const KtOptionList &clearOptions()
{
    static const KtOption table[] = {{0, nullptr, "nothing"}, {1, nullptr, "clear"}, {}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

KtSNMPVarItem logItem(const char *suffix, const char *name, int syntax,
                      const KtOptionList *options = nullptr)
{
    return makeVarItem(kLogBranch + QLatin1String(suffix), QString::fromLatin1(name), syntax,
                       ACC_READWRITE, options);
}

// The device's instances (".0" included): read and written as they stand.
enum LogItem { TftpServerItem = 0, FileNameItem = 1, GetLogItem = 2 };
const KtSNMPVarItem *logItems()
{
    static const KtSNMPVarItem table[] = {
        logItem("4.0", "adTFTPServerIP", SYN_IPADDRESS),
        logItem("5.0", "adLogFileName", SYN_DISPLAYSTR),
        logItem("6.0", "adGetLog", SYN_INTEGER, &getOptions()),
        {}};
    return table;
}

enum SettingsItem {
    SystemLevelItem = 0,
    WirelessLevelItem = 1,
    NoticeLevelItem = 2,
    RemoteStateItem = 3,
    LogServerItem = 4
};
const KtSNMPVarItem *settingsItems()
{
    static const KtSNMPVarItem table[] = {
        logItem("1.0", "adSystemLevel", SYN_INTEGER, &switchOptions()),
        logItem("2.0", "adWirelessLevel", SYN_INTEGER, &switchOptions()),
        logItem("3.0", "adNoticeLevel", SYN_INTEGER, &switchOptions()),
        logItem("8.0", "adRemoteLogState", SYN_INTEGER, &switchOptions()),
        logItem("9.0", "adLogServerIP", SYN_IPADDRESS),
        {}};
    return table;
}

// A scalar named without its instance: ".0" follows.
const KtSNMPVarItem *clearItems()
{
    static const KtSNMPVarItem table[] = {
        logItem("10", "adClearLocalLog", SYN_INTEGER, &clearOptions()), {}};
    return table;
}

// The server's retransmission interval (10 ms units: 50 s) and transmissions per block.
constexpr int kServerInterval = 5000;
constexpr int kServerRetries = 3;
constexpr int kTickMs = 1000;

} // namespace

TLogForm::TLogForm(QWidget *owner) : TPageWindow(owner)
{
    setObjectName(QStringLiteral("LogForm"));
    setWindowTitle(QStringLiteral("Status \\ Log"));
    buildWindow();
    setStatusBar(StatusBar);
    FormCreate();
}

TLogForm::~TLogForm()
{
    if (m_server)
        m_server->Stop();
    if (LogSetForm == m_settingsForm)
        LogSetForm = nullptr;
}

void TLogForm::buildWindow()
{
    LV_Log = new QTreeWidget(this);
    LV_Log->setObjectName(QStringLiteral("LV_Log"));
    LV_Log->setHeaderLabels(
        {QStringLiteral("Time"), QStringLiteral("Type"), QStringLiteral("Message")});
    LV_Log->setRootIsDecorated(false);
    LV_Log->setUniformRowHeights(true);
    LV_Log->setSelectionBehavior(QAbstractItemView::SelectRows);
    LV_Log->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LV_Log->setMinimumSize(600, 320);
    LV_Log->setColumnWidth(TimeColumn, 130);
    LV_Log->setColumnWidth(TypeColumn, 90);

    const auto button = [this](const char *name, const QString &caption) {
        auto *created = new QPushButton(caption, this);
        created->setObjectName(QString::fromLatin1(name));
        created->setAutoDefault(false);
        return created;
    };
    Clear_Btn = button("Clear_Btn", QStringLiteral("Clear"));
    SetBtn = button("SetBtn", QStringLiteral("Log Settings"));
    GetBtn = button("GetBtn", QStringLiteral("Get Log"));
    CloseBtn = button("CloseBtn", QStringLiteral("Close"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Clear_Btn);
    buttons->addWidget(SetBtn);
    buttons->addStretch();
    buttons->addWidget(GetBtn);
    buttons->addWidget(CloseBtn);

    const auto hidden = [this](QWidget *control, const char *name) {
        control->setObjectName(QString::fromLatin1(name));
        control->hide();
    };
    ServerEdit = new QLineEdit(this);
    hidden(ServerEdit, "ServerEdit");
    FileNameEdit = new QLineEdit(this);
    hidden(FileNameEdit, "FileNameEdit");
    GetCoBox = new QComboBox(this);
    hidden(GetCoBox, "GetCoBox");
    Bt_Clear = new QComboBox(this);
    hidden(Bt_Clear, "Bt_Clear");

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(LV_Log);
    layout->addLayout(buttons);
    layout->addWidget(StatusBar);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTickMs);

    connect(GetBtn, &QPushButton::clicked, this, &TLogForm::GetBtnClick);
    connect(Clear_Btn, &QPushButton::clicked, this, &TLogForm::Clear_BtnClick);
    connect(SetBtn, &QPushButton::clicked, this, &TLogForm::SetBtnClick);
    connect(CloseBtn, &QPushButton::clicked, this, &TLogForm::CloseBtnClick);
    connect(Timer1, &QTimer::timeout, this, &TLogForm::Timer1Timer);
}

void TLogForm::FormCreate()
{
    m_settingsForm = new TLogSetForm(this);
    LogSetForm = m_settingsForm;
    try {
        buildRequests();
    } catch (const KtException &e) {
        showStatusText(e.text());
    }
    // Read while the window opens: a silent device holds up neither the window nor the user.
    readRequest(m_logRequest);
    readRequest(m_settingsRequest);
    readRequest(m_clearRequest);
    m_server = StartTFTPServer(this, kServerInterval, kServerRetries, DeviceFilesFolder());
    if (!m_server) {
        EndApplicationForServiceError(this);
        return;
    }
    // A log that arrives late for its reading tick is read as soon as it is in.
    connect(m_server, &KtTFTPServer::fileReceived, this, [this] {
        if (Timer1->isActive() && m_overdueTicks > 0)
            Timer1Timer();
    });
    SetBtn->setEnabled(false);
}

void TLogForm::buildRequests()
{
    m_logRequest = adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, logItems(), MVT_SV));
    m_logRequest->BindEdit(TftpServerItem, QStringLiteral("%s"), ServerEdit);
    m_logRequest->BindEdit(FileNameItem, QStringLiteral("%s"), FileNameEdit);
    m_logRequest->BindComboBox(GetLogItem, GetCoBox);
    m_logRequest->SetStatusControl(StatusBar);

    TLogSetForm &settings = *m_settingsForm;
    m_settingsRequest =
        adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, settingsItems(), MVT_SV));
    m_settingsRequest->SetConstraintOwner(&settings);
    m_settingsRequest->BindCheckBox(SystemLevelItem, settings.SysLevCeBox);
    m_settingsRequest->BindCheckBox(WirelessLevelItem, settings.WirelessLevCeBox);
    m_settingsRequest->BindCheckBox(NoticeLevelItem, settings.NoticeLevCeBox);
    m_settingsRequest->BindComboBox(RemoteStateItem, settings.RemoteStateComBox);
    m_settingsRequest->BindEdit(LogServerItem, QStringLiteral("%s"), settings.LogServerEdit);
    m_settingsRequest->SetStatusControl(settings.StatusBar);
    settings.request = m_settingsRequest;

    m_clearRequest = adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, clearItems(), SVT_SV));
    m_clearRequest->BindComboBox(0, Bt_Clear);
    m_clearRequest->SetStatusControl(StatusBar);
}

void TLogForm::readRequest(KtSNMPRequest2Edits *request)
{
    if (!request)
        return;
    try {
        request->mode = KtSNMPRequest2Controls::Asynchronous;
        request->Get();
    } catch (const KtException &e) {
        showStatusText(e.text());
    }
}

void TLogForm::GetBtnClick()
{
    if (!m_server || !m_logRequest || m_logRequest->IsBusy())
        return;
    m_logPath = logFileName();
    FileNameEdit->setText(logFileName());
    ServerEdit->clear();
    if (!ChoosePCAddress(this, ServerEdit))
        return;
    m_fileAsked = requestLog();
    m_requested = true;
    m_countdown = 1;
    m_overdueTicks = 0;
    Timer1->start();
}

bool TLogForm::requestLog()
{
    // Only a log sent for this request counts, whatever the data folder holds already.
    m_server->ExpectFile(logFileName(), KtTFTPServer::DeviceWrites);
    GetCoBox->setCurrentIndex(Do);
    return writeInOrder({m_logRequest});
}

void TLogForm::Timer1Timer()
{
    if (m_countdown <= 0) {
        const ExpectedUpload upload =
            m_server ? ExpectedUploadState(*m_server, m_overdueTicks) : ExpectedUpload::Missing;
        // A device that refused the request sends nothing: no reason to wait.
        if (upload == ExpectedUpload::Coming && m_fileAsked) {
            ++m_overdueTicks;
            return;
        }
        Timer1->stop();
        m_logPath = DeviceFilesFolder() + logFileName();
        const bool arrived = upload == ExpectedUpload::Arrived;
        ParseLog(arrived ? m_server->receivedFile() : QString());
        if (!arrived && m_fileAsked)
            showStatusText(KtTFTPServer::codeText(-1113));
    }
    --m_countdown;
}

bool TLogForm::ParseLog(const QString &path)
{
    bool loaded = false;
    if (!path.isEmpty() && QFileInfo::exists(path)) {
        m_lines.clear();
        loaded = LoadLogLines(path, &m_lines);
    }
    fillTable();
    SetBtn->setEnabled(true);
    return loaded;
}

void TLogForm::fillTable()
{
    LV_Log->clear();
    QList<QTreeWidgetItem *> rows;
    rows.reserve(m_lines.size());
    for (const QString &line : std::as_const(m_lines)) {
        if (line.isEmpty())
            continue;
        const KtLogLine parsed = ParseLogLine(line);
        rows.append(new QTreeWidgetItem(QStringList{parsed.time, parsed.type, parsed.message}));
    }
    LV_Log->addTopLevelItems(rows);
}

void TLogForm::Clear_BtnClick()
{
    if (!m_clearRequest)
        return;
    Bt_Clear->setCurrentIndex(Do);
    if (writeInOrder({m_clearRequest}))
        LV_Log->clear();
}

void TLogForm::SetBtnClick()
{
    if (!m_settingsForm)
        return;
    if (m_settingsForm->RemoteStateComBox->currentIndex() == TLogSetForm::Disable)
        m_settingsForm->LogServerEdit->clear();
    m_settingsForm->exec();
}

void TLogForm::CloseBtnClick() { close(); }

bool TLogForm::FormCloseQuery()
{
    if (m_server) {
        m_server->Stop();
        delete m_server;
        m_server = nullptr;
    }
    return true;
}
