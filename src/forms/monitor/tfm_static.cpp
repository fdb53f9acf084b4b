#include "tfm_static.h"

#include "ktexception.h"
#include "ktsnmprequest2edits.h"
#include "ktsnmpvaritem.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <vector>

TFM_Static *FM_Static = nullptr;

namespace {

// ---- Items: the counters of one band, in column order ----
// Under 1.3.6.1.4.1.32473.11.37.4.4.3.1.1.<column>.<band>.
const char *const kCounterPrefix = "1.3.6.1.4.1.32473.11.37.4.4.3.1.1.";

struct Counter {
    const char *name;  // the device's name of the counter
    const char *field; // the edit's name without its band letter
    const char *label;
    bool percent;      // a rate, shown with "%"
};

const Counter CounterTable[TFM_Static::CounterCount] = {
    {"TrSuccessRate", "Ed_TranSuRat", "Transmit Success Rate", true},
    {"TrRetryRate", "Ed_TranReRat", "Transmit Retry Rate", true},
    {"RxSuccessRate", "Ed_RcvSuRat", "Receive Success Rate", true},
    {"RxDuplicateRate", "Ed_RcvDuRat", "Receive Duplicate Rate", true},
    {"RTSSuccessCount", "Ed_RTSSuCnt", "RTS Success Count", false},
    {"RTSFailureCount", "Ed_RTSFaCnt", "RTS Failure Count", false},
    {"TrFrameCount", "Ed_TranFrCnt", "Transmitted Frame Count", false},
    {"MuticastTrFrameCount", "Ed_McastTranFrCnt", "Multicast Transmitted Frame Count", false},
    {"TrErrorCount", "Ed_TranErrCnt", "Transmitted Error Count ", false},
    {"TrTotalRetryCount", "Ed_TranTtlRtyCnt", "Transmitted Total Retry Count ", false},
    {"TrMutiRetryCount", "Ed_TranMulRtyCnt", "Transmitted Multiple Retry Count ", false},
    {"RxFrameCount", "Ed_RcvFrmCnt", "Received Frame Count", false},
    {"MuticastRxFrameCount", "Ed_MRcvFrmCnt", "Multicast Received Frame Count", false},
    {"RxFrameFCSErrorCount", "Ed_RcvFrmErrCnt", "Received Frame FCS Error Count", false},
    {"RxFrameDulicateCount", "Ed_RcvFrmDupCnt", "Received Frame Duplicate Count", false},
    {"AckRxFailureCount", "Ed_AckRcvfCnt", "Ack Rcv failure Count", false},
    {"WEPExcludedFrameCount", "Ed_WEPEFrmCnt", "WEP Excluded Frame Count", false},
    {"WEPICVErrorCount", "Ed_WEPIErrCnt", "WEP ICV Error Count", false},
};

// The groups of a page: caption, first counter, number of counters.
struct Group {
    const char *caption;
    int first;
    int count;
};
const Group Groups[] = {{"ThroughPut ", 0, 6},
                        {"Transmitted Frame Count ", 6, 5},
                        {"Received Frame Count", 11, 5},
                        {"Wep Frame Error Count", 16, 2}};

std::vector<KtSNMPVarItem> bandItems(int band)
{
    std::vector<KtSNMPVarItem> items;
    for (int column = 1; column <= TFM_Static::CounterCount; ++column) {
        const Counter &counter = CounterTable[column - 1];
        items.push_back(makeVarItem(QLatin1String(kCounterPrefix) + QString::number(column)
                                        + QLatin1Char('.') + QString::number(band),
                                    QString::fromLatin1(counter.name), SYN_INTEGER,
                                    ACC_READONLY));
    }
    items.push_back({});
    return items;
}

} // namespace

TFM_Static::TFM_Static(QWidget *owner) : TPageWindow(owner)
{
    setObjectName(QStringLiteral("FM_Static"));
    setWindowTitle(QStringLiteral("Status \\ Stats"));
    buildWindow();
    setStatusBar(StatusBar);
    FormCreate();
}

TFM_Static::~TFM_Static() = default;

