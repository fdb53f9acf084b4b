#include "tmainform.h"

#include "ktcatalogues.h"
#include "ktdialogs.h"
#include "ktexception.h"
#include "ktlaunchparameters.h"
#include "ktmodule.h"
#include "ktregistry.h"
#include "ktsnmprequest2edits.h"
#include "ktsnmpsession.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QStatusBar>
#include <QTimer>

#include <exception>

TMainForm *MainForm = nullptr;

// The resource lives in a static library: without this its registration would be dropped.
static void initMainFormResources()
{
    Q_INIT_RESOURCE(tmainform);
}

namespace {

QTimer *makeTimer(QObject *owner, int interval)
{
    auto *timer = new QTimer(owner);
    timer->setInterval(interval);
    return timer;
}

const QString ReadyText = QStringLiteral("Ready. ");
// A remembered status line of exactly this text hides "Client Info" (a catalogue may word the
// time-out this way); the Status menu also knows a time-out by its code, whatever its text.
const QString TimedOutText = QStringLiteral("SNMP request timed out!");
// The code a request reports when the device did not answer in time.
constexpr qint32 TimedOutCode = -405;

// ---- Device variables the main window reads ----

const KtSNMPVarItem StatusItems[] = {
    {QStringLiteral("1.3.6.1.4.1.32473.11.37.4.4.4"), QStringLiteral("stLED"), SYN_INTEGER,
     ACC_READONLY, nullptr, {}, {}, {}, {}, {}},
    {},
};

const KtSNMPVarItem FirmwareItems[] = {
    {QStringLiteral("1.3.6.1.4.1.32473.11.37.4.4.1.1.1"), QStringLiteral("stFirmwareVersion"),
     SYN_DISPLAYSTR, ACC_READONLY, nullptr, {}, {}, {}, {}, {}},
    {},
};

const KtSNMPVarItem CountryItems[] = {
    {QStringLiteral("1.3.6.1.4.1.32473.11.37.4.99.1.1.6"), QStringLiteral("countrycode"),
     SYN_DISPLAYSTR, ACC_READONLY, nullptr, {}, {}, {}, {}, {}},
    {},
};

// Fully instanced: the last component is the band (1 = 802.11a, 2 = 802.11g).
const KtSNMPVarItem TurboItems[] = {
    {QStringLiteral("1.3.6.1.4.1.32473.11.37.4.99.1.1.2.1"), QStringLiteral("turbomodes"),
     SYN_INTEGER, ACC_READONLY, nullptr, {}, {}, {}, {}, {}},
    {QStringLiteral("1.3.6.1.4.1.32473.11.37.4.99.1.1.2.2"), QStringLiteral("turbomodes"),
     SYN_INTEGER, ACC_READONLY, nullptr, {}, {}, {}, {}, {}},
    {},
};

const KtSNMPVarItem ApModeItems[] = {
    {QStringLiteral("1.3.6.1.4.1.32473.11.37.4.99.1.1.1.1"), QStringLiteral("apmodes"),
     SYN_INTEGER, ACC_READONLY, nullptr, {}, {}, {}, {}, {}},
    {QStringLiteral("1.3.6.1.4.1.32473.11.37.4.99.1.1.1.2"), QStringLiteral("apmodes"),
     SYN_INTEGER, ACC_READONLY, nullptr, {}, {}, {}, {}, {}},
    {},
};

const KtSNMPVarItem MultiSsidItems[] = {
    {QStringLiteral("1.3.6.1.4.1.32473.11.37.4.99.1.1.9"), QStringLiteral("mssidsupported"),
     SYN_INTEGER, ACC_READONLY, nullptr, {}, {}, {}, {}, {}},
    {},
};

// The whole LAN group travels together; only the address and the mask are kept.
const KtSNMPVarItem LanItems[] = {
    {QStringLiteral("1.3.6.1.4.1.32473.11.37.4.1.2.1"), QStringLiteral("hGetIPFrom"),
     SYN_INTEGER, ACC_READONLY, nullptr, {}, {}, {}, {}, {}},
    {QStringLiteral("1.3.6.1.4.1.32473.11.37.4.1.2.2"), QStringLiteral("hIPAddress"),
     SYN_IPADDRESS, ACC_READONLY, nullptr, {}, {}, {}, {}, {}},
    {QStringLiteral("1.3.6.1.4.1.32473.11.37.4.1.2.3"), QStringLiteral("hSubnetMask"),
     SYN_IPADDRESS, ACC_READONLY, nullptr, {}, {}, {}, {}, {}},
    {QStringLiteral("1.3.6.1.4.1.32473.11.37.4.1.2.4"), QStringLiteral("hDefaultGateway"),
     SYN_IPADDRESS, ACC_READONLY, nullptr, {}, {}, {}, {}, {}},
    {QStringLiteral("1.3.6.1.4.1.32473.11.37.4.3.2.1"), QStringLiteral("sysRestart"),
     SYN_INTEGER, ACC_READONLY, nullptr, {}, {}, {}, {}, {}},
    {},
};

const KtSNMPVarItem ClientInfoItems[] = {
    {QStringLiteral("1.3.6.1.4.1.32473.11.37.4.99.1.1.7"),
     QStringLiteral("clientinfosupported"), SYN_INTEGER, ACC_READONLY, nullptr, {}, {}, {}, {},
     {}},
    {},
};

// stLED: a lit bit and a blink bit per lamp.
enum LedBits : int {
    PowerLit = 0x0001,
    PowerBlink = 0x0002,
    Radio11gLit = 0x0040,
    Radio11gBlink = 0x0080,
    Radio11aLit = 0x0100,
    Radio11aBlink = 0x0200,
    Lan1Lit = 0x0400,
    Lan1Blink = 0x0800,
    Lan2Lit = 0x1000,
    Lan2Blink = 0x2000,
};

// A text that is not a plain decimal number counts as 0.
int ledValue(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? value : 0;
}

// The four parts of a dotted text, as both checks take them apart. False for a text of the
// wrong shape, and for a part that is not a decimal number: the checks never report, so the
// conversion error ends as a plain "no".
bool dottedParts(const QString &text, int parts[4])
{
    // Steps of the address check before the conversion: a leading dot, a first dot that is the
    // last character (this includes the empty text), or not exactly three dots.
    const int firstDot = text.indexOf(u'.');
    if (text.startsWith(u'.') || firstDot == text.size() - 1)
        return false;
    if (text.count(u'.') != 3)
        return false;
    const QStringList texts = text.split(u'.');
    for (int i = 0; i < 4; ++i) {
        try {
            parts[i] = KtLaunchParameters::StrToInt(texts.at(i));
        } catch (const KtConvertError &) {
            return false;
        }
    }
    return true;
}

} // namespace

