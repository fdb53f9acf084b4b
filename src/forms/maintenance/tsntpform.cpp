#include "tsntpform.h"

#include "ktdialogs.h"
#include "ktexception.h"
#include "ktoptionlist.h"
#include "ktsnmprequest2edits.h"
#include "ktsnmpvaritem.h"
#include "ktwaiting.h"
#include "tftpserver.h"
#include "tmainform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

TSNTPForm *SNTPForm = nullptr;

namespace {

// ---- Items ----
const QString kSntpBranch = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.3.5.");

const KtOption TimeZones[] = {
    {1, nullptr, "(GMT-12:00) International Date Line West"},
    {2, nullptr, "(GMT-11:00) Midway Island, Samoa"},
    {3, nullptr, "(GMT-10:00) Hawaii"},
    {4, nullptr, "(GMT-09:00) Alaska"},
    {5, nullptr, "(GMT-08:00) Pacific Time (US & Canada); Tijuana"},
    {6, nullptr, "(GMT-07:00) Arizona"},
    {7, nullptr, "(GMT-07:00) Chihuahua, La Paz, Mazatlan"},
    {8, nullptr, "(GMT-07:00) Mountain Time (US & Canada)"},
    {9, nullptr, "(GMT-06:00) Central America"},
    {10, nullptr, "(GMT-06:00) Central Time (US & Canada)"},
    {11, nullptr, "(GMT-06:00) Guadalajara, Mexico City, Monterrey"},
    {12, nullptr, "(GMT-06:00) Saskatchewan"},
    {13, nullptr, "(GMT-05:00) Bogota, Lima, Quito"},
    {14, nullptr, "(GMT-05:00) Eastern Time (US & Canada)"},
    {15, nullptr, "(GMT-05:00) Indiana (East)"},
    {16, nullptr, "(GMT-04:00) Atlantic Time (Canada)"},
    {17, nullptr, "(GMT-04:00) Caracas, La Paz"},
    {18, nullptr, "(GMT-04:00) Santiago"},
    {19, nullptr, "(GMT-03:30) Newfoundland"},
    {20, nullptr, "(GMT-03:00) Brasilia"},
    {21, nullptr, "(GMT-03:00) Buenos Aires, Georgetown"},
    {22, nullptr, "(GMT-03:00) Greenland"},
    {23, nullptr, "(GMT-02:00) Mid-Atlantic"},
    {24, nullptr, "(GMT-01:00) Azores"},
    {25, nullptr, "(GMT-01:00) Cape Verde Is."},
    {26, nullptr, "(GMT) Casablanca, Monrovia"},
    {27, nullptr, "(GMT) Greenwich Mean Time : Dublin, Edinburgh, Lisbon, London"},
    {28, nullptr, "(GMT+01:00) Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna"},
    {29, nullptr, "(GMT+01:00) Belgrade, Bratislava, Budapest, Ljubljana, Prague"},
    {30, nullptr, "(GMT+01:00) Brussels, Copenhagen, Madrid, Paris"},
    {31, nullptr, "(GMT+01:00) Sarajevo, Skopje, Warsaw, Zagreb"},
    {32, nullptr, "(GMT+01:00) West Central Africa"},
    {33, nullptr, "(GMT+02:00) Athens, Istanbul, Minsk"},
    {34, nullptr, "(GMT+02:00) Bucharest"},
    {35, nullptr, "(GMT+02:00) Cairo"},
    {36, nullptr, "(GMT+02:00) Harare, Pretoria"},
    {37, nullptr, "(GMT+02:00) Helsinki, Kyiv, Riga, Sofia, Tallinn, Vilnius"},
    {38, nullptr, "(GMT+02:00) Jerusalem"},
    {39, nullptr, "(GMT+03:00) Baghdad"},
    {40, nullptr, "(GMT+03:00) Kuwait, Riyadh"},
    {41, nullptr, "(GMT+03:00) Moscow, St. Petersburg, Volgograd"},
    {42, nullptr, "(GMT+03:00) Nairobi"},
    {43, nullptr, "(GMT+03:30) Tehran"},
    {44, nullptr, "(GMT+04:00) Abu Dhabi, Muscat"},
    {45, nullptr, "(GMT+04:00) Baku, Tbilisi, Yerevan"},
    {46, nullptr, "(GMT+04:30) Kabul"},
    {47, nullptr, "(GMT+05:00) Ekaterinburg"},
    {48, nullptr, "(GMT+05:00) Islamabad, Karachi, Tashkent"},
    {49, nullptr, "(GMT+05:30) Chennai, Kolkata, Mumbai, New Delhi"},
    {50, nullptr, "(GMT+05:45) Kathmandu"},
    {51, nullptr, "(GMT+06:00) Almaty, Novosibirsk"},
    {52, nullptr, "(GMT+06:00) Astana, Dhaka"},
    {53, nullptr, "(GMT+06:00) Sri Jayawardenepura"},
    {54, nullptr, "(GMT+06:30) Rangoon"},
    {55, nullptr, "(GMT+07:00) Bangkok, Hanoi, Jakarta"},
    {56, nullptr, "(GMT+07:00) Krasnoyarsk"},
    {57, nullptr, "(GMT+08:00) Beijing, Chongqing, Hong Kong, Urumqi"},
    {58, nullptr, "(GMT+08:00) Irkutsk, Ulaan Bataar"},
    {59, nullptr, "(GMT+08:00) Kuala Lumpur, Singapore"},
    {60, nullptr, "(GMT+08:00) Perth"},
    {61, nullptr, "(GMT+08:00) Taipei"},
    {62, nullptr, "(GMT+09:00) Osaka, Sapporo, Tokyo"},
    {63, nullptr, "(GMT+09:00) Seoul"},
    {64, nullptr, "(GMT+09:00) Yakutsk"},
    {65, nullptr, "(GMT+09:30) Adelaide"},
    {66, nullptr, "(GMT+09:30) Darwin"},
    {67, nullptr, "(GMT+10:00) Brisbane"},
    {68, nullptr, "(GMT+10:00) Canberra, Melbourne, Sydney"},
    {69, nullptr, "(GMT+10:00) Guam, Port Moresby"},
    {70, nullptr, "(GMT+10:00) Hobart"},
    {71, nullptr, "(GMT+10:00) Vladivostok"},
    {72, nullptr, "(GMT+11:00) Magadan, Solomon Is., New Caledonia"},
    {73, nullptr, "(GMT+12:00) Auckland, Wellington"},
    {74, nullptr, "(GMT+12:00) Fiji, Kamchatka, Marshall Is."},
    {75, nullptr, "(GMT+13:00) Nuku'alofa"},
    {}};
static_assert(sizeof TimeZones / sizeof TimeZones[0] == KtTimeZoneCount + 1);

const KtOptionList &timeZoneOptions()
{
    static const KtOptionList list(TimeZones, KtOptionList::Numeric);
    return list;
}

const KtOptionList &switchOptions()
{
    static const KtOption table[] = {{0, nullptr, "Disabled"}, {1, nullptr, "Enabled"}, {}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

const KtOptionList &getOptions()
{
    static const KtOption table[] = {{0, nullptr, "nothing"}, {1, nullptr, "get"}, {}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

KtSNMPVarItem sntpItem(const char *suffix, const char *name, int syntax, int access,
                       const KtOptionList *options = nullptr)
{
    return makeVarItem(kSntpBranch + QLatin1String(suffix), QString::fromLatin1(name), syntax,
                       access, options);
}

enum SettingsItem { ServerItem = 0, TimeZoneItem = 1, DaylightItem = 2, TimeOfDayItem = 3 };
const KtSNMPVarItem *settingsItems()
{
    static const KtSNMPVarItem table[] = {
        sntpItem("1", "sntpServerIP", SYN_IPADDRESS, ACC_READWRITE),
        sntpItem("2", "sntpTZoneIdx", SYN_INTEGER, ACC_READWRITE, &timeZoneOptions()),
        sntpItem("4", "dayLightSaving", SYN_INTEGER, ACC_READWRITE, &switchOptions()),
        sntpItem("5", "timeOfDay", SYN_DISPLAYSTR, ACC_READONLY),
        {}};
    return table;
}

enum ListItem { TftpServerItem = 0, FileNameItem = 1, GetListItem = 2 };
const KtSNMPVarItem *listItems()
{
    static const KtSNMPVarItem table[] = {
        sntpItem("6.1", "sntpTFTPServerIP", SYN_IPADDRESS, ACC_READWRITE),
        sntpItem("6.2", "sntpListFileName", SYN_DISPLAYSTR, ACC_READWRITE),
        sntpItem("6.3", "sntpGetList", SYN_INTEGER, ACC_READWRITE, &getOptions()),
        {}};
    return table;
}

// Both requests wait 10 s (hundredths of a second) for the device.
constexpr int kRequestTimeout = 1000;
// The server's retransmission interval (10 ms units: 50 s) and transmissions per block.
constexpr int kServerInterval = 5000;
constexpr int kServerRetries = 3;
constexpr int kTickMs = 1000;
// Ticks after the device took the command before the list is read: the third reads it.
constexpr int kListTicks = 2;

const QString kNoServer = QStringLiteral("0.0.0.0");

} // namespace

TSNTPForm::TSNTPForm(QWidget *owner) : TPageWindow(owner)
{
    setObjectName(QStringLiteral("SNTPForm"));
    setWindowTitle(QStringLiteral("Tools \\ SNTP"));
    buildWindow();
    setStatusBar(StatusBar);
    FormCreate();
}

TSNTPForm::~TSNTPForm()
{
    if (m_server)
        m_server->Stop();
}

QString TSNTPForm::gettingText() { return QStringLiteral("Getting..."); }
QString TSNTPForm::getCompleteText() { return QStringLiteral("Get Complete."); }
QString TSNTPForm::settingText() { return QStringLiteral("Set..."); }
QString TSNTPForm::settingSuccessText() { return QStringLiteral("Setting Success"); }
QString TSNTPForm::settingErrorText() { return QStringLiteral("Setting Error"); }
QString TSNTPForm::getIpErrorMessage() { return QStringLiteral("Get IP Error!"); }

QString TSNTPForm::invalidAddressMessage()
{
    return QStringLiteral("Please input valid IP address");
}

QStringList TSNTPForm::timeZoneLabels()
{
    QStringList labels;
    for (const KtOption *zone = TimeZones; zone->label; ++zone)
        labels.append(QString::fromLatin1(zone->label));
    return labels;
}

void TSNTPForm::buildWindow()
{
    const auto named = [](QWidget *control, const char *name) {
        control->setObjectName(QString::fromLatin1(name));
    };
    GroupBox1 = new QGroupBox(QStringLiteral("SNTP Settings"), this);
    named(GroupBox1, "GroupBox1");
    Ed_WSNTPServ = new QLineEdit(GroupBox1);
    named(Ed_WSNTPServ, "Ed_WSNTPServ");
    CB_WSNTPTimeZone = new QComboBox(GroupBox1);
    named(CB_WSNTPTimeZone, "CB_WSNTPTimeZone");
    CHB_DayLight = new QCheckBox(QStringLiteral(" Enabled"), GroupBox1);
    named(CHB_DayLight, "CHB_DayLight");
    auto *settings = new QGridLayout(GroupBox1);
    settings->addWidget(new QLabel(QStringLiteral("SNTP Server"), GroupBox1), 0, 0);
    settings->addWidget(Ed_WSNTPServ, 0, 1);
    settings->addWidget(new QLabel(QStringLiteral("Time Zone"), GroupBox1), 1, 0);
    settings->addWidget(CB_WSNTPTimeZone, 1, 1);
    settings->addWidget(new QLabel(QStringLiteral("Daylight Saving"), GroupBox1), 2, 0);
    settings->addWidget(CHB_DayLight, 2, 1);
    settings->setColumnStretch(1, 1);

    GroupBox2 = new QGroupBox(QStringLiteral("Information"), this);
    named(GroupBox2, "GroupBox2");
    LabRSNTPServ = new QLabel(GroupBox2);
    named(LabRSNTPServ, "LabRSNTPServ");
    LabRSNTPTimeZone = new QLabel(GroupBox2);
    named(LabRSNTPTimeZone, "LabRSNTPTimeZone");
    LabRLocalTime = new QLineEdit(GroupBox2);
    named(LabRLocalTime, "LabRLocalTime");
    LabRLocalTime->setReadOnly(true);
    LabRLocalTime->setFrame(false);
    auto *information = new QGridLayout(GroupBox2);
    information->addWidget(new QLabel(QStringLiteral("SNTP Server"), GroupBox2), 0, 0);
    information->addWidget(LabRSNTPServ, 0, 1);
    information->addWidget(new QLabel(QStringLiteral("Time Zone"), GroupBox2), 1, 0);
    information->addWidget(LabRSNTPTimeZone, 1, 1);
    information->addWidget(new QLabel(QStringLiteral("Local Time"), GroupBox2), 2, 0);
    information->addWidget(LabRLocalTime, 2, 1);
    information->setColumnStretch(1, 1);

    Pn_Status = new QLabel(this);
    named(Pn_Status, "Pn_Status");
    Pn_Status->setFrameShape(QFrame::Panel);
    Pn_Status->setFrameShadow(QFrame::Sunken);

    Bt_Apply = new QPushButton(QStringLiteral("Apply"), this);
    named(Bt_Apply, "Bt_Apply");
    Bt_Apply->setAutoDefault(false);
    Bt_Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    named(Bt_Cancel, "Bt_Cancel");
    Bt_Cancel->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Pn_Status, 1);
    buttons->addWidget(Bt_Apply);
    buttons->addWidget(Bt_Cancel);

    const auto hidden = [&named](QWidget *control, const char *name) {
        named(control, name);
        control->hide();
    };
    Ed_TFTPServ = new QLineEdit(this);
    hidden(Ed_TFTPServ, "Ed_TFTPServ");
    Ed_FileName = new QLineEdit(this);
    hidden(Ed_FileName, "Ed_FileName");
    CB_Get = new QComboBox(this);
    hidden(CB_Get, "CB_Get");

    StatusBar = new QStatusBar(this);
    named(StatusBar, "StatusBar");
    StatusBar->setSizeGripEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addWidget(GroupBox2);
    layout->addLayout(buttons);
    layout->addWidget(StatusBar);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTickMs);

    connect(Bt_Apply, &QPushButton::clicked, this, &TSNTPForm::Bt_ApplyClick);
    connect(Bt_Cancel, &QPushButton::clicked, this, &TSNTPForm::Bt_CancelClick);
    connect(Timer1, &QTimer::timeout, this, &TSNTPForm::Timer1Timer);
    // The user's choice only: the device's zone filled in by a read changes nothing.
    connect(CB_WSNTPTimeZone, &QComboBox::activated, this, &TSNTPForm::applyTimeZoneRule);
}

void TSNTPForm::FormCreate()
{
    showStatusPanel(gettingText());
    try {
        buildRequests();
        m_settingsRequest->Get();
    } catch (const KtException &e) {
        showStatusText(e.text());
    }
    m_server = StartTFTPServer(this, kServerInterval, kServerRetries, DeviceFilesFolder());
    if (!m_server) {
        EndApplicationForServiceError(this);
        return;
    }
    // A list that arrives late for its reading tick is read as soon as it is in.
    connect(m_server, &KtTFTPServer::fileReceived, this, [this] {
        if (Timer1->isActive() && m_overdueTicks > 0)
            Timer1Timer();
    });
    try {
        requestList();
    } catch (const KtException &e) {
        showStatusText(e.text());
    }
}

void TSNTPForm::buildRequests()
{
    m_settingsRequest =
        adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, settingsItems(), SVT_SV));
    m_settingsRequest->request.timeout = kRequestTimeout;
    m_settingsRequest->BindEdit(ServerItem, QStringLiteral("%s"), Ed_WSNTPServ);
    m_settingsRequest->BindComboBox(TimeZoneItem, CB_WSNTPTimeZone);
    m_settingsRequest->BindCheckBox(DaylightItem, CHB_DayLight);
    m_settingsRequest->BindEdit(TimeOfDayItem, QStringLiteral("%s"), LabRLocalTime);
    CB_WSNTPTimeZone->setCurrentIndex(-1);
    m_settingsRequest->SetStatusControl(StatusBar);
    m_settingsRequest->OnGetComplete = [this](KtSNMPRequest2Controls *, const KtSNMPError &s) {
        settingsRead(s);
    };
    m_settingsRequest->OnSetComplete = [this](KtSNMPRequest2Controls *, const KtSNMPError &s) {
        settingsWritten(s);
    };