QWidget *TFM_Static::buildBandPage(Band band, Counters &counters, QPushButton *&refresh)
{
    const QLatin1Char letter(band == BandA ? 'a' : 'g');
    auto *page = new QWidget;
    auto *grid = new QGridLayout;
    int position = 0;
    for (const Group &group : Groups) {
        auto *box = new QGroupBox(QString::fromLatin1(group.caption), page);
        auto *form = new QFormLayout(box);
        for (int i = group.first; i < group.first + group.count; ++i) {
            const Counter &counter = CounterTable[i];
            auto *edit = new QLineEdit(box);
            edit->setObjectName(QLatin1String(counter.field) + letter);
            edit->setReadOnly(true);
            edit->setAlignment(Qt::AlignRight);
            // The largest counter, 4294967295, fits whole.
            edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0"))
                                      * 11
                                  + 8);
            counters[static_cast<size_t>(i)] = edit;
            QWidget *field = edit;
            if (counter.percent) {
                field = new QWidget(box);
                auto *row = new QHBoxLayout(field);
                row->setContentsMargins(0, 0, 0, 0);
                row->addWidget(edit);
                row->addWidget(new QLabel(QStringLiteral("%"), field));
            }
            form->addRow(QString::fromLatin1(counter.label), field);
        }
        grid->addWidget(box, position / 2, position % 2);
        ++position;
    }
    refresh = new QPushButton(QStringLiteral("Refresh"), page);
    refresh->setObjectName(band == BandA ? QStringLiteral("Bt_RfrshA")
                                         : QStringLiteral("Bt_RfrshG"));
    refresh->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(refresh);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    return page;
}

void TFM_Static::buildWindow()
{
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheetA = buildBandPage(BandA, CountersA, Bt_RfrshA);
    TabSheetA->setObjectName(QStringLiteral("TabSheetA"));
    TabSheetG = buildBandPage(BandG, CountersG, Bt_RfrshG);
    TabSheetG->setObjectName(QStringLiteral("TabSheetG"));
    PageControl1->addTab(TabSheetA, QStringLiteral("IEEE802.11a"));
    PageControl1->addTab(TabSheetG, QStringLiteral("IEEE802.11g"));

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addWidget(StatusBar);

    connect(Bt_RfrshA, &QPushButton::clicked, this, &TFM_Static::Bt_RfrshAClick);
    connect(Bt_RfrshG, &QPushButton::clicked, this, &TFM_Static::Bt_RfrshGClick);
}

KtSNMPRequest2Edits *TFM_Static::createBandRequest(Band band, const Counters &counters)
{
    const std::vector<KtSNMPVarItem> items = bandItems(band);
    auto *request =
        adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, items.data(), MVT_SV));
    // Read in the background: the counters arrive while the window stays responsive.
    request->mode = KtSNMPRequest2Controls::Asynchronous;
    for (int i = 0; i < CounterCount; ++i)
        request->BindEdit(i, QStringLiteral("%s"), counters[static_cast<size_t>(i)]);
    request->SetStatusControl(StatusBar);
    return request;
}

void TFM_Static::FormCreate()
{
    // A failure to build or read ends the set-up quietly; the status bar tells why.
    try {
        PageControl1->setTabText(PageControl1->indexOf(TabSheetA),
                                 QStringLiteral("IEEE 802.11a"));
        m_bandA = createBandRequest(BandA, CountersA);
        m_bandA->Get();
        PageControl1->setTabText(PageControl1->indexOf(TabSheetG),
                                 QStringLiteral("IEEE 802.11g"));
        m_bandG = createBandRequest(BandG, CountersG);
        m_bandG->Get();
    } catch (const KtException &e) {
        showStatusText(e.text());
    }
}

void TFM_Static::refresh(KtSNMPRequest2Edits *request)
{
    // A read still on its way is not sent a second time.
    if (!request || request->IsBusy())
        return;
    try {
        request->Get();
    } catch (const KtException &e) {
        showStatusText(e.text());
    }
}

void TFM_Static::Bt_RfrshAClick() { refresh(m_bandA); }

void TFM_Static::Bt_RfrshGClick() { refresh(m_bandG); }
