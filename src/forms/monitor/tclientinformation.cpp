#include "tclientinformation.h"

#include "devicefacts.h"
#include "ktdialogs.h"
#include "ktexception.h"
#include "ktoptionlist.h"
#include "ktsnmprequest2edits.h"
#include "ktsnmpvaritem.h"
#include "new_req2edit.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <vector>

TClientInformation *ClientInformation = nullptr;

namespace {

// ---- Items ----
const char *const kVendor = "1.3.6.1.4.1.32473.11.37.";

const KtOption ApModeOptions[] = {{1, nullptr, "Access Point"}, {2, nullptr, "PtP Bridge"},
                                  {3, nullptr, "PtMP Bridge"},  {4, nullptr, "AP Repeater"},
                                  {5, nullptr, "AP Client"},    {6, nullptr, "PtP Without"},
                                  {7, nullptr, "P2MP Without"}, {}};
enum ApModePosition { AccessPoint = 0, PtPBridge = 1, PtMPBridge = 2 };

const KtOption GetClientOptions[] = {{0, nullptr, "Nothing"}, {1, nullptr, "acquire"}, {}};
const KtOption WdsGetOptions[] = {{0, nullptr, "nothing"}, {1, nullptr, "get"}, {}};
constexpr int kAskPosition = 1; // "acquire", "get"

const KtOption WdsBandOptions[] = {{0, nullptr, "A"}, {1, nullptr, "B"}, {2, nullptr, "G"}, {}};
const KtOption WdsAuthenticationOptions[] = {{0, nullptr, "Open System"},
                                             {1, nullptr, "Shared Key"},
                                             {2, nullptr, "WPA-Enterprise"},
                                             {3, nullptr, "WPA-Personal"},
                                             {4, nullptr, "Open System / Shared Key"},
                                             {5, nullptr, "WPA2-Enterprise"},
                                             {6, nullptr, "WPA2-Personal"},
                                             {7, nullptr, "WPA-Auto-Enterprise"},
                                             {8, nullptr, "WPA-Auto-Personal"},
                                             {}};
const KtOption WdsChannelOptions[] = {{0, nullptr, "Disable"}, {1, nullptr, "Enable"}, {}};

// The option list of a table above, made on first use.
template <const KtOption *Table>
const KtOptionList *options()
{
    static const KtOptionList list(Table, KtOptionList::Numeric);
    return &list;
}

QString vendorOid(const char *tail) { return QLatin1String(kVendor) + QLatin1String(tail); }

KtSNMPVarItem item(const QString &oid, const char *name, int syntax, int access,
                   const KtOptionList *options = nullptr)
{
    return makeVarItem(oid, QString::fromLatin1(name), syntax, access, options);
}

// A command or mode of both bands: the band is the last sub-identifier.
std::vector<KtSNMPVarItem> perBand(const char *tail, const char *name, int access,
                                   const KtOptionList *options)
{
    return {item(vendorOid(tail) + QStringLiteral(".1"), name, SYN_INTEGER, access, options),
            item(vendorOid(tail) + QStringLiteral(".2"), name, SYN_INTEGER, access, options),
            {}};
}

// The client table as the device gives it; its columns keep the captions of the shown list.
std::vector<KtSNMPVarItem> clientTable()
{
    const QString column = vendorOid("4.4.5.2.1.");
    return {item(column + QStringLiteral("1"), "Index", SYN_INTEGER, ACC_READONLY),
            item(column + QStringLiteral("2"), "Client MAC Address", SYN_MACADDRESS,
                 ACC_READONLY),
            item(column + QStringLiteral("3"), "Band", SYN_INTEGER, ACC_READONLY),
            item(column + QStringLiteral("4"), "Authentication", SYN_INTEGER, ACC_READONLY),
            item(column + QStringLiteral("5"), "Signal", SYN_INTEGER, ACC_READONLY),
            item(column + QStringLiteral("6"), "Power Saving Mode", SYN_INTEGER, ACC_READONLY),
            item(column + QStringLiteral("7"), "SSID", SYN_DISPLAYSTR, ACC_READONLY),
            {}};
}
enum ClientColumn { IndexColumn = 0, MacColumn, BandColumn, AuthColumn, SignalColumn,
                    PowerColumn, SsidColumn, ClientColumns };

std::vector<KtSNMPVarItem> wdsTable()
{
    const QString column = vendorOid("4.4.6.2.1.");
    return {item(column + QStringLiteral("1"), "Index", SYN_INTEGER, ACC_READONLY),
            item(column + QStringLiteral("2"), "MAC", SYN_MACADDRESS, ACC_READONLY),
            item(column + QStringLiteral("3"), "Band", SYN_INTEGER, ACC_READONLY,
                 options<WdsBandOptions>()),
            item(column + QStringLiteral("4"), "Authentication", SYN_INTEGER, ACC_READONLY,
                 options<WdsAuthenticationOptions>()),
            item(column + QStringLiteral("5"), "Signal", SYN_INTEGER, ACC_READONLY),
            item(column + QStringLiteral("6"), "Channel", SYN_INTEGER, ACC_READONLY,
                 options<WdsChannelOptions>()),
            item(column + QStringLiteral("7"), "SSID", SYN_DISPLAYSTR, ACC_READONLY),
            {}};
}

// Both shown lists carry the client list's captions.
const QStringList &listCaptions()
{
    static const QStringList captions = {
        QStringLiteral("Index"),  QStringLiteral("Client MAC Address"),
        QStringLiteral("Band"),   QStringLiteral("Authentication"),
        QStringLiteral("Signal"), QStringLiteral("Power Saving Mode"),
        QStringLiteral("SSID")};
    return captions;
}

// The text for a value by its position in texts; anything else is a single blank.
QString pick(const QString &value, std::initializer_list<const char *> texts)
{
    bool number = false;
    const int position = value.toInt(&number);
    if (!number || position < 0 || position >= static_cast<int>(texts.size()))
        return QStringLiteral(" ");
    return QString::fromLatin1(*(texts.begin() + position));
}

QComboBox *hiddenBox(QWidget *parent, const char *name)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->hide();
    return box;
}