// ---- Lamps ----

TMainLamp::TMainLamp(QWidget *parent) : QWidget(parent)
{
    setFixedSize(13, 13);
    setAttribute(Qt::WA_TranslucentBackground);
}

void TMainLamp::setBrushColor(const QColor &color)
{
    if (m_color == color)
        return;
    m_color = color;
    update();
}

bool TMainLamp::toggle()
{
    if (!blink)
        return false;
    m_color = m_color.rgb() == QColor(Dark).rgb() ? QColor(Lit) : QColor(Dark);
    return true;
}

void TMainLamp::setBackdrop(const QPixmap &backdrop)
{
    m_backdrop = backdrop;
    m_faces.clear();
    const bool opaque = !m_backdrop.isNull();
    setAttribute(Qt::WA_TranslucentBackground, !opaque);
    setAttribute(Qt::WA_OpaquePaintEvent, opaque);
    update();
}

void TMainLamp::drawLamp(QPainter &painter) const
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x20, 0x20, 0x20), 1));
    painter.setBrush(m_color);
    painter.drawEllipse(QRectF(0.5, 0.5, width() - 1.0, height() - 1.0));
}

const QPixmap &TMainLamp::face()
{
    const QRgb key = m_color.rgba();
    auto found = m_faces.constFind(key);
    if (found != m_faces.constEnd())
        return *found;
    const qreal ratio = devicePixelRatioF();
    QPixmap drawn(size() * ratio);
    drawn.setDevicePixelRatio(ratio);
    QPainter painter(&drawn);
    painter.drawPixmap(rect(), m_backdrop);
    drawLamp(painter);
    painter.end();
    return *m_faces.insert(key, drawn);
}

