// Apply of "Advanced \ Performance" against the simulated access point: every out-of-range
// number is refused with its message and nothing is written, each page writes in its fixed
// order and the waiting window follows, a refused radio write stops Apply after the writes
// that go first, and the super mode goes out as the page's choices mean it.
#include "performancetest.h"

#include <QApplication>
#include <QTabWidget>

using namespace performancetest;

namespace {

using Page = TFM_Performace::BandPage;

class PerformanceApply : public PerformanceTest
{
};

const QString kNoError = QStringLiteral("-> noError");

struct RangeRow {
    const char *name;
    QLineEdit *Page::*field;
    const char *text;
    const char *message;
};

const RangeRow kRangeRows[] = {
    {"beacon interval 19", &Page::beaconInterval, "19",
     "Please input a number between 20 and 1000."},
    {"beacon interval 1001", &Page::beaconInterval, "1001",
     "Please input a number between 20 and 1000."},
    {"beacon interval empty", &Page::beaconInterval, "",
     "Please input a number between 20 and 1000."},
    {"DTIM 0", &Page::dtim, "0", "Please input a number between 1 and 255."},
    {"DTIM 256", &Page::dtim, "256", "Please input a number between 1 and 255."},
    {"fragment length 255", &Page::fragmentLength, "255",
     "Please input a number between 256 and 2346."},
    {"fragment length 2347", &Page::fragmentLength, "2347",
     "Please input a number between 256 and 2346."},
    {"RTS length 255", &Page::rtsLength, "255", "Please input a number between 256 and 2346."},
    {"RTS length empty", &Page::rtsLength, "", "Please input a number between 256 and 2346."},
};

TEST_F(PerformanceApply, EveryOutOfRangeNumberIsRefusedEmptiedAndNothingWritten)
{
    startPerformance();
    TFM_Performace &w = open();
    for (int band : {A, G}) {
        for (const RangeRow &row : kRangeRows) {
            SCOPED_TRACE(std::string(row.name) + (band == A ? " 802.11a" : " 802.11g"));
            QLineEdit *edit = w.page(band).*row.field;
            const QString before = edit->text();
            edit->setText(QString::fromLatin1(row.text));
            // The refusal brings the field's page to the front.
            w.PageControl1->setCurrentIndex(band == A ? G : A);
            const QStringList written = apply(w, band);
            EXPECT_TRUE(written.isEmpty()) << written.join(u'\n').toStdString();
            ASSERT_EQ(m_dialogs.messages().size(), 1);
            EXPECT_EQ(m_dialogs.messages().at(0).text, QString::fromLatin1(row.message));
            EXPECT_EQ(m_dialogs.messages().at(0).caption, QStringLiteral("Error"));
            EXPECT_TRUE(edit->text().isEmpty());
            EXPECT_EQ(w.PageControl1->currentIndex(), band);
            EXPECT_TRUE(m_waiting.shown().isEmpty());
            edit->setText(before);
        }
    }
    // The boundaries themselves pass.
    Page &a = w.page(A);
    a.beaconInterval->setText(QStringLiteral("20"));
    a.dtim->setText(QStringLiteral("255"));
    a.fragmentLength->setText(QStringLiteral("256"));
    a.rtsLength->setText(QStringLiteral("2346"));
    const QStringList written = apply(w, A);
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
    const QStringList radio = linesWith(written, radioSet(6, A));
    ASSERT_EQ(radio.size(), 1);
    EXPECT_TRUE(radio.at(0).contains(radioSet(6, A) + QStringLiteral("20 ")));
    EXPECT_TRUE(radio.at(0).contains(radioSet(7, A) + QStringLiteral("255 ")));
}

TEST_F(PerformanceApply, LeavingANumberFieldOutOfRangeWarns)
{
    startPerformance();
    TFM_Performace &w = open();
    w.show();
    markLog();
    const struct {
        const char *name;
        int band;
        QLineEdit *Page::*field;
        const char *text;
        const char *message;
        const char *left; // the text afterwards
    } rows[] = {
        {"beacon interval kept", A, &Page::beaconInterval, "19",
         "Please input a number between 20 and 1000.", "19"},
        {"DTIM kept", G, &Page::dtim, "0", "Please input a number between 1 and 255.", "0"},
        {"empty fragment length", G, &Page::fragmentLength, "",
         "Please input a number between 256 and 2346.", ""},
        {"RTS length emptied", G, &Page::rtsLength, "3000",
         "Please input a number between 256 and 2346.", ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        w.PageControl1->setCurrentIndex(row.band);
        QLineEdit *edit = w.page(row.band).*row.field;
        const QString before = edit->text();
        edit->setText(QString::fromLatin1(row.text));
        m_dialogs.clear();
        w.numberFieldLeft(edit);
        ASSERT_EQ(m_dialogs.messages().size(), 1);
        EXPECT_EQ(m_dialogs.messages().at(0).text, QString::fromLatin1(row.message));
        EXPECT_EQ(m_dialogs.messages().at(0).caption, QStringLiteral("Warning"));
        EXPECT_EQ(edit->text(), QString::fromLatin1(row.left));
        // A field of the page not shown is not checked (its page may not take the focus).
        w.PageControl1->setCurrentIndex(row.band == A ? G : A);
        m_dialogs.clear();
        w.numberFieldLeft(edit);
        EXPECT_TRUE(m_dialogs.messages().isEmpty());
        edit->setText(before);
    }
    EXPECT_TRUE(nothingWrittenSinceMark());
}

// The user leaving the field by Tab: the check runs once the focus has moved.
TEST_F(PerformanceApply, TabbingOutOfAFieldRunsItsCheck)
{
    startPerformance();
    TFM_Performace &w = open();
    w.show();
    w.activateWindow();
    ASSERT_TRUE(processUntil([&w] { return QApplication::activeWindow() == &w; }));
    Page &a = w.page(A);
    a.dtim->setFocus(Qt::TabFocusReason);
    a.dtim->setText(QStringLiteral("300"));
    m_dialogs.clear();
    a.fragmentLength->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(processUntil([this] { return !m_dialogs.messages().isEmpty(); }));
    EXPECT_EQ(m_dialogs.texts(), QStringList{"Please input a number between 1 and 255."});
    EXPECT_TRUE(a.dtim->hasFocus());
}

TEST_F(PerformanceApply, EachPageWritesInItsOrderThenWaitsForTheRestart)
{
    startPerformance();
    TFM_Performace &w = open();
    // 802.11a runs a super mode: its secondary SSIDs are turned off first.
    QStringList written = apply(w, A);
    const QStringList orderA = {mssidSet(A),      radioSet(23, A), radioSet(23, G),
                                radioSet(11, A),  radioSet(17, A), radioSet(99, A),
                                radioSet(14, A)};
    ASSERT_EQ(written.size(), orderA.size()) << written.join(u'\n').toStdString();
    for (int i = 0; i < orderA.size(); ++i) {
        EXPECT_TRUE(written.at(i).contains(orderA.at(i))) << written.at(i).toStdString();
        EXPECT_TRUE(written.at(i).contains(kNoError)) << written.at(i).toStdString();
    }
    EXPECT_TRUE(written.at(0).contains(mssidSet(A) + QStringLiteral("0 ")));
    // The radio parameters as the page shows them.
    for (const QString &value :
         {radioSet(11, A) + QStringLiteral("1 "), radioSet(2, A) + QStringLiteral("36 "),
          radioSet(4, A) + QStringLiteral("\"Auto\""), radioSet(6, A) + QStringLiteral("100 "),
          radioSet(10, A) + QStringLiteral("1 ")})
        EXPECT_TRUE(written.at(3).contains(value)) << value.toStdString();
    ASSERT_EQ(m_waiting.shown().size(), 1);
    EXPECT_EQ(m_waiting.shown().at(0).countdown, 30);
    EXPECT_TRUE(m_waiting.shown().at(0).sendRestartCommand);

    // 802.11g with several SSIDs: choosing a super mode warns, and Apply turns them off first.
    choose(w.page(G).superMode, QStringLiteral("Super Mode without Turbo"));
    EXPECT_EQ(m_dialogs.messages().size(), 1);
    written = apply(w, G);
    const QStringList orderG = {mssidSet(G),     radioSet(24, G), radioSet(23, A),
                                radioSet(23, G), radioSet(11, G), radioSet(17, G),
                                radioSet(19, G), radioSet(99, G), radioSet(14, G)};
    ASSERT_EQ(written.size(), orderG.size()) << written.join(u'\n').toStdString();
    for (int i = 0; i < orderG.size(); ++i) {
        EXPECT_TRUE(written.at(i).contains(orderG.at(i))) << written.at(i).toStdString();
        EXPECT_TRUE(written.at(i).contains(kNoError)) << written.at(i).toStdString();
    }
    EXPECT_TRUE(written.at(0).contains(mssidSet(G) + QStringLiteral("0")));
    EXPECT_TRUE(written.at(4).contains(radioSet(11, G) + QStringLiteral("1 ")));
    EXPECT_EQ(deviceValue(QStringLiteral("adMSSIDState.2")), QStringLiteral("0"));
    EXPECT_EQ(m_waiting.shown().size(), 1);
}

TEST_F(PerformanceApply, RefusedRadioWriteEndsApplyAfterTheWritesThatGoFirst)
{
    startPerformance();
    for (int band : {A, G}) {
        SCOPED_TRACE(band == A ? "802.11a" : "802.11g");
        TFM_Performace &w = open();
        if (band == G)
            choose(w.page(G).superMode, QStringLiteral("Super Mode without Turbo"));
        simCommand(QStringLiteral("error ") + radioSet(6, band).chopped(1)
                   + QStringLiteral(" genErr"));
        const QStringList written = apply(w, band);
        QStringList order = {mssidSet(band), radioSet(23, A), radioSet(23, G), radioSet(6, band)};
        if (band == G)
            order.insert(1, radioSet(24, G));
        ASSERT_EQ(written.size(), order.size()) << written.join(u'\n').toStdString();
        for (int i = 0; i < order.size(); ++i)
            EXPECT_TRUE(written.at(i).contains(order.at(i))) << written.at(i).toStdString();
        EXPECT_TRUE(written.last().contains(QStringLiteral("genErr")));
        EXPECT_EQ(statusText(w), band == A ? QStringLiteral("IEEE802.11a Setting Error!")
                                           : QStringLiteral("IEEE802.11g Setting Error!"));
        EXPECT_TRUE(m_waiting.shown().isEmpty());
        simCommand(QStringLiteral("error clear"));
    }
}

// What the super mode the user chose goes out as.
TEST_F(PerformanceApply, SuperModeGoesOutAsTheChoicesMeanIt)
{
    const struct {
        const char *profile;
        const char *choice;
        int value;
    } rows[] = {
        {"v210eu", "Disable", 4},
        {"v210eu", "Super Mode without Turbo", 1},
        {"turbo2", "Super Mode with Dynamic Turbo", 3},
        {"turbo0", "Disable", 4},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.profile) + " " + row.choice);
        startPerformance(QString::fromLatin1(row.profile));
        TFM_Performace &w = open();
        choose(w.shownSuperMode(A), QString::fromLatin1(row.choice));
        const QStringList written = apply(w, A);
        const QStringList radio = linesWith(written, radioSet(11, A));
        ASSERT_EQ(radio.size(), 1) << written.join(u'\n').toStdString();
        EXPECT_TRUE(radio.at(0).contains(radioSet(11, A) + QString::number(row.value) + u' '));
        // Only a super mode turns the secondary SSIDs off.
        EXPECT_EQ(linesWith(written, mssidSet(A)).size(), row.value == 4 ? 0 : 1);
        EXPECT_EQ(m_waiting.shown().size(), 1);
        m_window.reset();
        TearDown();
    }
}