constexpr int kTickMs = 1000;

} // namespace

TClientInformation::TClientInformation(QWidget *owner) : TPageWindow(owner)
{
    setObjectName(QStringLiteral("ClientInformation"));
    setWindowTitle(QStringLiteral("Status \\ Client Info"));
    buildWindow();
    setStatusBar(StatusBar);
    FormCreate();
}

TClientInformation::~TClientInformation() = default;

// ---- Cell texts ----

QString TClientInformation::bandText(const QString &value)
{
    return pick(value, {"A", "B", "G", "G"});
}

QString TClientInformation::authenticationText(const QString &value)
{
    return pick(value, {"Open System", "Shared Key", "WPA-Enterprise", "WPA-Personal", "Auto",
                        "WPA2-Enterprise", "WPA2-Personal", "WPA-Auto-Enterprise",
                        "WPA-Auto-Personal"});
}

QString TClientInformation::signalText(const QString &value)
{
    return value + QStringLiteral("  %");
}

QString TClientInformation::powerSavingText(const QString &value)
{
    return pick(value, {"Off", "On"});
}

// ---- Building ----

QWidget *TClientInformation::buildListPage(QTreeWidget *&list, const char *listName,
                                           QLabel *&count, const char *countName,
                                           QPushButton *&refresh, const char *refreshName,
                                           QPushButton *&close, const char *closeName)
{
    auto *page = new QWidget;
    list = new QTreeWidget(page);
    list->setObjectName(QString::fromLatin1(listName));
    list->setColumnCount(ClientColumns);
    list->setHeaderLabels(listCaptions());
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int column = 0; column < ClientColumns; ++column)
        list->resizeColumnToContents(column);
    // A MAC address, an authentication and an SSID side by side, and a dozen rows.
    list->setMinimumSize(list->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 56,
                         list->fontMetrics().height() * 14);

    count = new QLabel(page);
    count->setObjectName(QString::fromLatin1(countName));
    count->setMinimumWidth(count->fontMetrics().horizontalAdvance(QStringLiteral("0000")));
    count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    refresh = new QPushButton(QStringLiteral("Refresh"), page);
    refresh->setObjectName(QString::fromLatin1(refreshName));
    refresh->setAutoDefault(false);
    close = new QPushButton(QStringLiteral("Close"), page);
    close->setObjectName(QString::fromLatin1(closeName));
    close->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(count);
    buttons->addWidget(new QLabel(QStringLiteral("Station(s)"), page));
    buttons->addStretch();
    buttons->addWidget(refresh);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(list);
    layout->addLayout(buttons);
    return page;
}