void TMainLamp::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    if (m_backdrop.isNull())
        drawLamp(painter);
    else
        painter.drawPixmap(0, 0, face());
}

// ---- The window ----

QString TMainForm::onlyHostMessage()
{
    return QStringLiteral("This module is only used in the Marlin or HP-Openview.");
}

QString TMainForm::anotherModuleMessage()
{
    return QStringLiteral("Another QRN7300XB module is running!");
}

QString TMainForm::noLockFolderMessage()
{
    return QStringLiteral("No folder of this user's own for the module's lock file: set "
                          "XDG_RUNTIME_DIR, or remove %1 (another user's, or open to others).")
        .arg(KtModule::sharedRuntimeFolder());
}

QString TMainForm::connectingText(const QString &address)
{
    return QStringLiteral("Connecting to %1...").arg(address);
}

TMainForm::TMainForm(const QStringList &parameters, QWidget *parent)
    : QMainWindow(parent), m_parameters(parameters)
{
    // Windows created during start-up already find the main window through MainForm.
    MainForm = this;
    // The shipped catalogues first; the host installation's may replace them in FormCreate.
    KtCatalogues::LoadFromProgramFolder(KtModule::programFolder());
    buildWindow();
    FormCreate();
}

TMainForm::~TMainForm()
{
    Timer1->stop();
    Timer2->stop();
    Timer3->stop();
    Timer4->stop();
    // The main window goes only when the process ends: answers still in flight are of no
    // interest to anyone, so its requests do not wait for them (a silent device would hold
    // the exit for the firmware read's 20 s). Closing their sessions drops those answers.
    const auto drop = [](KtSNMPRequest2Edits *request) {
        request->OnGetComplete = nullptr;
        request->request.alive = 0;
        request->request.outstanding = 0;
    };
    if (m_statusRequest)
        drop(m_statusRequest.get());
    for (auto &request : m_capabilityRequests)
        drop(request.get());
    if (m_clientInfoRequest)
        drop(m_clientInfoRequest.get());
    m_statusRequest.reset();
    m_capabilityRequests.clear();
    m_clientInfoRequest.reset();
    if (MainForm == this)
        MainForm = nullptr;
}

void TMainForm::buildWindow()
{
    setWindowTitle(KtModule::modelName());
    Timer1 = makeTimer(this, 3000);
    Timer2 = makeTimer(this, 500);
    Timer3 = makeTimer(this, 100);
    Timer4 = makeTimer(this, 2000);
    connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
    connect(Timer2, &QTimer::timeout, this, &TMainForm::Timer2Timer);
    connect(Timer3, &QTimer::timeout, this, &TMainForm::Timer3Timer);
    connect(Timer4, &QTimer::timeout, this, &TMainForm::Timer4Timer);
    Timer4->start();

    buildFrontPanel();
    buildCapabilityFields();
    buildMenus();
}

