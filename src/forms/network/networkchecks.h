// Address checks the network windows share: the LAN window keeps the device's own address out
// of its DHCP pools, the DHCP window keeps the pools away from that address and from each other.
// (The address and mask checks themselves are the main window's: TMainForm::IsValidIPAddress,
// TMainForm::IsValidMask.)
#pragma once

#include "ktsnmpvaritem.h"
#include "tpagewindow.h"

#include <QString>

#include <optional>
#include <vector>

class KtOptionList;
class KtSNMPRequest2Edits;

namespace NetworkChecks {

// A dotted address as a number: its decimal parts read left to right, each shifted in by 8
// bits, the first the most significant ("192.168.0.50" is 0xC0A80032). Parts are read as the
// address check reads them (leading blanks and a sign allowed). None when the text has not
// four parts, or a part is not a number of 0..255.
std::optional<quint32> AddressNumber(const QString &text);

// Two texts naming the same address ("192.168.0.020" and "192.168.0.20"); texts that are not
// addresses are compared as texts.
bool SameAddress(const QString &a, const QString &b);

// The dynamic pool covers the address: start <= address < start + range, compared as unsigned
// numbers (the end may lie beyond 255.255.255.255 without wrapping). start and range are the
// texts the pool request read ("%s", "%u"); a pool whose start or range cannot be read covers
// nothing.
bool InDynamicPool(const QString &address, const QString &start, const QString &range);

// A refusal with the caption of its message box: the DHCP pages mix "Warning", "Error" and
// "Waring" in one Apply.
struct Rejection {
    TPageWindow::Refusal refusal;
    QString caption;
};
inline const QString kWaringCaption = QStringLiteral("Waring");
// Shows the rejection, if any, as TPageWindow::refuse does; returns whether there was one.
bool Reject(TPageWindow &window, const std::optional<Rejection> &rejection);

// ---- The static pool table (rows of fixed slots; a free slot holds IP "0.0.0.0" and MAC
// "000000000000") ----

// Items of the table in column order; read it as MVT_FMV with key count 1 (the row index).
enum StaticPoolItem { SP_Index, SP_IP, SP_MAC, SP_Mask, SP_Gateway, SP_DNS, SP_Wins,
                      SP_Domain, SP_Status };
std::vector<KtSNMPVarItem> StaticPoolTable();

// The status of a static slot and of the dynamic pool: 0 "OFF", 1 "ON".
const KtOptionList &OnOffOptions();

inline const QString kFreeSlotIP = QStringLiteral("0.0.0.0");
inline const QString kFreeSlotMAC = QStringLiteral("000000000000");

// Whether a row of the table, as the request's list view shows it after a read, has the
// address as its IP.
bool StaticPoolHolds(const KtSNMPRequest2Edits &staticPool, const QString &address);

// ---- The ping test of an address about to be given out (the device's own, a static slot's) ----

enum class PingVerdict {
    Free,     // no answer to any of the three requests
    InUse,    // the address answered: the caller refuses it with its own message
    Untested, // the test could not be made and the administrator chose to go on without it
    Declined, // the test could not be made and the administrator chose not to go on
};

// Runs KtPing::Probe as the window's work: up to three seconds with the event loop running, the
// status bar saying which address is tested, closing refused meanwhile. The caller keeps the
// user from starting a second action meanwhile (its Apply). A test that cannot be made is never
// taken for a free address: the reason is shown with the question whether to go on untested.
PingVerdict PingBeforeGivingOut(TPageWindow &window, const QString &address);

} // namespace NetworkChecks
