// Values through the controls and back: what FillControls shows, CollectControls must give back
// unchanged, for every syntax and control form a window binds. No device is involved.
#include "ktdatetime.h"
#include "kteditconstraint.h"
#include "ktexception.h"
#include "ktoptionlist.h"
#include "ktradiogroup.h"
#include "ktsnmprequest2edits.h"
#include "ktsnmpvalue.h"
#include "testenv.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

const KtOption kStates[] = {{0, nullptr, "Disable"}, {1, nullptr, "Enable"}, {}};
const KtOption kModes[] = {
    {1, nullptr, "Access Point"}, {2, nullptr, "Point to Point Bridge"},
    {4, nullptr, "Wireless Client"}, {}};
const KtOption kTrees[] = {
    {0, "1.3.6.1.4.1.32473", "norvane"}, {0, "1.3.6.1.2.1", "mib-2"}, {}};

const KtOptionList &states()
{
    static const KtOptionList list(kStates, KtOptionList::Numeric);
    return list;
}
const KtOptionList &modes()
{
    static const KtOptionList list(kModes, KtOptionList::Numeric);
    return list;
}
const KtOptionList &trees()
{
    static const KtOptionList list(kTrees, KtOptionList::Prefix);
    return list;
}

enum class Form { Edit, Edits, Combo, ComboWithEdit, Radio, Check, Label, Memo };

struct Row {
    const char *name;
    int syntax;
    QString value; // the item's value text as a read stores it
    Form form;
    int edits = 1;
    const KtOptionList *(*options)() = nullptr;
};

const KtOptionList *statesList() { return &states(); }
const KtOptionList *modesList() { return &modes(); }
const KtOptionList *treesList() { return &trees(); }

// A one-item list and the controls of one binding on a form of their own.
struct Bench {
    explicit Bench(int syntax, const KtOptionList *options = nullptr)
        : form(std::make_unique<QWidget>()), request(form.get())
    {
        KtSNMPVarItem table[2];
        table[0].oid = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.9.1");
        table[0].name = QStringLiteral("value");
        table[0].syntax = syntax;
        table[0].access = ACC_READWRITE;
        table[0].optionList = options;
        request.SetList(KtSNMPVarList(table, SVT_SV, 0));
    }
    template <typename T>
    T *add()
    {
        auto *control = new T(form.get());
        return control;
    }
    QList<QLineEdit *> edits(int count)
    {
        QList<QLineEdit *> list;
        for (int i = 0; i < count; ++i)
            list.append(add<QLineEdit>());
        return list;
    }
    QString &value() { return request.list().Item(0).value; }

    std::unique_ptr<QWidget> form;
    KtSNMPRequest2Edits request;
};

class RoundTrip : public ::testing::TestWithParam<Row> {};

TEST_P(RoundTrip, FillThenCollectGivesTheValueBack)
{
    const Row &row = GetParam();
    const KtOptionList *options = row.options ? row.options() : nullptr;
    Bench bench(row.syntax, options);
    switch (row.form) {
    case Form::Edit:
        bench.request.BindEdit(0, QStringLiteral("%s"), bench.add<QLineEdit>());
        break;
    case Form::Edits:
        bench.request.BindEdit(0, QStringLiteral("%s").repeated(row.edits),
                               bench.edits(row.edits));
        break;
    case Form::Combo:
        bench.request.BindComboBox(0, bench.add<QComboBox>());
        break;
    case Form::ComboWithEdit:
        bench.request.BindPart(0, 0, row.syntax, nullptr, bench.add<QComboBox>(),
                               bench.add<QLineEdit>());
        break;
    case Form::Radio:
        bench.request.BindRadioGroup(0, bench.add<KtRadioGroup>());
        break;
    case Form::Check:
        bench.request.BindCheckBox(0, bench.add<QCheckBox>());
        break;
    case Form::Label:
        bench.request.BindControl(0, bench.add<QLabel>());
        break;
    case Form::Memo:
        bench.request.BindControl(0, bench.add<QPlainTextEdit>());
        break;
    }
    bench.value() = row.value;
    bench.request.FillControls(-1);
    // A write starts from empty values (BeforeSet).
    bench.value().clear();
    bench.request.CollectControls(-1);
    EXPECT_EQ(bench.value(), row.value);
}