void TMainForm::buildFrontPanel()
{
    initMainFormResources();
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setAutoFillBackground(true);
    // The strip beside the picture continues the picture's background.
    QLinearGradient background(0, 0, 0, 320);
    background.setColorAt(0.0, QColor(0xF4, 0xF6, 0xF9));
    background.setColorAt(1.0, QColor(0xD3, 0xDA, 0xE3));
    QPalette palette = client->palette();
    palette.setBrush(QPalette::Window, QBrush(background));
    client->setPalette(palette);
    setCentralWidget(client);

    Image1 = new QLabel(client);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QPixmap(QStringLiteral(":/forms/main/frontpanel.png")));
    Image1->setGeometry(QRect(QPoint(0, 0), Image1->pixmap().size()));

    // Left to right over the six LEDs of the picture, all on one row.
    const struct {
        TMainLamp **lamp;
        const char *name;
        int left;
    } lamps[] = {
        {&Sh_11a, "Sh_11a", 114}, {&Sh_11b, "Sh_11b", 128}, {&Shape1, "Shape1", 142},
        {&Shape2, "Shape2", 156}, {&Shape5, "Shape5", 170}, {&Sh_power, "Sh_power", 185},
    };
    for (const auto &entry : lamps) {
        auto *lamp = new TMainLamp(client);
        lamp->setObjectName(QString::fromLatin1(entry.name));
        lamp->move(entry.left, 276);
        lamp->raise();
        const QRect covered = lamp->geometry();
        if (Image1->geometry().contains(covered))
            lamp->setBackdrop(Image1->pixmap().copy(covered.translated(-Image1->pos())));
        *entry.lamp = lamp;
    }

    MainStatusBar = new QStatusBar(this);
    MainStatusBar->setObjectName(QStringLiteral("MainStatusBar"));
    MainStatusBar->setSizeGripEnabled(false);
    // The bar's one panel; as the last panel it reaches to the window's right edge.
    MainStatusPanel = new QLabel(MainStatusBar);
    MainStatusPanel->setObjectName(QStringLiteral("MainStatusPanel"));
    MainStatusPanel->setMinimumWidth(50);
    MainStatusBar->addWidget(MainStatusPanel, 1);
    setStatusBar(MainStatusBar);
}

void TMainForm::buildCapabilityFields()
{
    // Invisible edits: other windows read their text. Until the device first answers each
    // holds its design-time text.
    const struct {
        QLineEdit **field;
        const char *name;
        const char *text;
    } fields[] = {
        {&Ed_FwVer, "Ed_FwVer", "Ed_FwVer"},
        {&Ed_Countrycode, "Ed_Countrycode", "Ed_Countrycode"},
        {&ED_Turbomode, "ED_Turbomode", "ED_Turbomode"},
        {&ED_Turbomode_g, "ED_Turbomode_g", "ED_Turbomode"},
        {&APModeSupport, "APModeSupport", ""},
        {&APModeSupport11g, "APModeSupport11g", ""},
        {&ifMultiSSID_Edit, "ifMultiSSID_Edit", "ifMultiSSID_Edit"},
        {&IPAddressEdit, "IPAddressEdit", "IPAddressEdit"},
        {&SubMaskEdit, "SubMaskEdit", "SubMaskEdit"},
        {&Ifclientinfosupported, "Ifclientinfosupported", "Ifclientinfosupported"},
    };
    for (const auto &entry : fields) {
        auto *field = new QLineEdit(centralWidget());
        field->setObjectName(QString::fromLatin1(entry.name));
        field->setText(QString::fromLatin1(entry.text));
        field->hide();
        *entry.field = field;
    }
}

void TMainForm::buildMenus()
{
    QMenuBar *bar = menuBar();
    const auto menu = [bar](const char *name, const char *caption) {
        QMenu *result = bar->addMenu(QString::fromLatin1(caption));
        result->setObjectName(QString::fromLatin1(name));
        return result;
    };
    // Items stay disabled until the window they open is connected (connectPageWindows).
    const auto item = [](QMenu *owner, const char *name, const char *caption) {
        QAction *result = owner->addAction(QString::fromLatin1(caption));
        result->setObjectName(QString::fromLatin1(name));
        result->setEnabled(false);
        return result;
    };

    Home1 = menu("Home1", "Home");
    Information1 = item(Home1, "Information1", "Information");
    Wireless1 = item(Home1, "Wireless1", "Wireless");
    LAN1 = item(Home1, "LAN1", "LAN");

    Advanced1 = menu("Advanced1", "Advanced");
    Performance1 = item(Advanced1, "Performance1", "Performance");
    Filters1 = item(Advanced1, "Filters1", "Filters");
    Grouping1 = item(Advanced1, "Grouping1", "Grouping");
    DHCPServer1 = item(Advanced1, "DHCPServer1", "DHCP Server");
    MultiSSID1 = item(Advanced1, "MultiSSID1", "Multi-SSID");
    RogueAP1 = item(Advanced1, "RogueAP1", "Rogue AP ");

    Tools1 = menu("Tools1", "Tools");
    Admin1 = item(Tools1, "Admin1", "Admin");
    System1 = item(Tools1, "System1", "System");
    Firmware1 = item(Tools1, "Firmware1", "Firmware");
    ConfigurationFile1 = item(Tools1, "ConfigurationFile1", "Configuration File");
    Miscellaneous1 = item(Tools1, "Miscellaneous1", "Miscellaneous");
    SNTP1 = item(Tools1, "SNTP1", "SNTP");

    Status1 = menu("Status1", "Status");
    DeviceInfo1 = item(Status1, "DeviceInfo1", "Device Info");
    Stats1 = item(Status1, "Stats1", "Stats");
    ClientInfo1 = item(Status1, "ClientInfo1", "Client Info");
    Log1 = item(Status1, "Log1", "Log");
    connect(Status1, &QMenu::aboutToShow, this, &TMainForm::Status1Click);

    Help1 = menu("Help1", "Help");
    About1 = item(Help1, "About1", "About");
}

