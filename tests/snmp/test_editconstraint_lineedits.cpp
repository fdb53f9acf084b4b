// Edit constraints on real line edits: typing filter, focus moves, exit checks and restores.
#include "ktdialogs.h"
#include "kteditconstraint.h"
#include "ktexception.h"
#include "kttypinglimit.h"
#include "testenv.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

namespace {

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// One character typed on the keyboard into the focused edit.
void typeChar(QLineEdit *edit, QChar c)
{
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(edit, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(edit, &release);
}

void typeText(QLineEdit *edit, const QString &text)
{
    for (const QChar c : text)
        typeChar(edit, c);
}

// The number of characters the user may type into edit, or -1 without a limit.
int typingLimit(const QLineEdit *edit)
{
    const auto *limit = dynamic_cast<const KtTypingLimit *>(edit->validator());
    return limit ? limit->limit() : -1;
}

class EditConstraint : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_form = std::make_unique<QWidget>();
        auto *layout = new QVBoxLayout(m_form.get());
        for (int i = 0; i < 3; ++i) {
            m_edits[i] = new QLineEdit(m_form.get());
            m_edits[i]->setObjectName(QStringLiteral("Ed_%1").arg(i));
            layout->addWidget(m_edits[i]);
        }
        m_form->show();
        QApplication::setActiveWindow(m_form.get());
        m_form->activateWindow();
        QElapsedTimer wait;
        wait.start();
        while (!m_form->isActiveWindow() && wait.elapsed() < 2000)
            QCoreApplication::processEvents();
        ASSERT_TRUE(m_form->isActiveWindow());
        m_constraint = std::make_unique<KtEditConstraint>(m_form.get());
        KtEditConstraint::SetBeepHook([this] { ++m_beeps; });
    }

    void TearDown() override
    {
        KtEditConstraint::SetBeepHook({});
        m_constraint.reset();
        m_form.reset();
    }

    // Leaves edit for the next one, as tabbing does, and lets the exit check run.
    void leave(QLineEdit *from, QLineEdit *to)
    {
        ASSERT_TRUE(from->hasFocus());
        to->setFocus(Qt::TabFocusReason);
        settle();
    }

    void focus(QLineEdit *edit)
    {
        edit->setFocus(Qt::TabFocusReason);
        settle();
        ASSERT_TRUE(edit->hasFocus());
        edit->end(false); // tabbing in selects everything; type after it instead
    }

    std::unique_ptr<QWidget> m_form;
    QLineEdit *m_edits[3] = {};
    std::unique_ptr<KtEditConstraint> m_constraint;
    KtDialogs::Script m_script;
    int m_beeps = 0;
};

TEST_F(EditConstraint, LetterTypedIntoUnsignedIsRemovedWithOneBeep)
{
    m_constraint->Register("%u", m_edits[0]);
    focus(m_edits[0]);
    typeText(m_edits[0], "12");
    typeChar(m_edits[0], QLatin1Char('a'));
    EXPECT_EQ(m_edits[0]->text(), "12");
    EXPECT_EQ(m_beeps, 1);
    typeChar(m_edits[0], QLatin1Char('3'));
    EXPECT_EQ(m_edits[0]->text(), "123");
    EXPECT_EQ(m_beeps, 1);
}

TEST_F(EditConstraint, LetterTypedInTheMiddleLeavesTheCursorThere)
{
    m_constraint->Register("%u", m_edits[0]);
    focus(m_edits[0]);
    typeText(m_edits[0], "1234");
    m_edits[0]->setCursorPosition(2);
    typeChar(m_edits[0], QLatin1Char('x'));
    typeChar(m_edits[0], QLatin1Char('9'));
    EXPECT_EQ(m_edits[0]->text(), "12934");
}

TEST_F(EditConstraint, PastedTextLosesEveryBadCharacter)
{
    m_constraint->Register("%h", m_edits[0]);
    m_edits[0]->setText("0g1h2");
    EXPECT_EQ(m_edits[0]->text(), "012");
    EXPECT_EQ(m_beeps, 2);
}