void TClientInformation::buildWindow()
{
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheet1 = buildListPage(LV_Client, "LV_Client", La_ClientCount, "La_ClientCount",
                              Bt_Refresh, "Bt_Refresh", Bt_Close, "Bt_Close");
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet2 = buildListPage(LV_WDS, "LV_WDS", La_WDSCount, "La_WDSCount", Bt_WDSRefresh,
                              "Bt_WDSRefresh", Bt_WDSClose, "Bt_WDSClose");
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(TabSheet1, QStringLiteral("Client Info"));
    PageControl1->addTab(TabSheet2, QStringLiteral("WDS Info"));

    LV_ClientRaw = new QTreeWidget(this);
    LV_ClientRaw->setObjectName(QStringLiteral("LV_ClientRaw"));
    LV_ClientRaw->hide();
    CB_APModea = hiddenBox(this, "CB_APModea");
    CB_APModeg = hiddenBox(this, "CB_APModeg");
    CB_GetClienta = hiddenBox(this, "CB_GetClienta");
    CB_GetClientg = hiddenBox(this, "CB_GetClientg");
    CB_WDSGeta = hiddenBox(this, "CB_WDSGeta");
    CB_WDSGetg = hiddenBox(this, "CB_WDSGetg");

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addWidget(StatusBar);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTickMs);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(kTickMs);
    m_closeRetry = new QTimer(this);
    m_closeRetry->setSingleShot(true);
    m_closeRetry->setInterval(kTickMs);

    connect(Bt_Refresh, &QPushButton::clicked, this, &TClientInformation::Bt_RefreshClick);
    connect(Bt_WDSRefresh, &QPushButton::clicked, this,
            &TClientInformation::Bt_WDSRefreshClick);
    connect(Bt_Close, &QPushButton::clicked, this, &QWidget::close);
    connect(Bt_WDSClose, &QPushButton::clicked, this, &QWidget::close);
    connect(Timer1, &QTimer::timeout, this, &TClientInformation::Timer1Timer);
    connect(Timer2, &QTimer::timeout, this, &TClientInformation::Timer2Timer);
    connect(m_closeRetry, &QTimer::timeout, this, [this] {
        if (isVisible())
            close();
    });
}

// ---- Opening ----

void TClientInformation::FormCreate()
{
    try {
        readApModes();
        PageControl1->setTabVisible(PageControl1->indexOf(TabSheet2), wdsShown());

        createClientRequests();
        m_clientReadPending = true;
        askThenRead(m_acquire, CB_GetClienta, CB_GetClientg, m_clientTable);
        LV_Client->clear();

        if (wdsShown()) {
            createWdsRequests();
            m_wdsReadPending = true;
            askThenRead(m_wdsGet, CB_WDSGeta, CB_WDSGetg, m_wdsTable);
        }
    } catch (const KtException &e) {
        showStatusText(e.text());
    }
    m_countdown = 2;
}

void TClientInformation::readApModes()
{
    const std::vector<KtSNMPVarItem> items =
        perBand("4.2.1.1.1", "adAPMode", ACC_READONLY, options<ApModeOptions>());
    m_apMode = adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, items.data(), MVT_SV));
    m_apMode->mode = KtSNMPRequest2Controls::Synchronous;
    m_apMode->BindComboBox(0, CB_APModea);
    m_apMode->BindComboBox(1, CB_APModeg);
    // A mode the device never told is no bridge mode.
    CB_APModea->setCurrentIndex(-1);
    CB_APModeg->setCurrentIndex(-1);
    m_apMode->SetStatusControl(StatusBar);
    m_apMode->Get();
}