    m_listRequest = adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, listItems(), SVT_SV));
    m_listRequest->request.timeout = kRequestTimeout;
    m_listRequest->BindEdit(TftpServerItem, QStringLiteral("%s"), Ed_TFTPServ);
    m_listRequest->BindEdit(FileNameItem, QStringLiteral("%s"), Ed_FileName);
    m_listRequest->BindComboBox(GetListItem, CB_Get);
    m_listRequest->SetStatusControl(StatusBar);
    m_listRequest->OnSetComplete = [this](KtSNMPRequest2Controls *, const KtSNMPError &s) {
        listCommanded(s);
    };
}

void TSNTPForm::requestList()
{
    if (!m_listRequest)
        return;
    if (!ChoosePCAddress(this, Ed_TFTPServ)) {
        KtDialogs::message(this, getIpErrorMessage(), warningCaption());
        return;
    }
    Ed_FileName->setText(listFileName());
    CB_Get->setCurrentIndex(Get);
    // Only a list sent for this request counts, whatever the data folder holds already.
    m_server->ExpectFile(listFileName(), KtTFTPServer::DeviceWrites);
    m_listRequest->Set(true, true);
    m_listPath = DeviceFilesFolder() + listFileName();
}

void TSNTPForm::hideNoServer()
{
    if (Ed_WSNTPServ->text() == kNoServer)
        Ed_WSNTPServ->clear();
}