TEST_F(EditConstraint, SpecialTextsAreNotFiltered)
{
    m_constraint->Register("%u", m_edits[0]);
    m_edits[0]->setText("(NULL)");
    EXPECT_EQ(m_edits[0]->text(), "(NULL)");
    m_edits[0]->setText("(NOTDONE)");
    EXPECT_EQ(m_edits[0]->text(), "(NOTDONE)");
    EXPECT_EQ(m_beeps, 0);
}

TEST_F(EditConstraint, SkipCharacterIsRemovedAndMovesToTheNextEdit)
{
    m_constraint->RegisterFormat("%u{x255e.}%u{x255e.}", {m_edits[0], m_edits[1]});
    focus(m_edits[0]);
    typeText(m_edits[0], "192.");
    EXPECT_EQ(m_edits[0]->text(), "192");
    settle();
    EXPECT_TRUE(m_edits[1]->hasFocus());
    EXPECT_EQ(m_beeps, 0);
    typeText(m_edits[1], "168");
    EXPECT_EQ(m_edits[1]->text(), "168");
}

TEST_F(EditConstraint, AutoAdvanceAtFullLength)
{
    m_constraint->Register("%u{x255l3a}", m_edits[0]);
    EXPECT_EQ(typingLimit(m_edits[0]), 3);
    focus(m_edits[0]);
    typeText(m_edits[0], "25");
    settle();
    EXPECT_TRUE(m_edits[0]->hasFocus());
    typeChar(m_edits[0], QLatin1Char('5'));
    settle();
    EXPECT_TRUE(m_edits[1]->hasFocus());
}

TEST_F(EditConstraint, FillingAnEditTheUserIsNotInMovesNoFocus)
{
    m_constraint->Register("%u{x255l3a}", m_edits[1]);
    focus(m_edits[0]);
    m_edits[1]->setText("255");
    settle();
    EXPECT_TRUE(m_edits[0]->hasFocus());
}

TEST_F(EditConstraint, ReadBringingTheSameTextLeavesTheUsersCursorAndUndo)
{
    m_constraint->Register("%s", m_edits[0]);
    m_constraint->Fill(m_edits[0], QStringLiteral("ab"));
    focus(m_edits[0]);
    typeChar(m_edits[0], QLatin1Char('c'));
    m_edits[0]->setCursorPosition(1);
    m_constraint->Fill(m_edits[0], QStringLiteral("abc"));
    EXPECT_EQ(m_edits[0]->cursorPosition(), 1);
    EXPECT_TRUE(m_edits[0]->isUndoAvailable());
    m_constraint->Fill(m_edits[0], QStringLiteral("xyz"));
    EXPECT_EQ(m_edits[0]->text(), QStringLiteral("xyz"));
}

TEST_F(EditConstraint, PreviousChangeHandlerSettingTagMinusOneStopsTheAdvance)
{
    int calls = 0;
    m_constraint->Register("%u{l2a}", m_edits[0], [&calls](QLineEdit *edit) {
        ++calls;
        edit->setProperty("tag", -1);
    });
    focus(m_edits[0]);
    typeText(m_edits[0], "12");
    settle();
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(m_edits[0]->hasFocus());
}

TEST_F(EditConstraint, PortBoundsOnLeaving)
{
    m_constraint->Register("%u{n1x65535}", m_edits[0]);
    focus(m_edits[0]);
    typeText(m_edits[0], "80");
    leave(m_edits[0], m_edits[1]);
    EXPECT_TRUE(m_script.messages().isEmpty());
    EXPECT_EQ(m_constraint->LastValid(m_edits[0]), "80");

    focus(m_edits[0]);
    typeText(m_edits[0], "000");
    ASSERT_EQ(m_edits[0]->text(), "80000");
    leave(m_edits[0], m_edits[1]);
    ASSERT_EQ(m_script.messages().size(), 1);
    EXPECT_EQ(m_script.messages().at(0).text,
              "(KtCommon) Please enter a number between 1 and 65535!");
    EXPECT_EQ(m_script.messages().at(0).caption, KtDialogs::programFileName());
    EXPECT_EQ(m_edits[0]->text(), "80");
    EXPECT_TRUE(m_edits[0]->hasFocus());
}