QString dateTimeText()
{
    KtDateTime value;
    value.year = 2026;
    value.month = 12;
    value.day = 8;
    value.hour = 19;
    value.minutes = 5;
    value.seconds = 9;
    value.deciSeconds = 3;
    value.direction = '-';
    value.utcHours = 5;
    value.utcMinutes = 30;
    return value.ToText();
}

QString ticks(quint32 value) { return KtValue::ticksText(value); }

INSTANTIATE_TEST_SUITE_P(
    Syntaxes, RoundTrip,
    ::testing::Values(
        Row{"integer", SYN_INTEGER, "-42", Form::Edit},
        Row{"integerMinimum", SYN_INTEGER, "-2147483648", Form::Edit},
        Row{"boolean", SYN_BOOLEAN, "true", Form::Edit},
        Row{"counter", SYN_COUNTER, "4294967295", Form::Edit},
        Row{"guage", SYN_GUAGE, "17", Form::Edit},
        Row{"uinteger", SYN_UINTEGER, "300", Form::Edit},
        Row{"timeticks", SYN_TIMETICKS, ticks(123456789), Form::Edit},
        Row{"ipaddress", SYN_IPADDRESS, "192.168.0.254", Form::Edit},
        Row{"nsapaddr", SYN_NSAPADDR, "10.0.0.1", Form::Edit},
        Row{"octetstr", SYN_OCTETSTR, "00FF10", Form::Edit},
        Row{"octetstrEmpty", SYN_OCTETSTR, "", Form::Edit},
        Row{"bitstr", SYN_BITSTR, "8040", Form::Edit},
        Row{"opaque", SYN_OPAQUE, "DEADBEEF", Form::Edit},
        Row{"macaddress", SYN_MACADDRESS, "000F3DFA6DB1", Form::Edit},
        Row{"displaystr", SYN_DISPLAYSTR, "Norvane-11a", Form::Edit},
        Row{"displaystrEmpty", SYN_DISPLAYSTR, "", Form::Edit},
        Row{"objectid", SYN_OBJECTID, "1.3.6.1.4.1.32473.11.37", Form::Edit},
        Row{"counter64", SYN_COUNTER64, "18446744073709551615", Form::Edit},
        Row{"double", SYN_DOUBLE, "3.25", Form::Edit},
        Row{"datetime", SYN_DATETIME, dateTimeText(), Form::Edit},
        Row{"bcdatetime", SYN_BCDATETIME, "2026/12/08 07:05:09 pm", Form::Edit},
        Row{"nullStaysNull", SYN_INTEGER, "(NULL)", Form::Edit},
        Row{"memo", SYN_DISPLAYSTR, "line one", Form::Memo},
        Row{"label", SYN_DISPLAYSTR, "read only", Form::Label},
        Row{"ipOverFourEdits", SYN_IPADDRESS, "172.16.254.3", Form::Edits, 4},
        Row{"macOverSixEdits", SYN_MACADDRESS, "000F3DFA6DB1", Form::Edits, 6},
        Row{"octetsOverFiveEdits", SYN_OCTETSTR, "0A1B2C3D4E", Form::Edits, 5},
        Row{"oidOverEdits", SYN_OBJECTID, "1.3.6.1.4.1.32473", Form::Edits, 7},
        Row{"oidOverMoreEdits", SYN_OBJECTID, "1.3.6", Form::Edits, 5},
        Row{"ticksOverFiveEdits", SYN_TIMETICKS, ticks(4294967295u), Form::Edits, 5},
        Row{"ticksZeroOverFiveEdits", SYN_TIMETICKS, ticks(0), Form::Edits, 5},
        Row{"datetimeOverTenEdits", SYN_DATETIME, dateTimeText(), Form::Edits, 10},
        Row{"bcdatetimeOverSevenEdits", SYN_BCDATETIME, "2026/12/08 12:00:00 am", Form::Edits,
            7},
        Row{"bcdatetimeNoonOverSevenEdits", SYN_BCDATETIME, "1999/01/31 12:30:59 pm",
            Form::Edits, 7},
        Row{"comboByLabel", SYN_INTEGER, "Enable", Form::Combo, 1, statesList},
        Row{"comboLastLabel", SYN_INTEGER, "Wireless Client", Form::Combo, 1, modesList},
        Row{"comboPrefixWithRest", SYN_OBJECTID, "norvane.11.37.21", Form::ComboWithEdit, 1,
            treesList},
        Row{"radioGroup", SYN_INTEGER, "Point to Point Bridge", Form::Radio, 1, modesList},
        Row{"checkBoxOptionsOn", SYN_INTEGER, "Enable", Form::Check, 1, statesList},
        Row{"checkBoxOptionsOff", SYN_INTEGER, "Disable", Form::Check, 1, statesList},
        Row{"checkBoxBooleanTrue", SYN_BOOLEAN, "true", Form::Check},
        Row{"checkBoxBooleanFalse", SYN_BOOLEAN, "false", Form::Check}),
    [](const auto &row) { return std::string(row.param.name); });