void TMainForm::connectModal(QAction *item, std::function<QDialog *()> create,
                             std::function<void()> done)
{
    m_connectedItems.append(item);
    item->setEnabled(mayOpen(item));
    connect(item, &QAction::triggered, this, [this, item, create, done] {
        if (!mayOpen(item))
            return;
        QDialog *window = nullptr;
        try {
            window = create();
            if (window)
                window->exec();
        } catch (const KtException &e) {
            showError(e.text());
        } catch (const KtConvertError &e) {
            showError(e.text());
        } catch (const std::exception &e) {
            showError(QString::fromLocal8Bit(e.what()));
        }
        delete window;
        // Every item clears its instance variable, so no window outlives its variable.
        if (done)
            done();
    });
}

void TMainForm::showError(const QString &text)
{
    KtDialogs::message(this, text, KtModule::modelName());
}

QString TMainForm::statusText() const
{
    return MainStatusPanel ? MainStatusPanel->text() : QString();
}

void TMainForm::rememberStatus()
{
    m_rememberedStatus = statusText();
    m_rememberedOutcome = m_statusOutcome;
}

bool TMainForm::deviceSilent() const
{
    return m_rememberedStatus.isEmpty() || m_rememberedStatus == TimedOutText
           || !m_rememberedOutcome || *m_rememberedOutcome == TimedOutCode;
}

bool TMainForm::clientInfoReadPending() const
{
    return m_clientInfoRequest && m_clientInfoRequest->busy;
}

bool TMainForm::statusReadPending() const
{
    return m_statusRequest && m_statusRequest->busy;
}

// ---- Start-up ----

void TMainForm::FormCreate()
{
    try {
        runStartUp();
    } catch (const KtConvertError &e) {
        startUpFailedWith(e.text());
    } catch (const KtException &e) {
        startUpFailedWith(e.text());
    } catch (const std::exception &e) {
        startUpFailedWith(QString::fromLocal8Bit(e.what()));
    }
}

void TMainForm::startUpFailedWith(const QString &text)
{
    // The session records may be half set and no session was started: a menu would send to a
    // device nobody named (Tools \ System could restart it). Only About stays.
    m_startUpFailed = true;
    for (QAction *item : std::as_const(m_connectedItems))
        item->setEnabled(mayOpen(item));
    KtDialogs::message(messageOwner(), text, KtModule::modelName());
}

QWidget *TMainForm::messageOwner()
{
    return isVisible() ? this : nullptr;
}