TEST_F(EditConstraint, FixedLengthTextLeftShortGetsItsLastValidTextBack)
{
    m_constraint->Register("%s{l8f}", m_edits[0]);
    EXPECT_EQ(typingLimit(m_edits[0]), 8);
    focus(m_edits[0]);
    typeText(m_edits[0], "ABCDEFGH");
    leave(m_edits[0], m_edits[1]);
    ASSERT_TRUE(m_script.messages().isEmpty());

    focus(m_edits[0]);
    m_edits[0]->clear();
    typeText(m_edits[0], "ABCDE");
    leave(m_edits[0], m_edits[1]);
    ASSERT_EQ(m_script.texts(),
              QStringList{"(KtCommon) Please enter a string whose length is 8!"});
    EXPECT_EQ(m_edits[0]->text(), "ABCDEFGH");
    EXPECT_TRUE(m_edits[0]->hasFocus());
}

TEST_F(EditConstraint, AnotherWindowBecomingActiveIsNotLeavingTheEdit)
{
    // Our own message box activates; checking again then would open box after box.
    m_constraint->Register("%u{n1x5}", m_edits[0]);
    focus(m_edits[0]);
    typeText(m_edits[0], "9");
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(m_edits[0], &out);
    settle();
    EXPECT_TRUE(m_script.messages().isEmpty());
    EXPECT_EQ(m_edits[0]->text(), "9");
}

TEST_F(EditConstraint, WindowClosedByTheClickThatTookTheFocusIsNotChecked)
{
    m_constraint->Register("%u{n1x5}", m_edits[0]);
    focus(m_edits[0]);
    typeText(m_edits[0], "9");
    m_edits[1]->setFocus(Qt::MouseFocusReason);
    m_form->hide();
    settle();
    EXPECT_TRUE(m_script.messages().isEmpty());
}

TEST_F(EditConstraint, FocusTakenBackFromTheNextEditDoesNotCheckThatEdit)
{
    // The refused edit takes the focus back from the edit the user was moving to; that edit was
    // never worked in, so its own rule (here: not empty) must not show a second message.
    m_constraint->Register("%u{n1x5}", m_edits[0]);
    m_constraint->Register("%s{l8n}", m_edits[1]);
    focus(m_edits[0]);
    typeText(m_edits[0], "9");
    leave(m_edits[0], m_edits[1]);
    settle();
    EXPECT_EQ(m_script.texts(),
              QStringList{"(KtCommon) Please enter a number between 1 and 5!"});
    EXPECT_TRUE(m_edits[0]->hasFocus());

    // Leaving the next edit the user did work in still checks it.
    m_script.clear();
    m_edits[0]->setText("3");
    focus(m_edits[1]);
    leave(m_edits[1], m_edits[2]);
    EXPECT_EQ(m_script.texts(), QStringList{"(KtCommon) Empty value is not allowed!"});
}

TEST_F(EditConstraint, ValidateRunsTheExitRuleNow)
{
    m_constraint->Register("%u{n1x5}", m_edits[0]);
    m_edits[0]->setText("4");
    EXPECT_TRUE(m_constraint->Validate(m_edits[0]));
    EXPECT_EQ(m_constraint->LastValid(m_edits[0]), "4");
    m_edits[0]->setText("6");
    EXPECT_FALSE(m_constraint->Validate(m_edits[0]));
    EXPECT_EQ(m_script.texts(),
              QStringList{"(KtCommon) Please enter a number between 1 and 5!"});
    EXPECT_EQ(m_edits[0]->text(), "4");
}