bool TClientInformation::wdsShown() const
{
    const auto bridges = [](const QComboBox *box) {
        return box->currentIndex() == PtPBridge || box->currentIndex() == PtMPBridge;
    };
    return bridges(CB_APModea) || bridges(CB_APModeg);
}

void TClientInformation::createClientRequests()
{
    const std::vector<KtSNMPVarItem> command =
        perBand("4.4.5.1.1.1", "adGetClient", ACC_READWRITE, options<GetClientOptions>());
    m_acquire =
        adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, command.data(), MVT_SV));
    m_acquire->BindComboBox(0, CB_GetClienta);
    m_acquire->BindComboBox(1, CB_GetClientg);
    m_acquire->SetStatusControl(StatusBar);

    const std::vector<KtSNMPVarItem> table = clientTable();
    m_clientTable =
        adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, table.data(), MVT_UMV, 1));
    m_clientTable->BindListView(LV_ClientRaw, false);
    m_clientTable->afterGetHook = [this](KtSNMPRequest2Edits *) { buildClientList(); };
    m_clientTable->SetStatusControl(StatusBar);
}

void TClientInformation::createWdsRequests()
{
    const std::vector<KtSNMPVarItem> command =
        perBand("4.4.6.1.1.1", "wdsGet", ACC_READWRITE, options<WdsGetOptions>());
    m_wdsGet = adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, command.data(), MVT_SV));
    m_wdsGet->BindComboBox(0, CB_WDSGeta);
    m_wdsGet->BindComboBox(1, CB_WDSGetg);
    m_wdsGet->SetStatusControl(StatusBar);

    const std::vector<KtSNMPVarItem> table = wdsTable();
    m_wdsTable = adoptRequest(std::make_unique<New_req2Edit>(this, table.data(), MVT_UMV, 1));
    // A slot whose MAC reads "0" is left out; the shown rows are numbered from 1.
    m_wdsTable->keyItem = 1;
    m_wdsTable->skipText = QStringLiteral("0");
    m_wdsTable->BindListView(LV_WDS, false);
    m_wdsTable->OnGetComplete = [this](KtSNMPRequest2Controls *, const KtSNMPError &) {
        wdsReadEnded();
    };
    m_wdsTable->SetStatusControl(StatusBar);
}

void TClientInformation::askThenRead(KtSNMPRequest2Edits *command, QComboBox *a, QComboBox *g,
                                     KtSNMPRequest2Edits *table)
{
    a->setCurrentIndex(kAskPosition);
    g->setCurrentIndex(kAskPosition);
    // The device builds the list when the command has been taken: the walk starts only then.
    // A command that failed does not stop it: the list the device holds is still worth showing.
    command->OnSetComplete = [this, table](KtSNMPRequest2Controls *, const KtSNMPError &) {
        if (table == m_wdsTable)
            m_wdsTable->rowNumber = 1;
        try {
            table->Get();
        } catch (const KtException &e) {
            showStatusText(e.text());
        }
    };
    command->Set(true, true);
}

void TClientInformation::showEvent(QShowEvent *event)
{
    TPageWindow::showEvent(event);
    if (m_timersStarted)
        return;
    m_timersStarted = true;
    Timer1->start();
    Timer2->start();
}

// ---- Refreshing ----

bool TClientInformation::clientRefreshUnderWay() const
{
    return (m_acquire && m_acquire->IsBusy()) || (m_clientTable && m_clientTable->IsBusy());
}

void TClientInformation::startClientRefresh()
{
    // On a slow link a walk of a long list takes longer than a second: the next tick waits
    // until it has ended rather than start a second walk beside it.
    if (!m_acquire || !m_clientTable || clientRefreshUnderWay())
        return;
    m_clientReadPending = true;
    try {
        askThenRead(m_acquire, CB_GetClienta, CB_GetClientg, m_clientTable);
    } catch (const KtException &e) {
        showStatusText(e.text());
    }
}