void TMainForm::runStartUp()
{
    applyWindowShape();

    // The boot counter goes to the module's own data folder: the folder the platform starts
    // the module in need not be writable.
    KtSNMPSession::OpenSession(KtModule::dataFolder());
    g_snmpSecurity.version = 0;

    const KtRegistry registry(KtModule::settingsFile());
    KtCatalogues::LoadFromHostFolder(KtRegistry::CatalogueFolder(registry.ReadHelpPath()));
    const QString parameterFolder = registry.ParameterFolder();

    if (m_parameters.isEmpty()) {
        Timer4->stop();
        KtDialogs::message(messageOwner(), onlyHostMessage(), KtModule::modelName());
        terminate();
        return;
    }

    // Requests copy the records when they are constructed, so none may exist before this.
    KtLaunchRecords records = KtLaunchRecords::fromSession();
    KtLaunchParameters::Apply(m_parameters, parameterFolder, records);
    records.toSession();
    m_deviceAddress = records.addressText;

    setWindowTitle(windowTitle() + QStringLiteral(" : ") + m_deviceAddress);

    const QString lockFolder = KtModule::runtimeFolder();
    if (lockFolder.isEmpty()) {
        // The guard would have to go where another user could hold or redirect it.
        Timer4->stop();
        KtDialogs::message(messageOwner(), noLockFolderMessage(), QStringLiteral("Warning"));
        terminate();
        close();
        return;
    }
    if (!m_instanceGuard.acquire(windowTitle(), lockFolder)) {
        Timer4->stop();
        KtDialogs::message(messageOwner(), anotherModuleMessage(), QStringLiteral("Warning"));
        terminate();
        close();
        return;
    }

    startSession();
}

void TMainForm::applyWindowShape()
{
    // Client area: the picture plus 10 pixels wide, the picture plus the status bar high (the
    // menu bar comes on top, as a window's menu does). Fixed border, no maximise button.
    const QSize picture = Image1->pixmap().size();
    centralWidget()->setFixedSize(picture.width() + 10, picture.height());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
}

void TMainForm::startSession()
{
    m_statusRequest = std::make_unique<KtSNMPRequest2Edits>(this, StatusItems, SVT_SV);
    m_statusRequest->request.timeout = 600;
    m_statusRequest->request.retries = 0;
    m_statusRequest->SetStatusControl(MainStatusPanel);
    // The completion puts the outcome's own text into the panel after every read ("Ready. "
    // or the failure's text; nothing after a late time-out, see isStaleTimeout). The status
    // line every other request writes first would be replaced before it could be seen, and
    // each change of the panel's text lays the whole window out again, every three seconds.
    m_statusRequest->request.statusCallback = nullptr;
    m_statusRequest->OnGetComplete = [this](KtSNMPRequest2Controls *, const KtSNMPError &status) {
        StatusComplete(status);
    };
    // A device that does not answer keeps the first read for its whole time-out: meanwhile the
    // status line says what the module is doing.
    MainStatusPanel->setText(connectingText(m_deviceAddress));
    Timer1Timer();
    Timer1->start();
    Timer4->start();

    const auto capability = [this](const KtSNMPVarItem *table, int itemType) {
        auto request = std::make_unique<KtSNMPRequest2Edits>(this, table, itemType);
        // A failed capability read keeps the field's text and shows nothing: without a status
        // control the default report would put a message box up every two seconds.
        request->request.statusCallback = nullptr;
        m_capabilityRequests.push_back(std::move(request));
        return m_capabilityRequests.back().get();
    };
    const auto read = [](KtSNMPRequest2Edits *request) {
        try {
            request->Get();
        } catch (const KtException &) {
            request->busy = 0; // the field keeps its text; the next pass tries again
        }
    };

    KtSNMPRequest2Edits *firmware = capability(FirmwareItems, SVT_SV);
    firmware->request.timeout = 2000;
    firmware->BindEdit(0, QStringLiteral("%s"), Ed_FwVer);
    read(firmware);

    KtSNMPRequest2Edits *country = capability(CountryItems, SVT_SV);
    country->BindEdit(0, QStringLiteral("%s"), Ed_Countrycode);
    read(country);

    KtSNMPRequest2Edits *turbo = capability(TurboItems, MVT_SV);
    turbo->BindEdit(0, QStringLiteral("%s"), ED_Turbomode);
    turbo->BindEdit(1, QStringLiteral("%s"), ED_Turbomode_g);
    read(turbo);

    KtSNMPRequest2Edits *apModes = capability(ApModeItems, MVT_SV);
    apModes->BindEdit(0, QStringLiteral("%u"), APModeSupport);
    apModes->BindEdit(1, QStringLiteral("%u"), APModeSupport11g);
    read(apModes);

    KtSNMPRequest2Edits *multiSsid = capability(MultiSsidItems, SVT_SV);
    multiSsid->BindEdit(0, QStringLiteral("%u"), ifMultiSSID_Edit);
    read(multiSsid);

    KtSNMPRequest2Edits *lan = capability(LanItems, SVT_SV);
    lan->BindEdit(1, QStringLiteral("%s"), IPAddressEdit);
    lan->BindEdit(2, QStringLiteral("%s"), SubMaskEdit);
    read(lan);
}