// An octet string cut into parts of every small type: byte offsets, the host-order rule for
// 4-byte integers and the most-significant-first rule for 16-bit parts.
TEST(FillCollectParts, EveryPartTypeShowsItsBytesAndGivesThemBack)
{
    // 0: bool8, 1: int8, 2: uint8, 3-4: int16, 5-6: uint16, 7-8: bool16, 9-12: integer
    // (host order), 13-16: ipaddress, 17-22: macaddress, 23..: displaystr (the rest).
    const QString value = QStringLiteral("01FFC8FF38010200010100000AC0A80001000F3DFA6DB1") +
                          KtValue::hexText(QByteArrayLiteral("ssid"));
    Bench bench(SYN_OCTETSTR);
    struct Part {
        int offset;
        int type;
        const char *shown;
    };
    const Part parts[] = {
        {0, SYN_BOOL8, "true"},        {1, SYN_INT8, "-1"},
        {2, SYN_UINT8, "200"},         {3, SYN_INT16, "-200"},
        {5, SYN_UINT16, "258"},        {7, SYN_BOOL16, "true"},
        {9, SYN_INTEGER, "167772161"}, {13, SYN_IPADDRESS, "192.168.0.1"},
        {17, SYN_MACADDRESS, "000F3DFA6DB1"}, {23, SYN_DISPLAYSTR, "ssid"},
    };
    QList<QLineEdit *> edits;
    for (const Part &part : parts) {
        edits.append(bench.add<QLineEdit>());
        bench.request.BindPart(0, part.offset, part.type, nullptr, edits.last());
    }
    bench.value() = value;
    bench.request.FillControls(-1);
    for (int i = 0; i < edits.size(); ++i)
        EXPECT_EQ(edits.at(i)->text(), QString::fromLatin1(parts[i].shown)) << "part " << i;

    bench.value().clear();
    bench.request.CollectControls(-1);
    EXPECT_EQ(bench.value(), value);
}