void TClientInformation::startWdsRefresh()
{
    if (!m_wdsGet || !m_wdsTable || m_wdsGet->IsBusy() || m_wdsTable->IsBusy())
        return;
    m_wdsReadPending = true;
    try {
        askThenRead(m_wdsGet, CB_WDSGeta, CB_WDSGetg, m_wdsTable);
    } catch (const KtException &e) {
        showStatusText(e.text());
    }
}

void TClientInformation::Bt_RefreshClick() { startClientRefresh(); }

void TClientInformation::Bt_WDSRefreshClick() { startWdsRefresh(); }

void TClientInformation::Timer1Timer() { startClientRefresh(); }

void TClientInformation::buildClientList()
{
    // The list is replaced only now that the new one has arrived, keeping the row the user
    // selected and the part of the list in view.
    QString selectedMac;
    if (const QList<QTreeWidgetItem *> selected = LV_Client->selectedItems(); !selected.isEmpty())
        selectedMac = selected.first()->text(MacColumn);
    const int scrolled = LV_Client->verticalScrollBar()->value();
    const bool first = LV_Client->topLevelItemCount() == 0 && La_ClientCount->text().isEmpty();

    QList<QTreeWidgetItem *> rows;
    QTreeWidgetItem *reselect = nullptr;
    int number = 0;
    for (int i = 0; i < LV_ClientRaw->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *raw = LV_ClientRaw->topLevelItem(i);
        const QString mac = raw->text(MacColumn);
        if (mac == freeSlotMac())
            continue;
        ++number;
        auto *row = new QTreeWidgetItem(
            QStringList{QString::number(number), mac, bandText(raw->text(BandColumn)),
                        authenticationText(raw->text(AuthColumn)),
                        signalText(raw->text(SignalColumn)),
                        powerSavingText(raw->text(PowerColumn)), raw->text(SsidColumn)});
        if (!selectedMac.isEmpty() && mac == selectedMac && !reselect)
            reselect = row;
        rows.append(row);
    }
    LV_Client->setUpdatesEnabled(false);
    LV_Client->clear();
    LV_Client->addTopLevelItems(rows);
    if (reselect)
        reselect->setSelected(true);
    LV_Client->verticalScrollBar()->setValue(scrolled);
    if (first) {
        for (int column = 0; column < ClientColumns; ++column)
            LV_Client->resizeColumnToContents(column);
    }
    LV_Client->setUpdatesEnabled(true);

    La_ClientCount->setText(QString::number(number));
    m_clientReadPending = false;
}

void TClientInformation::wdsReadEnded()
{
    La_WDSCount->setText(QString::number(LV_WDS->topLevelItemCount()));
    m_wdsReadPending = false;
}

// ---- The unsupported firmware ----

bool TClientInformation::clientListArriving() const
{
    // The raw list holds the rows of the walk under way (the walk began by emptying it).
    return m_clientTable && m_clientTable->IsBusy() && LV_ClientRaw->topLevelItemCount() > 0;
}

void TClientInformation::Timer2Timer()
{
    const bool ranOut = m_countdown <= 0;
    --m_countdown;
    if (!ranOut)
        return;
    // A list has come: the firmware has the function, there is nothing more to watch.
    if (!La_ClientCount->text().isEmpty()) {
        Timer2->stop();
        return;
    }
    // A long list still arriving on a slow link is not a missing function.
    if (clientListArriving())
        return;
    Timer2->stop();
    KtDialogs::message(this, unsupportedMessage(), warningCaption());
    m_closingForced = true;
    close();
}

// ---- Closing ----

bool TClientInformation::FormCloseQuery()
{
    if (m_clientReadPending && m_wdsReadPending && !m_closingForced
        && DeviceFacts::deviceAnswers()) {
        Timer1->stop();
        Timer2->stop();
        m_closeRetry->start();
        return false;
    }
    return true;
}
