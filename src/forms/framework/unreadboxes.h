// What page windows share: a box the device never filled (its read failed) shows
// nothing, and its item must not be written, since the write would send the value of the
// box's first choice in its place; and room for a whole status line in a small window.
#pragma once

#include <QList>
#include <QPair>

class KtSNMPRequest2Edits;
class QComboBox;
class QStatusBar;

// For the life of the object, every item whose box shows nothing is left out of the
// request's writes (invalid); the items' access is restored afterwards.
class UnreadBoxesLeftOut
{
public:
    UnreadBoxesLeftOut(KtSNMPRequest2Edits &request,
                       std::initializer_list<QPair<int, const QComboBox *>> boxes);
    // Every writable item of the request whose bound box shows nothing.
    explicit UnreadBoxesLeftOut(KtSNMPRequest2Edits &request);
    ~UnreadBoxesLeftOut();
    UnreadBoxesLeftOut(const UnreadBoxesLeftOut &) = delete;
    UnreadBoxesLeftOut &operator=(const UnreadBoxesLeftOut &) = delete;

    // How many items are left out; whether the request still has an item to write.
    int leftOut() const { return m_leftOut; }
    bool anythingToWrite() const;

private:
    KtSNMPRequest2Edits &m_request;
    QList<QPair<int, int>> m_access; // item, access before
    int m_leftOut = 0;
};

// A status bar wide enough for a whole status line of the requests.
void leaveRoomForStatusLine(QStatusBar *bar);