// Turbo capability 2 and a device in static turbo: the page shows, and Apply writes, the mode
// the device really runs.
TEST_F(PerformanceApply, StaticTurboOfADynamicOnlyDeviceIsWrittenWithoutTurbo)
{
    startPerformance(QStringLiteral("turbo2"));
    TFM_Performace &w = open();
    ASSERT_EQ(w.shownSuperMode(A)->currentText(), QStringLiteral("Super Mode without Turbo"));
    const QStringList radio = linesWith(apply(w, A), radioSet(11, A));
    ASSERT_EQ(radio.size(), 1);
    EXPECT_TRUE(radio.at(0).contains(radioSet(11, A) + QStringLiteral("1 ")));
}

TEST_F(PerformanceApply, DeviceWithoutXrNeverHearsOfIt)
{
    startPerformance(QStringLiteral("noxr"));
    TFM_Performace &w = open();
    for (int band : {A, G}) {
        const QStringList written = apply(w, band);
        EXPECT_FALSE(written.isEmpty());
        for (const QString &line : written) {
            EXPECT_FALSE(line.contains(radioSet(99, band))) << line.toStdString();
            EXPECT_FALSE(line.contains(radioSet(14, band))) << line.toStdString();
            EXPECT_TRUE(line.contains(kNoError)) << line.toStdString();
        }
        EXPECT_EQ(m_waiting.shown().size(), 1);
    }
}

// The 802.11a rate the user chose reaches the device, also after a page change rebuilt the box.
TEST_F(PerformanceApply, ChosenRateReachesTheDevice)
{
    startPerformance();
    TFM_Performace &w = open();
    choose(w.page(A).superMode, QStringLiteral("Disable"));
    choose(w.page(A).dataRate, QStringLiteral("54 Mb"));
    w.PageControl1->setCurrentIndex(G);
    const QStringList radio = linesWith(apply(w, A), radioSet(4, A));
    ASSERT_EQ(radio.size(), 1);
    EXPECT_TRUE(radio.at(0).contains(radioSet(4, A) + QStringLiteral("\"54\"")));
    EXPECT_EQ(deviceValue(QStringLiteral("adDataRate.1")), QStringLiteral("\"54\""));
}

} // namespace
