// Numbered table requests against the simulated access point: only used slots are shown,
// numbered from the running row number, which the request itself never resets.
#include "modulesupport.h"
#include "new_req2edit.h"

#include <QLineEdit>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

const QString kPool = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.7.3.1");
const QString kMacFilter = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.4.2.1");

const auto *const s_environment = ::testing::AddGlobalTestEnvironment(new SessionEnvironment);

QStringList column(const QTreeWidget *view, int index)
{
    QStringList texts;
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        texts << view->topLevelItem(i)->text(index);
    return texts;
}

class NewReq2EditDevice : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_sim.start()) << m_sim.error().toStdString(); }

    // The static address pool: 16 slots, slots 1 and 3 used; a free slot's IP is 0.0.0.0.
    std::unique_ptr<New_req2Edit> poolRequest()
    {
        const KtSNMPVarItem table[] = {
            varItem(kPool + QStringLiteral(".1"), SYN_INTEGER, ACC_NOTACCESS, "Index"),
            varItem(kPool + QStringLiteral(".1"), SYN_IPADDRESS, ACC_READWRITE, "IP"),
            varItem(kPool + QStringLiteral(".2"), SYN_MACADDRESS, ACC_READWRITE, "MAC"),
            {}};
        auto request = std::make_unique<New_req2Edit>(&m_form, table, MVT_FMV, 1);
        request->mode = KtSNMPRequest2Controls::Synchronous;
        request->request.address = m_sim.address();
        request->request.port = m_sim.port();
        request->request.version = 1;
        request->skipText = QStringLiteral("0.0.0.0");
        return request;
    }

    ApSim m_sim;
    QWidget m_form;
};

TEST_F(NewReq2EditDevice, StartsAtRowOneWithTheFillerZeroAndTheSecondItemAsKey)
{
    New_req2Edit request;
    EXPECT_EQ(request.rowNumber, 1);
    EXPECT_EQ(request.skipText, QStringLiteral("0"));
    EXPECT_EQ(request.keyItem, 1);
    EXPECT_EQ(request.mode, KtSNMPRequest2Controls::Asynchronous);
}

TEST_F(NewReq2EditDevice, ShowsOnlyUsedSlotsNumberedFromOne)
{
    auto request = poolRequest();
    auto *view = new QTreeWidget(&m_form);
    request->BindListView(view);
    ASSERT_TRUE(request->Get());
    EXPECT_EQ(column(view, 0), (QStringList{"1", "2"}));
    EXPECT_EQ(column(view, 1), (QStringList{"192.168.0.20", "192.168.0.21"}));
    EXPECT_EQ(column(view, 2), (QStringList{"000D5604A1B2", "0017A4C0FF01"}));
    EXPECT_EQ(request->rowNumber, 3);
    // Every delivered slot counts as a row of the read, shown or not.
    EXPECT_EQ(request->rowCount, 16);
}

TEST_F(NewReq2EditDevice, ASecondReadWithoutResetContinuesTheNumbering)
{
    auto request = poolRequest();
    auto *view = new QTreeWidget(&m_form);
    request->BindListView(view);
    ASSERT_TRUE(request->Get());
    ASSERT_TRUE(request->Get());
    EXPECT_EQ(column(view, 0), (QStringList{"3", "4"}));
    request->rowNumber = 1;
    ASSERT_TRUE(request->Get());
    EXPECT_EQ(column(view, 0), (QStringList{"1", "2"}));
}

TEST_F(NewReq2EditDevice, ATableOfFillersShowsNothingAndKeepsTheNumber)
{
    const KtSNMPVarItem table[] = {
        varItem(kMacFilter + QStringLiteral(".1"), SYN_INTEGER, ACC_READONLY, "Index"),
        varItem(kMacFilter + QStringLiteral(".2"), SYN_OCTETSTR, ACC_READWRITE, "MAC Address"),
        {}};
    New_req2Edit request(&m_form, table, MVT_FMV, 0);
    request.mode = KtSNMPRequest2Controls::Synchronous;
    request.request.address = m_sim.address();
    request.request.port = m_sim.port();
    request.request.version = 1;
    request.list().instance = QStringLiteral("1"); // band 1: every slot free
    request.skipText = QStringLiteral("000000000000");
    request.rowNumber = 5;
    auto *view = new QTreeWidget(&m_form);
    request.BindListView(view);
    ASSERT_TRUE(request.Get());
    EXPECT_GT(request.rowCount, 0);
    EXPECT_EQ(view->topLevelItemCount(), 0);
    EXPECT_EQ(request.rowNumber, 5);
}

TEST_F(NewReq2EditDevice, TheKeyItemDecidesEvenWhenOtherItemsHoldValues)
{
    auto request = poolRequest();
    request->keyItem = 2; // the MAC column
    request->skipText = QStringLiteral("0017A4C0FF01");
    auto *view = new QTreeWidget(&m_form);
    request->BindListView(view);
    ASSERT_TRUE(request->Get());
    // Slot 3 holds an address but its MAC is the filler now; the 14 free slots are shown.
    EXPECT_EQ(view->topLevelItemCount(), 15);
    EXPECT_FALSE(column(view, 1).contains(QStringLiteral("192.168.0.21")));
    EXPECT_EQ(column(view, 0).last(), QStringLiteral("15"));
}

TEST_F(NewReq2EditDevice, SelectingANumberedRowFillsTheControlsWithThatSlot)
{
    auto request = poolRequest();
    auto *view = new QTreeWidget(&m_form);
    auto *ip = new QLineEdit(&m_form);
    request->BindListView(view);
    request->BindEdit(1, QStringLiteral("%s"), ip);
    ASSERT_TRUE(request->Get());
    EXPECT_FALSE(ip->isEnabled());
    view->setCurrentItem(view->topLevelItem(1));
    EXPECT_TRUE(ip->isEnabled());
    EXPECT_EQ(ip->text(), QStringLiteral("192.168.0.21"));
    // The caption shows the number 2, but the row is slot 3: a write goes to slot 3.
    EXPECT_EQ(view->topLevelItem(1)->text(0), QStringLiteral("2"));
    EXPECT_EQ(request->list().Item(0).value, QStringLiteral("3"));
}

TEST_F(NewReq2EditDevice, WithoutAListViewEveryRowFillsTheControls)
{
    auto request = poolRequest();
    auto *ip = new QLineEdit(&m_form);
    request->BindEdit(1, QStringLiteral("%s"), ip);
    ASSERT_TRUE(request->Get());
    // The last slot was the last to fill them.
    EXPECT_EQ(ip->text(), QStringLiteral("0.0.0.0"));
    EXPECT_EQ(request->rowNumber, 1);
}

} // namespace