void TSNTPForm::settingsRead(const KtSNMPError &status)
{
    if (status.code != 0)
        return;
    hideNoServer();
    LabRSNTPServ->setText(Ed_WSNTPServ->text());
    LabRSNTPTimeZone->setText(CB_WSNTPTimeZone->currentText());
    // The list may have come first: the zone just read follows it too.
    if (m_listRead)
        applyTimeZoneRule();
}

void TSNTPForm::listCommanded(const KtSNMPError &status)
{
    if (status.code != 0) {
        showStatusPanel(status.text);
        return;
    }
    m_countdown = kListTicks;
    m_overdueTicks = 0;
    Timer1->start();
}

void TSNTPForm::Timer1Timer()
{
    if (m_countdown > 0) {
        --m_countdown;
        return;
    }
    const ExpectedUpload upload =
        m_server ? ExpectedUploadState(*m_server, m_overdueTicks) : ExpectedUpload::Missing;
    if (upload == ExpectedUpload::Coming) {
        ++m_overdueTicks;
        return;
    }
    Timer1->stop();
    if (upload == ExpectedUpload::Arrived) {
        showStatusPanel(getCompleteText());
        m_listRead = LoadDaylightSavingList(m_server->receivedFile(), &m_daylightSaving);
    } else {
        showStatusPanel(KtTFTPServer::codeText(-1113));
    }
    applyTimeZoneRule();
}