TEST(FillCollectParts, OptionListsOfPartsInAComboBoxARadioGroupAndACheckBox)
{
    Bench bench(SYN_OCTETSTR);
    auto *combo = bench.add<QComboBox>();
    auto *group = bench.add<KtRadioGroup>();
    auto *box = bench.add<QCheckBox>();
    bench.request.BindPart(0, 0, SYN_UINT8, &modes(), combo);
    bench.request.BindPart(0, 1, SYN_UINT16, &modes(), group);
    bench.request.BindPart(0, 3, SYN_UINT8, &states(), box);
    bench.value() = QStringLiteral("04000201");
    bench.request.FillControls(-1);
    EXPECT_EQ(combo->currentText(), QStringLiteral("Wireless Client"));
    EXPECT_EQ(group->itemIndex(), 1);
    EXPECT_TRUE(box->isChecked());

    combo->setCurrentIndex(0);
    group->setItemIndex(2);
    box->setChecked(false);
    bench.value().clear();
    bench.request.CollectControls(-1);
    EXPECT_EQ(bench.value(), QStringLiteral("01000400"));
}

TEST(FillCollectParts, APartChangesOnlyItsOwnBytes)
{
    Bench bench(SYN_OCTETSTR);
    auto *edit = bench.add<QLineEdit>();
    bench.request.BindPart(0, 2, SYN_UINT16, nullptr, edit);
    bench.value() = QStringLiteral("AABBCCDDEE");
    bench.request.FillControls(-1);
    EXPECT_EQ(edit->text(), QStringLiteral("52445"));
    edit->setText(QStringLiteral("4660"));
    bench.request.CollectControls(-1);
    EXPECT_EQ(bench.value(), QStringLiteral("AABB1234EE"));
}

TEST(FillCollectParts, APartBeyondAShortValueGrowsItWithZeros)
{
    Bench bench(SYN_OCTETSTR);
    auto *edit = bench.add<QLineEdit>();
    bench.request.BindPart(0, 3, SYN_UINT8, nullptr, edit);
    edit->setText(QStringLiteral("255"));
    bench.value().clear();
    bench.request.CollectControls(-1);
    EXPECT_EQ(bench.value(), QStringLiteral("000000FF"));
}

TEST(FillCollectParts, AShorterWholeValueLeavesNothingOfTheOldOneBehind)
{
    // A list view row holds the old key; the user typed a shorter one.
    Bench bench(SYN_OCTETSTR);
    auto *edit = bench.add<QLineEdit>();
    bench.request.BindEdit(0, QStringLiteral("%h"), edit);
    bench.value() = QStringLiteral("0102030405060708090A0B0C0D");
    edit->setText(QStringLiteral("AABBCCDDEE"));
    bench.request.CollectControls(-1);
    EXPECT_EQ(bench.value(), QStringLiteral("AABBCCDDEE"));
}

TEST(FillCollectChecks, PartListZeroAndNineShowBitSevenOfByteZeroAndBitSixOfByteOne)
{
    Bench bench(SYN_OCTETSTR);
    auto *first = bench.add<QCheckBox>();
    auto *second = bench.add<QCheckBox>();
    bench.request.BindEditList(0, QStringLiteral("0,9"), {first, second});

    struct Case {
        const char *value;
        bool first;
        bool second;
    };
    for (const Case &c : {Case{"8000", true, false}, Case{"0040", false, true},
                          Case{"7FBF", false, false}, Case{"C0C0", true, true}}) {
        bench.value() = QString::fromLatin1(c.value);
        bench.request.FillControls(-1);
        EXPECT_EQ(first->isChecked(), c.first) << c.value;
        EXPECT_EQ(second->isChecked(), c.second) << c.value;
    }
    // Collecting starts from no bytes: only the listed bits can be set.
    first->setChecked(true);
    second->setChecked(true);
    bench.value().clear();
    bench.request.CollectControls(-1);
    EXPECT_EQ(bench.value(), QStringLiteral("8040"));
}