TEST_F(EditConstraint, EmptyTextWithoutTheNotEmptyFlagRunsNothingElse)
{
    bool exitCalled = false;
    m_constraint->Register("%u{n1x5}", m_edits[0], {},
                           [&exitCalled](QLineEdit *) { exitCalled = true; });
    m_constraint->SetLastValid(m_edits[0], "3");
    focus(m_edits[0]);
    leave(m_edits[0], m_edits[1]);
    EXPECT_TRUE(m_script.messages().isEmpty());
    EXPECT_FALSE(exitCalled);
    EXPECT_EQ(m_constraint->LastValid(m_edits[0]), "3");
}

TEST_F(EditConstraint, EmptyTextWithTheNotEmptyFlagIsRefused)
{
    m_constraint->Register("%s{l8n}", m_edits[0]);
    focus(m_edits[0]);
    leave(m_edits[0], m_edits[1]);
    EXPECT_EQ(m_script.texts(), QStringList{"(KtCommon) Empty value is not allowed!"});
}

TEST_F(EditConstraint, PreviousExitHandlerSettingTagMinusOneRestoresTheLastValidText)
{
    m_constraint->Register("%s", m_edits[0], {}, [](QLineEdit *edit) {
        edit->setProperty("tag", edit->text() == QLatin1String("no") ? -1 : 0);
    });
    focus(m_edits[0]);
    typeText(m_edits[0], "yes");
    leave(m_edits[0], m_edits[1]);
    focus(m_edits[0]);
    m_edits[0]->clear();
    typeText(m_edits[0], "no");
    leave(m_edits[0], m_edits[1]);
    EXPECT_EQ(m_edits[0]->text(), "yes");
    EXPECT_TRUE(m_script.messages().isEmpty());
}

TEST_F(EditConstraint, WithoutStoreLastValidTheFirstTextStays)
{
    m_constraint->storeLastValid = false;
    m_constraint->Register("%u{n1x9}", m_edits[0]);
    focus(m_edits[0]);
    typeText(m_edits[0], "5");
    leave(m_edits[0], m_edits[1]);
    EXPECT_EQ(m_constraint->LastValid(m_edits[0]), "");
}

TEST_F(EditConstraint, BadSpecifierRegistersNothing)
{
    try {
        m_constraint->RegisterFormat("%u%q", {m_edits[0], m_edits[1]});
        FAIL() << "accepted";
    } catch (const KtException &e) {
        EXPECT_EQ(e.code(), -2);
    }
    EXPECT_FALSE(m_constraint->IsRegistered(m_edits[0]));
    EXPECT_FALSE(m_constraint->IsRegistered(m_edits[1]));
}

TEST_F(EditConstraint, RemoveGivesTheEditBackItsOwnHandler)
{
    int changes = 0;
    m_constraint->Register("%u", m_edits[0], [&changes](QLineEdit *) { ++changes; });
    m_constraint->Remove(m_edits[0]);
    EXPECT_FALSE(m_constraint->IsRegistered(m_edits[0]));
    m_edits[0]->setText("abc");
    EXPECT_EQ(m_edits[0]->text(), "abc");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(m_beeps, 0);
}

TEST_F(EditConstraint, WidthOption)
{
    m_constraint->Register("%u{w57}", m_edits[0]);
    EXPECT_EQ(m_edits[0]->width(), 57);
}

TEST_F(EditConstraint, DelimitedNumbersKeepTheirEditUnlimited)
{
    m_constraint->Register("%n,{l4f}", m_edits[0]);
    focus(m_edits[0]);
    typeText(m_edits[0], "1,,2,3,4");
    EXPECT_EQ(m_edits[0]->text(), "1,2,3,4");
    leave(m_edits[0], m_edits[1]);
    EXPECT_TRUE(m_script.messages().isEmpty());
}

