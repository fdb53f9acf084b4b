// The address and mask checks other windows call before they write addresses to the device.
// They never report: every bad text, including parts that are not numbers, gives false.
#include "tmainform.h"

#include <gtest/gtest.h>

namespace {

struct Row {
    const char *text;
    bool valid;
};

std::ostream &operator<<(std::ostream &out, const Row &row)
{
    return out << '"' << row.text << '"';
}

class AddressCheck : public ::testing::TestWithParam<Row>
{
};

TEST_P(AddressCheck, AcceptsOnlyUnicastHostAddresses)
{
    EXPECT_EQ(TMainForm::IsValidIPAddress(QString::fromLatin1(GetParam().text)),
              GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AddressCheck,
    ::testing::Values(Row{"192.168.0.50", true}, Row{"127.0.0.1", false},
                      Row{"224.0.0.1", false}, Row{"10.0.0.0", false},
                      Row{"10.0.0.255", false}, Row{"10.0.0", false}, Row{".1.2.3", false},
                      // Edges of the ranges.
                      Row{"1.0.0.1", true}, Row{"223.255.255.254", true},
                      Row{"0.1.2.3", false}, Row{"126.1.1.1", true}, Row{"128.0.0.1", true},
                      Row{"10.256.0.1", false}, Row{"10.0.256.1", false},
                      // Shapes the dot rules refuse.
                      Row{"", false}, Row{"10.", false}, Row{"10.0.0.1.", false},
                      Row{"10.0.0.1.5", false}, Row{"10..0.1", false},
                      // Parts that are not numbers: the check reports nothing, it says no.
                      Row{"10.a.0.1", false}, Row{"10.0.0.x", false},
                      Row{"1 0.0.0.1", false}, Row{"10.0.0.1x", false}));

class MaskCheck : public ::testing::TestWithParam<Row>
{
};

TEST_P(MaskCheck, AcceptsOnlyContiguousMasksOfTwoToThirtyOneBits)
{
    EXPECT_EQ(TMainForm::IsValidMask(QString::fromLatin1(GetParam().text)), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MaskCheck,
    ::testing::Values(Row{"255.255.255.0", true}, Row{"255.255.255.255", false},
                      Row{"255.0.255.0", false}, Row{"128.0.0.0", false},
                      Row{"192.0.0.0", true}, Row{"255.255.255.1", false},
                      Row{"255.255.255.254", true}, Row{"255.255.255.252", true},
                      Row{"255.255.254.0", true}, Row{"255.128.0.0", true},
                      Row{"0.0.0.0", false}, Row{"255.255.255.253", false},
                      Row{"255.1.0.0", false}, Row{"255.256.0.0", false},
                      Row{"255.255.0", false}, Row{".255.255.0", false}, Row{"", false},
                      Row{"255.255.x.0", false}));

} // namespace