TEST(FillCollectChecks, BitListsSetOnlyTheirOwnBitsOfTheValue)
{
    // Two lists share byte 1; the value is longer than either list reaches.
    Bench bench(SYN_OCTETSTR);
    auto *low = bench.add<QCheckBox>();
    auto *shared = bench.add<QCheckBox>();
    auto *high = bench.add<QCheckBox>();
    bench.request.BindEditList(0, QStringLiteral("0,8"), {low, shared});
    bench.request.BindEditList(0, QStringLiteral("15"), {high});
    bench.value() = QStringLiteral("00000000");
    bench.request.FillControls(-1);
    low->setChecked(true);
    shared->setChecked(true);
    high->setChecked(true);
    bench.request.CollectControls(-1);
    EXPECT_EQ(bench.value(), QStringLiteral("80810000"));

    // A row of the list view holds the device's other bits and bytes: they stay.
    bench.value() = QStringLiteral("7F7E55AA");
    low->setChecked(false);
    shared->setChecked(false);
    bench.request.CollectControls(-1);
    EXPECT_EQ(bench.value(), QStringLiteral("7F7F55AA"));
}

TEST(FillCollectChecks, NoValueClearsACheckBox)
{
    Bench withOptions(SYN_INTEGER, &states());
    auto *option = withOptions.add<QCheckBox>();
    withOptions.request.BindCheckBox(0, option);
    Bench boolean(SYN_BOOLEAN);
    auto *flag = boolean.add<QCheckBox>();
    boolean.request.BindCheckBox(0, flag);
    for (const char *none : {"(NULL)", "(NOTDONE)"}) {
        option->setChecked(true);
        flag->setChecked(true);
        withOptions.value() = QString::fromLatin1(none);
        boolean.value() = QString::fromLatin1(none);
        withOptions.request.FillControls(-1);
        boolean.request.FillControls(-1);
        EXPECT_FALSE(option->isChecked()) << none;
        EXPECT_FALSE(flag->isChecked()) << none;
    }
}

TEST(FillCollectChecks, ABitBeyondTheValueIsOutOfRange)
{
    Bench bench(SYN_OCTETSTR);
    auto *box = bench.add<QCheckBox>();
    bench.request.BindEditList(0, QStringLiteral("16"), {box});
    bench.value() = QStringLiteral("FFFF");
    try {
        bench.request.FillControls(-1);
        FAIL() << "no exception";
    } catch (const KtException &e) {
        EXPECT_EQ(e.code(), -519);
        EXPECT_EQ(e.text(), QStringLiteral("(KtSNMP++) Out of range for the bit(byte) index of "
                                           "the associated SNMP variable's (partial) data!"));
    }
}

TEST(FillCollectEdits, NullLeavesAnAddressOverFourEditsUnchanged)
{
    Bench bench(SYN_IPADDRESS);
    const QList<QLineEdit *> edits = bench.edits(4);
    bench.request.BindEdit(0, QStringLiteral("%u%u%u%u"), edits);
    bench.value() = QStringLiteral("10.1.2.3");
    bench.request.FillControls(-1);
    bench.value() = QStringLiteral("(NULL)");
    bench.request.FillControls(-1);
    QStringList shown;
    for (const QLineEdit *edit : edits)
        shown << edit->text();
    EXPECT_EQ(shown, (QStringList{"10", "1", "2", "3"}));
}

TEST(FillCollectEdits, TimeTicksSpreadOverDaysHoursMinutesSecondsHundredths)
{
    Bench bench(SYN_TIMETICKS);
    const QList<QLineEdit *> edits = bench.edits(5);
    bench.request.BindEdit(0, QStringLiteral("%u%u%u%u%u"), edits);
    // 3 days, 4 h, 5 min, 6 s, 7 hundredths.
    bench.value() = KtValue::ticksText(3 * 8640000 + 4 * 360000 + 5 * 6000 + 6 * 100 + 7);
    bench.request.FillControls(-1);
    QStringList shown;
    for (const QLineEdit *edit : edits)
        shown << edit->text();
    EXPECT_EQ(shown, (QStringList{"3", "4", "5", "6", "7"}));
}