TEST_F(EditConstraint, DelimitedNumbersDoNotAdvanceAfterAsManyCharactersAsNumbers)
{
    // Four characters are only "1,2," here: moving on then would cut the list short.
    m_constraint->Register("%n,{l4fa}", m_edits[0]);
    focus(m_edits[0]);
    typeText(m_edits[0], "1,2,");
    settle();
    EXPECT_TRUE(m_edits[0]->hasFocus());
    typeText(m_edits[0], "3,4");
    settle();
    EXPECT_TRUE(m_edits[0]->hasFocus());
    EXPECT_EQ(m_edits[0]->text(), "1,2,3,4");
}

// ---- The exit rule by itself --------------------------------------------------------------

struct CheckRow {
    const char *name;
    QString specifier;
    QString text;
    QString message; // empty: accepted
};

class ExitRule : public ::testing::TestWithParam<CheckRow> {};

TEST_P(ExitRule, AcceptsOrRefusesWithTheMessage)
{
    const CheckRow &row = GetParam();
    const std::optional<QString> refusal =
        KtEditConstraint::Check(KtFormatSpec::Parse(row.specifier), row.text);
    EXPECT_EQ(refusal.value_or(QString()), row.message);
}

const QString kBetween1And65535 = "(KtCommon) Please enter a number between 1 and 65535!";
const QString kDelimited = "(KtCommon) Please enter a delimited number string with delimiter "
                           "','.\n";

INSTANTIATE_TEST_SUITE_P(
    Texts, ExitRule,
    ::testing::Values(
        CheckRow{"portZero", "%u{n1x65535}", "0", kBetween1And65535},
        CheckRow{"portOne", "%u{n1x65535}", "1", ""},
        CheckRow{"portTop", "%u{n1x65535}", "65535", ""},
        CheckRow{"portAboveTop", "%u{n1x65535}", "65536", kBetween1And65535},
        CheckRow{"vlanTop", "%u{n1x4094}", "4095",
                 "(KtCommon) Please enter a number between 1 and 4094!"},
        CheckRow{"unsignedDefaultTop", "%u", "4294967296",
                 "(KtCommon) Please enter a number between 0 and 4294967295!"},
        CheckRow{"signedNegative", "%i{n-10x10}", "-10", ""},
        CheckRow{"signedMinusOnly", "%i", "-",
                 "(KtCommon) Please enter a number between -2147483648 and 2147483647!"},
        CheckRow{"realWithinBounds", "%f{n-1.5x2.5}", "-1.25", ""},
        CheckRow{"realOutside", "%f{n-1.5x2.5}", "2.75",
                 "(KtCommon) Please enter a number between -1.5 and 2.5!"},
        CheckRow{"nullAccepted", "%u{n1x5}", "(NULL)", ""},
        CheckRow{"notDoneAccepted", "%s{l2f}", "(NOTDONE)", ""},
        CheckRow{"stringTooLong", "%s{l4}", "abcde",
                 "(KtCommon) Please enter a string whose length is less than 4!"},
        CheckRow{"stringAtLimit", "%s{l4}", "abcd", ""},
        CheckRow{"stringFixed", "%s{l8f}", "abcde",
                 "(KtCommon) Please enter a string whose length is 8!"},
        CheckRow{"hexTooLong", "%h{l10}", "0123456789A",
                 "(KtCommon) Please enter a hex string whose length is less than 10!"},
        CheckRow{"hexFixed", "%h{l26f}", "0123",
                 "(KtCommon) Please enter a hex string whose length is 26!"},
        CheckRow{"listFourNumbers", "%n,{l4f}", "1,2,3,4", ""},
        CheckRow{"listThreeOfFour", "%n,{l4f}", "1,2,3",
                 kDelimited + "Here,the count of the number is equal to 4!"},
        CheckRow{"listTooMany", "%n,{l2}", "1,2,3",
                 kDelimited + "Here,the count of the number is less than 2!"},
        CheckRow{"listOutOfRange", "%n,{n1x4094}", "1,4095",
                 kDelimited + "Here,each number is between 1 and 4094!"},
        CheckRow{"listTrailingDelimiterIsZero", "%n,{n1x9}", "1,",
                 kDelimited + "Here,each number is between 1 and 9!"},
        CheckRow{"emptyAllowed", "%u{n1x5}", "", ""},
        CheckRow{"emptyRefused", "%u{n1x5l3n}", "", "(KtCommon) Empty value is not allowed!"}),
    [](const auto &row) { return std::string(row.param.name); });