void TMainForm::terminate()
{
    m_terminated = true;
    // Only has an effect once the event loop runs; before that the program entry sees
    // isTerminated() and leaves.
    QCoreApplication::exit(0);
}

// ---- Status poll and lamps ----

void TMainForm::Timer1Timer()
{
    if (m_statusRequest) {
        try {
            m_statusRequest->Get();
        } catch (const KtException &e) {
            m_statusRequest->busy = 0;
            KtSNMPError failure;
            failure.code = e.code();
            failure.text = e.text();
            failure.finished = 1;
            StatusComplete(failure);
        }
    }
    rememberStatus();
}

void TMainForm::StatusComplete(const KtSNMPError &status)
{
    if (status.code != 0) {
        if (isStaleTimeout(status))
            return;
        m_statusOutcome = status.code;
        Timer2->stop();
        Timer3->stop();
        MainStatusPanel->setText(status.text);
        rememberStatus();
        paintAllLampsDark();
        return;
    }

    m_lastAnswer.start();
    m_statusOutcome = 0;
    const int led = ledValue(m_statusRequest->list().Item(0).value);
    MainStatusPanel->setText(ReadyText);
    const auto setLamp = [led](TMainLamp *lamp, int litBit, int blinkBit) {
        lamp->setBrushColor(QColor((led & litBit) ? TMainLamp::Lit : TMainLamp::Dark));
        lamp->blink = (led & blinkBit) != 0;
    };
    setLamp(Sh_power, PowerLit, PowerBlink);
    setLamp(Sh_11b, Radio11gLit, Radio11gBlink);
    setLamp(Sh_11a, Radio11aLit, Radio11aBlink);
    setLamp(Shape1, Lan1Lit, Lan1Blink);
    setLamp(Shape2, Lan2Lit, Lan2Blink);
    Shape5->setBrushColor(QColor(TMainLamp::Lit));
    Shape5->blink = false;
    // Enabling a running timer leaves its rhythm alone.
    if (!Timer2->isActive())
        Timer2->start();
    if (!Timer3->isActive())
        Timer3->start();
}

bool TMainForm::isStaleTimeout(const KtSNMPError &status) const
{
    // While the device is silent every poll goes out and each times out 6 s later. Once it
    // answers again, the time-outs of the reads sent before that answer still arrive: they are
    // old news and would paint the lamps black under an answering device. A read sent after
    // the answer cannot time out sooner than one time-out after it.
    const qint64 timeoutMs =
        qint64(m_statusRequest->request.timeout) * 10 * (m_statusRequest->request.retries + 1);
    return status.code == TimedOutCode && m_lastAnswer.isValid()
           && m_lastAnswer.elapsed() < timeoutMs;
}

void TMainForm::paintAllLampsDark()
{
    for (TMainLamp *lamp : {Sh_11a, Sh_11b, Shape1, Shape2, Shape5, Sh_power})
        lamp->setBrushColor(QColor(TMainLamp::Dark));
}

void TMainForm::Timer2Timer()
{
    blinkLamps({Sh_power, Sh_11a, Sh_11b});
    rememberStatus();
}

void TMainForm::Timer3Timer()
{
    blinkLamps({Shape1, Shape2});
    rememberStatus();
}

