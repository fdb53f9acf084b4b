// "Status \ Stats": the radio counters of the access point, one page per band, each read when
// the window opens and again by the page's Refresh button. Nothing refreshes by itself.
#pragma once

#include "tpagewindow.h"

#include <array>

class KtSNMPRequest2Edits;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QWidget;

class TFM_Static : public TPageWindow
{
    Q_OBJECT

public:
    static constexpr int CounterCount = 18;
    using Counters = std::array<QLineEdit *, CounterCount>;

    // Builds both bands' requests (802.11a first) and reads them.
    explicit TFM_Static(QWidget *owner = nullptr);
    ~TFM_Static() override;

    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheetA = nullptr;
    QWidget *TabSheetG = nullptr;
    // The counters of each band in column order: Ed_TranSuRata ... Ed_WEPIErrCnta, and the
    // same names ending in "g".
    Counters CountersA{};
    Counters CountersG{};
    QPushButton *Bt_RfrshA = nullptr;
    QPushButton *Bt_RfrshG = nullptr;
    QStatusBar *StatusBar = nullptr;

    KtSNMPRequest2Edits *bandARequest() const { return m_bandA; }
    KtSNMPRequest2Edits *bandGRequest() const { return m_bandG; }

public Q_SLOTS:
    void Bt_RfrshAClick();
    void Bt_RfrshGClick();

private:
    enum Band { BandA = 1, BandG = 2 };

    QWidget *buildBandPage(Band band, Counters &counters, QPushButton *&refresh);
    void buildWindow();
    void FormCreate();
    // The band's request, bound to its counters.
    KtSNMPRequest2Edits *createBandRequest(Band band, const Counters &counters);
    // Reads the band again unless its last read is still on its way.
    void refresh(KtSNMPRequest2Edits *request);

    KtSNMPRequest2Edits *m_bandA = nullptr; // owned by the page window
    KtSNMPRequest2Edits *m_bandG = nullptr;
};

extern TFM_Static *FM_Static;