TEST(FillCollectEdits, HexBytesTypedShortOrEmptyArePadded)
{
    Bench bench(SYN_MACADDRESS);
    const QList<QLineEdit *> edits = bench.edits(6);
    bench.request.BindEdit(0, QStringLiteral("%h%h%h%h%h%h"), edits);
    const char *typed[] = {"0", "f", "", "3D", "a", "B1"};
    for (int i = 0; i < 6; ++i)
        edits.at(i)->setText(QString::fromLatin1(typed[i]));
    bench.request.CollectControls(-1);
    EXPECT_EQ(bench.value(), QStringLiteral("000F003D0AB1"));
}

struct FailureRow {
    const char *name;
    int code;
    std::function<void(Bench &)> run;
};

class Failures : public ::testing::TestWithParam<FailureRow> {};

TEST_P(Failures, RaiseTheInHouseCodeAndText)
{
    const FailureRow &row = GetParam();
    Bench bench(SYN_INTEGER);
    try {
        row.run(bench);
        FAIL() << "no exception";
    } catch (const KtException &e) {
        static const QMap<int, QString> texts = {
            {-517, "(KtSNMP++) Bad syntax of the associated SNMP variable's (partial) data!"},
            {-518, "(KtSNMP++) Bad value of the associated SNMP variable's (partial) data!"},
            {-519, "(KtSNMP++) Out of range for the bit(byte) index of the associated SNMP "
                   "variable's (partial) data!"},
            {-520, "(KtSNMP++) No reference option list for a SNMP variable's (partial) data "
                   "associating with a optional visual control!"},
            {-521, "(KtSNMP++) Bad type of the associated visual control!"},
            {-522, "(KtSNMP++) Count of the associated visual controls is not enough!"},
        };
        EXPECT_EQ(e.code(), row.code);
        EXPECT_EQ(e.text(), texts.value(row.code)) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bindings, Failures,
    ::testing::Values(
        FailureRow{"checkBoxOnAnIntegerWithoutOptions", -517,
                   [](Bench &b) {
                       b.request.BindCheckBox(0, b.add<QCheckBox>());
                       b.value() = QStringLiteral("1");
                       b.request.FillControls(-1);
                   }},
        FailureRow{"comboBoxWithoutOptionList", -520,
                   [](Bench &b) { b.request.BindComboBox(0, b.add<QComboBox>()); }},
        FailureRow{"radioGroupWithoutOptionList", -520,
                   [](Bench &b) { b.request.BindRadioGroup(0, b.add<KtRadioGroup>()); }},
        FailureRow{"prefixListWithoutSecondControl", -522,
                   [](Bench &b) {
                       b.request.BindPart(0, 0, SYN_OBJECTID, &trees(), b.add<QComboBox>());
                   }},
        FailureRow{"pushButtonIsNoBoundControl", -521,
                   [](Bench &b) { b.request.BindControl(0, b.add<QPushButton>()); }},
        FailureRow{"addressOverThreeEdits", -522,
                   [](Bench &b) {
                       b.request.list().Item(0).syntax = SYN_IPADDRESS;
                       b.request.BindEdit(0, QStringLiteral("%s%s%s"), b.edits(3));
                       b.value() = QStringLiteral("10.0.0.1");
                       b.request.FillControls(-1);
                   }},
        FailureRow{"addressOutOfRangeTyped", -518,
                   [](Bench &b) {
                       b.request.list().Item(0).syntax = SYN_IPADDRESS;
                       b.request.BindEdit(0, QStringLiteral("%s%s%s%s"), b.edits(4));
                       b.value() = QStringLiteral("10.0.0.1");
                       b.request.FillControls(-1);
                       b.form->findChildren<QLineEdit *>().first()->setText(
                           QStringLiteral("300"));
                       b.request.CollectControls(-1);
                   }},
        FailureRow{"fewerEditsThanSpecifiers", -522,
                   [](Bench &b) {
                       b.request.BindEdit(0, QStringLiteral("%u%u%u%u"), b.edits(3));
                   }},
        FailureRow{"moreBytesThanEdits", -522,
                   [](Bench &b) {
                       b.request.list().Item(0).syntax = SYN_OCTETSTR;
                       b.request.BindEdit(0, QStringLiteral("%h%h"), b.edits(2));
                       b.value() = QStringLiteral("AABBCC");
                       b.request.FillControls(-1);
                   }},
        FailureRow{"macAddressCollectedFromFiveEdits", -522,
                   [](Bench &b) {
                       b.request.list().Item(0).syntax = SYN_MACADDRESS;
                       b.request.BindEdit(0, QStringLiteral("%h%h%h%h%h"), b.edits(5));
                       b.request.CollectControls(-1);
                   }},
        FailureRow{"partBeyondTheValue", -519,
                   [](Bench &b) {
                       b.request.list().Item(0).syntax = SYN_OCTETSTR;
                       b.request.BindPart(0, 2, SYN_UINT16, nullptr, b.add<QLineEdit>());
                       b.value() = QStringLiteral("AABBCC");
                       b.request.FillControls(-1);
                   }}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(FillCollectBindings, UnbindTakesTheItemsControlsOutOfFillAndCollect)
{
    Bench bench(SYN_DISPLAYSTR);
    auto *edit = bench.add<QLineEdit>();
    bench.request.BindEdit(0, QStringLiteral("%s{l8}"), edit);
    EXPECT_NE(edit->validator(), nullptr); // the typing limit of "l8"
    bench.request.Unbind(0);
    EXPECT_TRUE(bench.request.Bindings().empty());
    EXPECT_FALSE(bench.request.Constraints().IsRegistered(edit));
    EXPECT_EQ(edit->validator(), nullptr);
    bench.value() = QStringLiteral("device");
    bench.request.FillControls(-1);
    EXPECT_TRUE(edit->text().isEmpty());
}

TEST(FillCollectBindings, InvalidItemsAreNeitherFilledNorCollected)
{
    Bench bench(SYN_DISPLAYSTR);
    auto *edit = bench.add<QLineEdit>();
    bench.request.BindEdit(0, QStringLiteral("%s"), edit);
    bench.request.list().Item(0).access = ACC_READWRITE | ACC_INVALID;
    bench.value() = QStringLiteral("device");
    bench.request.FillControls(-1);
    EXPECT_TRUE(edit->text().isEmpty());
    edit->setText(QStringLiteral("typed"));
    bench.request.CollectControls(-1);
    EXPECT_EQ(bench.value(), QStringLiteral("device"));
}

TEST(FillCollectBindings, ConstraintMessagesBelongToTheConstraintOwner)
{
    Bench bench(SYN_DISPLAYSTR);
    EXPECT_EQ(bench.request.Constraints().owner(), bench.form.get());
    QWidget other;
    bench.request.SetConstraintOwner(&other);
    EXPECT_EQ(bench.request.Constraints().owner(), &other);
}

TEST(FillCollectBindings, AFilledEditTakesTheDeviceValueAsItsLastAcceptedText)
{
    Bench bench(SYN_INTEGER);
    auto *edit = bench.add<QLineEdit>();
    bench.request.BindEdit(0, QStringLiteral("%u{n1x65535}"), edit);
    bench.value() = QStringLiteral("161");
    bench.request.FillControls(-1);
    EXPECT_EQ(bench.request.Constraints().LastValid(edit), QStringLiteral("161"));
}

TEST(FillCollectBindings, ComboBoxIsADropDownListOfTheLabels)
{
    Bench bench(SYN_INTEGER, &modes());
    auto *combo = bench.add<QComboBox>();
    combo->setEditable(true);
    bench.request.BindComboBox(0, combo);
    EXPECT_FALSE(combo->isEditable());
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(2), QStringLiteral("Wireless Client"));
    // The raw value selects its label too.
    bench.value() = QStringLiteral("2");
    bench.request.FillControls(-1);
    EXPECT_EQ(combo->currentIndex(), 1);
}

TEST(FillCollectBindings, SeveralSpecifiersTakeOneEditEach)
{
    Bench bench(SYN_IPADDRESS);
    const QList<QLineEdit *> edits = bench.edits(5);
    const int position =
        bench.request.BindEdit(0, QStringLiteral("%u{n0x255}%u{n0x255}%u{n0x255}%u{n0x255}"),
                               edits);
    ASSERT_EQ(position, 0);
    EXPECT_EQ(bench.request.Bindings().at(0).controlCount, 4);
    EXPECT_TRUE(bench.request.Constraints().IsRegistered(edits.at(3)));
    EXPECT_FALSE(bench.request.Constraints().IsRegistered(edits.at(4)));
}

// What the device sent is shown, kept and written back as it is: the typing filter is for the
// user's keys only. (A device VLAN ID of "-1" used to become "1" with a beep, and the next Set
// wrote 1.)
struct DeviceTextRow {
    const char *name;
    int syntax;
    const char *format;
    QString value;
};

class FillKeepsTheDeviceText : public ::testing::TestWithParam<DeviceTextRow> {};

TEST_P(FillKeepsTheDeviceText, ShownWithoutABeepAndCollectedBackUnchanged)
{
    const DeviceTextRow &row = GetParam();
    int beeps = 0;
    KtEditConstraint::SetBeepHook([&beeps] { ++beeps; });
    const auto restoreBeep = qScopeGuard([] { KtEditConstraint::SetBeepHook({}); });
    Bench bench(row.syntax);
    auto *edit = bench.add<QLineEdit>();
    bench.request.BindEdit(0, QString::fromLatin1(row.format), edit);
    bench.value() = row.value;
    bench.request.FillControls(-1);
    EXPECT_EQ(edit->text(), row.value);
    EXPECT_EQ(beeps, 0);
    EXPECT_EQ(bench.request.Constraints().LastValid(edit), row.value);
    bench.value().clear();
    bench.request.CollectControls(-1);
    EXPECT_EQ(bench.value(), row.value);

    // What the user types afterwards is filtered again.
    edit->clear();
    edit->insert(QStringLiteral("1x"));
    EXPECT_EQ(edit->text(), QStringLiteral("1"));
    EXPECT_EQ(beeps, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FillKeepsTheDeviceText,
    ::testing::Values(
        DeviceTextRow{"vlanIdMinusOne", SYN_INTEGER, "%u{n1x4094}", "-1"},
        DeviceTextRow{"hexEditWithText", SYN_DISPLAYSTR, "%h{l26}", "not-hex"},
        DeviceTextRow{"numberListWithBlanks", SYN_DISPLAYSTR, "%n,{l4}", "1, 6, 11"},
        DeviceTextRow{"signedWithAPlus", SYN_DISPLAYSTR, "%i", "+5"},
        DeviceTextRow{"skipCharacterKept", SYN_DISPLAYSTR, "%u{e.}", "10.5"},
        DeviceTextRow{"longerThanTheTypingLimit", SYN_DISPLAYSTR, "%u{l2}", "12345"}),
    [](const auto &row) { return std::string(row.param.name); });

// A window's own change handler still hears of a filled text: it reacts to the device's value.
TEST(FillKeepsTheDeviceText, ThePreviousChangeHandlerRunsForAFill)
{
    Bench bench(SYN_INTEGER);
    auto *edit = bench.add<QLineEdit>();
    bench.request.BindEdit(0, QStringLiteral("%u{n1x4094}"), edit);
    QStringList seen;
    bench.request.Constraints().SetPreviousChangeHandler(
        edit, [&seen](QLineEdit *changed) { seen << changed->text(); });
    bench.value() = QStringLiteral("-1");
    bench.request.FillControls(-1);
    EXPECT_EQ(seen, QStringList{QStringLiteral("-1")});
}

} // namespace