void TMainForm::blinkLamps(std::initializer_list<TMainLamp *> lamps)
{
    // The lamps that turned are painted here and now, in one pass: the last one is repainted,
    // which paints whatever else is waiting for its turn of the event loop with it. Blinking
    // lamps want up to fourteen passes a second.
    TMainLamp *last = nullptr;
    for (TMainLamp *lamp : lamps) {
        if (!lamp->toggle())
            continue;
        if (last)
            last->update();
        last = lamp;
    }
    if (last)
        last->repaint();
}

void TMainForm::Timer4Timer()
{
    // Firmware, country, turbo modes, AP modes, multi-SSID, LAN. Before the session start (or
    // after a start-up that stopped on an error) there are none.
    for (auto &request : m_capabilityRequests) {
        try {
            request->Get();
        } catch (const KtException &) {
            request->busy = 0;
        }
    }
}

// ---- Status menu ----

void TMainForm::Status1Click()
{
    // The device is known not to answer: no read, the item goes.
    if (deviceSilent()) {
        ClientInfo1->setVisible(false);
        return;
    }
    if (!m_clientInfoRequest) {
        m_clientInfoRequest =
            std::make_unique<KtSNMPRequest2Edits>(this, ClientInfoItems, SVT_SV);
        // Whether the device knows the capability decides the item; a failure is no news for
        // the user, so no message box.
        m_clientInfoRequest->request.statusCallback = nullptr;
        m_clientInfoRequest->BindEdit(0, QStringLiteral("%u"), Ifclientinfosupported);
        m_clientInfoRequest->OnGetComplete =
            [this](KtSNMPRequest2Controls *, const KtSNMPError &status) {
                ClientInfoComplete(status);
            };
    }
    // The answer to the read already on its way decides for this opening too.
    if (m_clientInfoRequest->busy)
        return;
    try {
        m_clientInfoRequest->Get();
    } catch (const KtException &e) {
        // The error ends the decision: shown, the item stays as it was.
        m_clientInfoRequest->busy = 0;
        showError(e.text());
    }
}

void TMainForm::ClientInfoComplete(const KtSNMPError &status)
{
    if (status.code == 0) {
        ClientInfo1->setVisible(Ifclientinfosupported->text() == QStringLiteral("1"));
        return;
    }
    if (status.code == TimedOutCode || deviceSilent()) {
        ClientInfo1->setVisible(false);
        return;
    }
    // Firmware before the capability existed: v1.x has client information, later ones
    // without the variable do not. The second character is the major version digit.
    const QString firmware = Ed_FwVer->text();
    const QString digit = firmware.size() >= 2 ? firmware.mid(1, 1) : QString();
    int major = 0;
    try {
        major = KtLaunchParameters::StrToInt(digit);
    } catch (const KtConvertError &e) {
        // The conversion error is shown as the application shows any error and ends the
        // decision: the item stays as it was.
        showError(e.text());
        return;
    }
    ClientInfo1->setVisible(major == 1);
}

// ---- Checks ----

bool TMainForm::IsValidIPAddress(const QString &text)
{
    int p[4];
    if (!dottedParts(text, p))
        return false;
    if (p[0] < 1 || p[0] > 223 || p[0] == 127)
        return false;
    if (p[1] < 0 || p[1] > 255 || p[2] < 0 || p[2] > 255)
        return false;
    return p[3] >= 1 && p[3] <= 254;
}

bool TMainForm::IsValidMask(const QString &text)
{
    int p[4];
    if (!dottedParts(text, p))
        return false;
    if (p[0] < 1 || p[0] > 255)
        return false;
    for (int i = 0; i < 4; ++i) {
        if (p[i] < 0 || p[i] > 255 || p[i] == 1)
            return false;
    }
    const quint32 mask = (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8)
                         | quint32(p[3]);
    // One run of ones from the top, then only zeros: the inverse plus one is a power of two.
    const quint32 inverse = ~mask;
    if ((inverse & (inverse + 1)) != 0)
        return false;
    // At least two ones (the second-highest bit set), and fewer than 32.
    return (mask & 0x40000000u) != 0 && mask != 0xFFFFFFFFu;
}
