// The AP mode list a capability mask gives, and the mapping between the shown entries and the
// device's modes, without a device.
#include "testenv.h"
#include "tfm_wirless.h"

#include <gtest/gtest.h>

namespace {

const QStringList kFive = {"Access Point", "PtP Bridge", "PtMP Bridge", "AP Repeater", "AP Client"};
const QStringList kSeven = {"Access Point", "WDS with AP", "WDS", "AP Repeater", "AP Client"};

TEST(WirelessModeLists, ChoicesFromTheCapabilityMask)
{
    const struct {
        const char *mask;
        QStringList expected;
    } rows[] = {
        {"31", kFive},
        {"127", kSeven},
        {"0", {}},
        {"1", {}},
        {"63", {}},  // highest bit 5
        {"255", {}}, // highest bit 7
        {"16", {"Access Point"}},
        // Names go by a running counter: bits 4, 1, 0 give the first three names.
        {"19", {"Access Point", "PtP Bridge", "PtMP Bridge"}},
        // Bits 2 and 4 of a seven-bit mask name nothing.
        {"84", {"Access Point"}},
        {"96", {"Access Point", "WDS with AP"}},
        {"", {}},
        {"abc", {}},
    };
    for (const auto &row : rows)
        EXPECT_EQ(TFM_Wirless::apModeChoices(QString::fromLatin1(row.mask)), row.expected)
            << "mask " << row.mask;
}

TEST(WirelessModeLists, TheDevicesModeAsShown)
{
    const struct {
        QStringList choices;
        const char *device;
        const char *shown;
    } rows[] = {
        {kSeven, "Access Point", "Access Point"},
        {kSeven, "PtP Bridge", "WDS with AP"},
        {kSeven, "PtMP Bridge", "WDS with AP"},
        {kSeven, "PtP Without", "WDS"},
        {kSeven, "P2MP Without", "WDS"},
        {kSeven, "AP Repeater", "AP Repeater"},
        {kSeven, "AP Client", "AP Client"},
        // A five-mode device names its bridges itself.
        {kFive, "PtMP Bridge", "PtMP Bridge"},
        {kFive, "PtP Bridge", "PtP Bridge"},
        {kFive, "P2MP Without", ""},
        {{"Access Point"}, "AP Client", ""},
        {kSeven, "", ""},
    };
    for (const auto &row : rows)
        EXPECT_EQ(TFM_Wirless::shownModeFor(row.choices, QString::fromLatin1(row.device)),
                  QString::fromLatin1(row.shown))
            << row.device;
}

TEST(WirelessModeLists, TheShownChoiceAsTheDevicesModeAndAsLayout)
{
    const struct {
        const char *shown;
        const char *device;
        TWirlessPageMode page;
    } rows[] = {
        {"Access Point", "Access Point", PageAccessPoint},
        {"WDS with AP", "PtMP Bridge", PageWdsWithAp},
        {"WDS", "P2MP Without", PageWds},
        {"PtP Bridge", "PtP Bridge", PageWdsWithAp},
        {"PtMP Bridge", "PtMP Bridge", PageWdsWithAp},
        {"AP Repeater", "AP Repeater", PageRepeater},
        {"AP Client", "AP Client", PageClient},
        {"", "", PageModeNone},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(TFM_Wirless::deviceModeFor(QString::fromLatin1(row.shown)),
                  QString::fromLatin1(row.device))
            << row.shown;
        EXPECT_EQ(TFM_Wirless::pageModeFor(QString::fromLatin1(row.shown)), row.page) << row.shown;
    }
}

} // namespace