void TSNTPForm::applyTimeZoneRule()
{
    const int zone = CB_WSNTPTimeZone->currentIndex();
    if (zone < 0 || zone >= KtTimeZoneCount)
        return;
    if (m_daylightSaving[std::size_t(zone)]) {
        CHB_DayLight->setEnabled(true);
        return;
    }
    if (m_listRead)
        CHB_DayLight->setChecked(false);
    CHB_DayLight->setEnabled(false);
}

std::optional<TPageWindow::Refusal> TSNTPForm::checkServer() const
{
    const QString server = Ed_WSNTPServ->text();
    if (!server.isEmpty() && !TMainForm::IsValidIPAddress(server))
        return Refusal{invalidAddressMessage(), Ed_WSNTPServ, Refusal::ClearText};
    return std::nullopt;
}

void TSNTPForm::Bt_ApplyClick()
{
    if (!m_settingsRequest || m_settingsRequest->IsBusy())
        return;
    if (refuse(checkServer(), waringCaption()))
        return;
    if (Ed_WSNTPServ->text().isEmpty())
        Ed_WSNTPServ->setText(kNoServer);
    showStatusPanel(settingText());
    bool sent = false;
    try {
        sent = m_settingsRequest->Set(true, true);
    } catch (const KtException &e) {
        showStatusText(e.text());
    }
    if (!sent) {
        hideNoServer();
        showStatusPanel(settingErrorText());
    }
}

void TSNTPForm::settingsWritten(const KtSNMPError &status)
{
    hideNoServer();
    if (status.code != 0) {
        showStatusPanel(settingErrorText());
        return;
    }
    showStatusPanel(settingSuccessText());
    KtWaiting::Show(this);
}

void TSNTPForm::Bt_CancelClick() { close(); }

void TSNTPForm::showStatusPanel(const QString &text) { Pn_Status->setText(text); }

void TSNTPForm::showEvent(QShowEvent *event)
{
    TPageWindow::showEvent(event);
    Bt_Apply->setFocus();
}

bool TSNTPForm::FormCloseQuery()
{
    if (m_server) {
        m_server->Stop();
        delete m_server;
        m_server = nullptr;
    }
    return true;
}