TEST_F(EditConstraint, LengthLimitsTypingButNeverCutsAValueReadIntoTheEdit)
{
    m_constraint->Register("%s{l4}", m_edits[0]);
    // A read puts a longer value in: shown whole, so a write sends it back unchanged.
    m_edits[0]->setText("device-name");
    EXPECT_EQ(m_edits[0]->text(), "device-name");

    m_edits[0]->clear();
    focus(m_edits[0]);
    typeText(m_edits[0], "abcdef");
    EXPECT_EQ(m_edits[0]->text(), "abcd");

    // Taken away with the constraint, as the edit was before.
    m_constraint->Remove(m_edits[0]);
    EXPECT_EQ(m_edits[0]->validator(), nullptr);
    typeChar(m_edits[0], QLatin1Char('e'));
    EXPECT_EQ(m_edits[0]->text(), "abcde");
}

// A window changes an edit's typing limit after binding (the WEP key edits follow key type and
// size); the format's own length stays in force beside it, and a value read into the edit is
// never cut by either.
TEST_F(EditConstraint, AWindowLimitSetAfterRegisteringJoinsTheFormatsOwn)
{
    QLineEdit *key = m_edits[0];
    m_constraint->Register("%s{l32}", key);
    KtTypingLimit::SetLimit(key, 10); // "HEX", "64 Bits"
    EXPECT_EQ(KtTypingLimit::Limit(key), 10);
    focus(key);
    typeText(key, "0123456789AB");
    EXPECT_EQ(key->text(), "0123456789");

    KtTypingLimit::SetLimit(key, 26); // "HEX", "128 Bits"
    typeText(key, "ABCDEF");
    EXPECT_EQ(key->text(), "0123456789ABCDEF");

    // The window's limit cannot lift the format's.
    KtTypingLimit::SetLimit(key, 40);
    EXPECT_EQ(KtTypingLimit::Limit(key), 32);
    KtTypingLimit::SetLimit(key, 0);
    EXPECT_EQ(KtTypingLimit::Limit(key), 32);

    // A shorter limit than the text: the text stays, only typing is held back.
    KtTypingLimit::SetLimit(key, 5); // "ASCII", "64 Bits"
    EXPECT_EQ(key->text(), "0123456789ABCDEF");
    typeChar(key, QLatin1Char('x'));
    EXPECT_EQ(key->text(), "0123456789ABCDEF");
    key->clear();
    typeText(key, "abcdefg");
    EXPECT_EQ(key->text(), "abcde");
    m_constraint->Fill(key, "a longer device value");
    EXPECT_EQ(key->text(), "a longer device value");

    // Without the constraint the window's limit stays; without both the edit is free again.
    m_constraint->Remove(key);
    EXPECT_EQ(KtTypingLimit::Limit(key), 5);
    KtTypingLimit::SetLimit(key, 0);
    EXPECT_EQ(key->validator(), nullptr);
}

// An edit the window limited before binding keeps that limit when the constraint comes and
// goes.
TEST_F(EditConstraint, AWindowLimitSetBeforeRegisteringOutlivesTheConstraint)
{
    QLineEdit *ssid = m_edits[0];
    KtTypingLimit::SetLimit(ssid, 32);
    m_constraint->Register("%s", ssid);
    EXPECT_EQ(KtTypingLimit::Limit(ssid), 32);
    m_constraint->Register("%s{l8}", ssid);
    EXPECT_EQ(KtTypingLimit::Limit(ssid), 8);
    m_constraint->Remove(ssid);
    EXPECT_EQ(KtTypingLimit::Limit(ssid), 32);
}

} // namespace
