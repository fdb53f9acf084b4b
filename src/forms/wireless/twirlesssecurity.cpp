#include "twirlesssecurity.h"

#include "ktdialogs.h"
#include "ktoptionlist.h"
#include "ktsnmprequest2edits.h"
#include "ktsnmpvaritem.h"
#include "kttypinglimit.h"
#include "tfm_wirless.h"
#include "tmainform.h"
#include "wirelesssecurityrules.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QWidget>

#include <vector>

using namespace SecurityRules;

namespace {

// ---- Device variables (below 1.3.6.1.4.1.32473.11.37; b is the band, 1 = 802.11a) ----

QString vendorOid(const QString &suffix)
{
    return QStringLiteral("1.3.6.1.4.1.32473.11.37") + suffix;
}

const KtOptionList &cipherOptions()
{
    static const KtOption table[]
        = {{1, nullptr, "Auto"}, {2, nullptr, "AES"}, {3, nullptr, "TKIP"}, {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

KtSNMPVarItem item(const QString &suffix, const char *name, int syntax, int access,
                   const KtOptionList *options = nullptr)
{
    return makeVarItem(vendorOid(suffix), QString::fromLatin1(name), syntax, access, options);
}

// Security: authentication, encryption and valid key of band a, the same of band g, then the
// four keys of band a and of band g. One list for both bands; each band's request uses its own
// items and leaves the other band's invalid.
enum SecurityItem {
    AuthenticationItem = 0,
    EncryptionItem,
    ValidKeyItem,
    ItemsPerBand,
    FirstKey = 6
};

int securityItem(int band, SecurityItem which)
{
    return band * ItemsPerBand + which;
}

int keyItem(int band, int key)
{
    return FirstKey + band * TWirlessSecurity::KeyCount + key;
}

std::vector<KtSNMPVarItem> securityTable(int band)
{
    std::vector<KtSNMPVarItem> table;
    for (int b = 1; b <= 2; ++b) {
        const QString n = QString::number(b);
        table.push_back(item(QStringLiteral(".4.2.5.1.1.1.") + n, "adSecAuthentication",
                             SYN_INTEGER, ACC_INVALID, &authenticationOptions()));
        table.push_back(item(QStringLiteral(".4.2.5.1.1.2.") + n, "adSecEncryption", SYN_INTEGER,
                             ACC_INVALID, &encryptionOptions()));
        table.push_back(item(QStringLiteral(".4.2.5.1.1.3.") + n, "adSecValidKey", SYN_INTEGER,
                             ACC_INVALID, &keyIndexOptions()));
    }
    for (const char *radio : {"a", "g"}) {
        for (int key = 1; key <= TWirlessSecurity::KeyCount; ++key) {
            const int b = radio[0] == 'a' ? 1 : 2;
            table.push_back(item(QStringLiteral(".4.2.5.3.1.1.%1.%2").arg(b).arg(key),
                                 radio[0] == 'a' ? "adSecKey-80211a" : "adSecKey-80211g",
                                 SYN_DISPLAYSTR, ACC_INVALID));
        }
    }
    table.push_back({});
    // The band's own items.
    for (SecurityItem which : {AuthenticationItem, EncryptionItem, ValidKeyItem})
        table[securityItem(band, which)].access = ACC_READWRITE;
    for (int key = 0; key < TWirlessSecurity::KeyCount; ++key)
        table[keyItem(band, key)].access = ACC_READWRITE;
    return table;
}

// RADIUS: the server, port and secret are one for both bands.
// (Named apart from the panels: inside the class RadiusServer is the panel.)
enum RadiusItem {
    RadiusCipherItem = 0,
    RadiusPortItem,
    RadiusGroupKeyItem,
    RadiusServerItem,
    RadiusSecretItem
};

std::vector<KtSNMPVarItem> radiusTable(int band)
{
    const QString b = QString::number(band + 1);
    return {
        item(QStringLiteral(".4.2.5.1.1.5.") + b, "adSecCipherType", SYN_INTEGER, ACC_READWRITE,
             &cipherOptions()),
        item(QStringLiteral(".4.2.5.2.4.0"), "Sec RADIUS Port", SYN_INTEGER, ACC_READWRITE),
        item(QStringLiteral(".4.2.5.1.1.6.") + b, "adSecGroupKeyUpdateInterval", SYN_INTEGER,
             ACC_READWRITE),
        item(QStringLiteral(".4.2.5.2.3.0"), "Sec RADIUS Server", SYN_DISPLAYSTR, ACC_READWRITE),
        item(QStringLiteral(".4.2.5.2.5.0"), "Sec RADIUS Secret", SYN_DISPLAYSTR, ACC_READWRITE),
        {}};
}

enum PskItem { PskCipher = 0, PskGroupKey, PskPassPhrase };

std::vector<KtSNMPVarItem> pskTable(int band)
{
    const QString b = QString::number(band + 1);
    return {
        item(QStringLiteral(".4.2.5.1.1.5.") + b, "adSecCipherType", SYN_INTEGER, ACC_READWRITE,
             &cipherOptions()),
        item(QStringLiteral(".4.2.5.1.1.6.") + b, "adSecGroupKeyUpdateInterval", SYN_INTEGER,
             ACC_READWRITE),
        item(QStringLiteral(".4.2.5.1.1.4.") + b, "adSecPassPhrase", SYN_DISPLAYSTR, ACC_READWRITE),
        {}};
}

// The encryption (column 5) or the authentication (column 4) of the band's secondary SSIDs,
// rows 2 .. 8 of the multi-SSID table.
std::vector<KtSNMPVarItem> secondaryTable(int band, int column)
{
    std::vector<KtSNMPVarItem> table;
    for (int index = 2; index <= 1 + TWirlessSecurity::SecondaryCount; ++index)
        table.push_back(
            item(QStringLiteral(".4.2.9.2.1.%1.%2.%3").arg(column).arg(band + 1).arg(index),
                 column == 5 ? "adMSSIDEncryption" : "adMSSIDAuth", SYN_INTEGER, ACC_INVALID,
                 column == 5 ? &encryptionOptions() : &mssidAuthenticationOptions()));
    table.push_back({});
    return table;
}

// ---- Texts ----

const QString kError = QStringLiteral("Error");
const QString kWarning = QStringLiteral("Warning");
const QString kEnable = QStringLiteral("Enable");
const QString kDisable = QStringLiteral("Disable");
const QString kSharedKey = QStringLiteral("Shared Key");
const QString kTkip = QStringLiteral("TKIP");

QStringList labelsOf(const KtOptionList &list)
{
    QStringList labels;
    for (int i = 0; i < list.Count(); ++i)
        labels << list.Label(i);
    return labels;
}

// ---- Controls ----

QComboBox *comboBox(QWidget *parent, const QString &name)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return box;
}

QLineEdit *lineEdit(QWidget *parent, const QString &name, int limit)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setValidator(new KtTypingLimit(edit, limit));
    return edit;
}

// Secrets show one "*" per character, can be neither copied nor dragged out, and are never
// shown in any other way.
void mask(QLineEdit *edit)
{
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
}

void setEditable(QLineEdit *edit, bool editable)
{
    edit->setReadOnly(!editable);
    // Read-only fields in the button face colour, editable ones in the window colour.
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base,
                     edit->window()->palette().color(editable ? QPalette::Base : QPalette::Button));
    edit->setPalette(palette);
}

TWirlessRefusal refusalOf(const QString &text, const QString &caption, QWidget *control,
                          TPageWindow::Refusal::Effect effect = TPageWindow::Refusal::Focus)
{
    TWirlessRefusal refusal;
    refusal.refusal.message = text;
    refusal.refusal.control = control;
    refusal.refusal.effect = effect;
    refusal.caption = caption;
    return refusal;
}

} // namespace

// ---- Construction ----

TWirlessSecurity::TWirlessSecurity(TFM_Wirless &window, int band, QWidget *area)
    : m_window(window), m_band(band), m_area(area)
{
    struct Names {
        const char *bandA;
        const char *bandG;
        const char *title;
    };
    static const Names names[PanelCount] = {
        {"GroupBox4", "Ecry_Group_g", " Key Settings "},
        {"GroupBox5", "EAP_Group_g", " Radius Server Settings "},
        {"GroupBox6", "PSK_Group_g", " PassPhrase Settings "},
    };
    // The area keeps a layout of its own: a hidden panel takes no room, so the shown one
    // stands where each of them stands.
    auto *layout = qobject_cast<QVBoxLayout *>(area->layout());
    if (!layout) {
        layout = new QVBoxLayout(area);
        layout->setContentsMargins(0, 0, 0, 0);
    }
    for (int i = 0; i < PanelCount; ++i) {
        const Names &n = names[i];
        auto *group = new QGroupBox(QString::fromLatin1(n.title), area);
        group->setObjectName(QString::fromLatin1(band == 0 ? n.bandA : n.bandG));
        group->hide();
        layout->addWidget(group);
        m_panels[i] = group;
    }
    buildAuthentication();
    buildKeySettings();
    buildRadiusServer();
    buildPassPhrase();
    buildSecondaries();
    connectHandlers();
}

TWirlessSecurity::~TWirlessSecurity() = default;

void TWirlessSecurity::showPanel(std::optional<Panel> which)
{
    for (int i = 0; i < PanelCount; ++i)
        m_panels[i]->setVisible(which && *which == i);
}

void TWirlessSecurity::buildAuthentication()
{
    const bool a = m_band == TFM_Wirless::BandA;
    authenticationShown = comboBox(m_area, a ? QStringLiteral("Ed_SecAuthaTemp")
                                             : QStringLiteral("Ed_SecAuthgTemp"));
    authenticationShown->setMinimumWidth(180);
    authentication
        = comboBox(m_area, a ? QStringLiteral("Ed_SecAutha") : QStringLiteral("Ed_SecAuthg"));
    authentication->hide();
    // The row lines up with the page's rows above it.
    auto *label = new QLabel(QStringLiteral("Authentication"), m_area);
    const QFormLayout *fields = m_window.page(m_band).fields;
    for (int i = 0; fields && i < fields->rowCount(); ++i) {
        if (const QLayoutItem *above = fields->itemAt(i, QFormLayout::LabelRole))
            label->setMinimumWidth(qMax(label->minimumWidth(), above->sizeHint().width()));
    }
    auto *row = new QFormLayout;
    row->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    row->addRow(label, authenticationShown);
    static_cast<QVBoxLayout *>(m_area->layout())->insertLayout(0, row);
}

void TWirlessSecurity::buildKeySettings()
{
    const bool a = m_band == TFM_Wirless::BandA;
    QGroupBox *group = m_panels[KeySettings];
    encryption
        = comboBox(group, a ? QStringLiteral("Ed_SecEncypa") : QStringLiteral("Ed_SecEncypg"));
    keyType = comboBox(group, a ? QStringLiteral("Ed_KeyType") : QStringLiteral("Ed_KeyType_g"));
    keySize = comboBox(group, a ? QStringLiteral("Ed_KeySize") : QStringLiteral("Ed_KeySize_g"));
    validKey
        = comboBox(group, a ? QStringLiteral("Ed_SecValKeya") : QStringLiteral("Ed_SecValKeyg"));
    keyType->addItems(keyTypeLabels());
    keySize->addItems(keySizeLabels());
    validKey->addItems(keyChoices(false));
    m_validKeyBound = comboBox(group, a ? QStringLiteral("Ed_SecValKeyaBound")
                                        : QStringLiteral("Ed_SecValKeygBound"));
    m_validKeyBound->hide();
    static const char *const captions[KeyCount]
        = {"First Key", "Second Key", "Third Key", "Fourth Key"};
    auto *left = new QFormLayout;
    left->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    left->addRow(QStringLiteral("Encryption "), encryption);
    left->addRow(QStringLiteral("Key Type"), keyType);
    left->addRow(QStringLiteral("Key Size"), keySize);
    left->addRow(QStringLiteral("Valid Key"), validKey);
    auto *right = new QFormLayout;
    right->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    for (int n = 0; n < KeyCount; ++n) {
        keys[n] = lineEdit(group, QStringLiteral("Ed_Key%1%2").arg(n + 1).arg(a ? u'a' : u'g'), 32);
        keys[n]->setMinimumWidth(230);
        mask(keys[n]);
        right->addRow(QString::fromLatin1(captions[n]), keys[n]);
    }
    auto *columns = new QHBoxLayout(group);
    columns->addLayout(left);
    columns->addSpacing(12);
    columns->addLayout(right);
    columns->addStretch(1);
    applyKeyLimits();
}

void TWirlessSecurity::buildRadiusServer()
{
    const QString g = m_band == TFM_Wirless::BandA ? QString() : QStringLiteral("_g");
    QGroupBox *group = m_panels[RadiusServer];
    radiusCipher = comboBox(group, QStringLiteral("CiphertypeComboBox") + g);
    radiusGroupKey = lineEdit(group, QStringLiteral("GroupKeyEdit") + g, 7);
    radiusServer = lineEdit(group, QStringLiteral("RadiusServerEdit") + g, 15);
    radiusPort = lineEdit(group, QStringLiteral("RadiusportEdit") + g, 5);
    radiusSecret = lineEdit(group, QStringLiteral("RadiusSecretEdit") + g, 32);
    mask(radiusSecret);
    radiusGroupKey->setFixedWidth(70);
    radiusServer->setMinimumWidth(120);
    radiusPort->setFixedWidth(60);
    radiusSecret->setMinimumWidth(230);
    auto *interval = new QHBoxLayout;
    interval->addWidget(radiusGroupKey);
    interval->addWidget(new QLabel(QStringLiteral(" [ 300 - 9999999 ]"), group));
    auto *left = new QFormLayout;
    left->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    left->addRow(QStringLiteral("Cipher Type"), radiusCipher);
    left->addRow(QStringLiteral("Group Key Update Interval"), interval);
    auto *right = new QFormLayout;
    right->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    right->addRow(QStringLiteral("Radius Server"), radiusServer);
    right->addRow(QStringLiteral("Radius Port (1-65535)"), radiusPort);
    right->addRow(QStringLiteral("Radius Secret"), radiusSecret);
    auto *columns = new QHBoxLayout(group);
    columns->addLayout(left);
    columns->addSpacing(12);
    columns->addLayout(right);
    columns->addStretch(1);
}

void TWirlessSecurity::buildPassPhrase()
{
    const QString g = m_band == TFM_Wirless::BandA ? QString() : QStringLiteral("_g");
    QGroupBox *group = m_panels[PassPhrase];
    pskCipherShown = comboBox(group, QStringLiteral("CipherforPSKTempBox") + g);
    pskCipher = comboBox(group, QStringLiteral("CipherforPSKBox") + g);
    pskCipher->hide();
    // Until a mode chooses its list the whole list is offered (the repeater and client modes
    // keep the list they find).
    pskCipherShown->addItems(labelsOf(cipherOptions()));
    pskGroupKey = lineEdit(group, QStringLiteral("GroupKeyPSKEdit") + g, 7);
    pskGroupKey->setFixedWidth(70);
    passPhrase = lineEdit(group, QStringLiteral("PassPhrasePSKEdit") + g, 63);
    passPhrase->setMinimumWidth(360);
    mask(passPhrase);
    auto *interval = new QHBoxLayout;
    interval->addWidget(pskGroupKey);
    interval->addWidget(new QLabel(QStringLiteral(" [ 300 - 9999999 ]"), group));
    interval->addStretch(1);
    auto *form = new QFormLayout(group);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(QStringLiteral("Cipher Type"), pskCipherShown);
    form->addRow(QStringLiteral("Group Key Update Interval"), interval);
    form->addRow(QStringLiteral("PassPhrase"), passPhrase);
}

void TWirlessSecurity::buildSecondaries()
{
    const QString g = m_band == TFM_Wirless::BandA ? QString() : QStringLiteral("_g");
    for (int i = 0; i < SecondaryCount; ++i) {
        secondaryEncryption[i] = comboBox(m_area, QStringLiteral("CB_MultEncyt%1").arg(i + 1) + g);
        secondaryAuthentication[i]
            = comboBox(m_area, QStringLiteral("CB_MultiAuth%1").arg(i + 1) + g);
        secondaryEncryption[i]->hide();
        secondaryAuthentication[i]->hide();
    }
}

void TWirlessSecurity::connectHandlers()
{
    QObject::connect(authenticationShown, &QComboBox::activated, &m_window,
                     [this] { authenticationChosen(); });
    QObject::connect(encryption, &QComboBox::activated, &m_window, [this] { encryptionChanged(); });
    QObject::connect(keyType, &QComboBox::activated, &m_window, [this] { keyTypeChanged(); });
    QObject::connect(keySize, &QComboBox::activated, &m_window, [this] { keySizeChanged(); });
    QObject::connect(validKey, &QComboBox::activated, &m_window, [this] { validKeyChanged(); });
    QObject::connect(pskCipherShown, &QComboBox::activated, &m_window,
                     [this] { pskCipherChosen(); });
    for (int n = 0; n < KeyCount; ++n)
        QObject::connect(keys[n], &QLineEdit::textEdited, &m_window,
                         [this, n] { m_keyTyped[n] = true; });
    QObject::connect(radiusServer, &QLineEdit::textEdited, &m_window,
                     [this] { shareRadiusText(&TWirlessSecurity::radiusServer); });
    QObject::connect(radiusPort, &QLineEdit::textEdited, &m_window,
                     [this] { shareRadiusText(&TWirlessSecurity::radiusPort); });
    QObject::connect(radiusSecret, &QLineEdit::textEdited, &m_window,
                     [this] { shareRadiusText(&TWirlessSecurity::radiusSecret); });
}

// ---- Creation and Refresh ----

void TWirlessSecurity::createRequests()
{
    QStatusBar *status = m_window.StatusBar;
    const auto adopt = [this, status](const std::vector<KtSNMPVarItem> &table) {
        KtSNMPRequest2Edits *request = m_window.adoptRequest(
            std::make_unique<KtSNMPRequest2Edits>(&m_window, table.data(), MVT_SV));
        request->mode = KtSNMPRequest2Controls::Synchronous;
        request->SetStatusControl(status);
        TFM_Wirless::reportErrorsOnly(request);
        return request;
    };

    m_security = adopt(securityTable(m_band));
    m_security->BindComboBox(securityItem(m_band, AuthenticationItem), authentication);
    m_security->BindComboBox(securityItem(m_band, EncryptionItem), encryption);
    // The valid key shown may list only "First" and "Fourth": the one bound is a hidden box
    // with all four, set from the shown one before a write.
    m_security->BindComboBox(securityItem(m_band, ValidKeyItem), m_validKeyBound);
    for (int n = 0; n < KeyCount; ++n)
        m_security->BindEdit(keyItem(m_band, n), QStringLiteral("%s"), keys[n]);
    m_security->afterGetHook = [this](KtSNMPRequest2Edits *) { keysRead(); };

    m_radius = adopt(radiusTable(m_band));
    m_radius->BindComboBox(RadiusCipherItem, radiusCipher);
    m_radius->BindEdit(RadiusPortItem, QStringLiteral("%u{n1x65535}"), radiusPort);
    m_radius->BindEdit(RadiusGroupKeyItem, QStringLiteral("%u{n300x9999999}"), radiusGroupKey);
    m_radius->BindEdit(RadiusServerItem, QStringLiteral("%s"), radiusServer);
    m_radius->BindEdit(RadiusSecretItem, QStringLiteral("%s"), radiusSecret);

    m_psk = adopt(pskTable(m_band));
    m_psk->BindComboBox(PskCipher, pskCipher);
    m_psk->BindEdit(PskGroupKey, QStringLiteral("%u{n300x9999999}"), pskGroupKey);
    m_psk->BindEdit(PskPassPhrase, QStringLiteral("%s"), passPhrase);

    m_secondaryEncryption = adopt(secondaryTable(m_band, 5));
    m_secondaryAuthentication = adopt(secondaryTable(m_band, 4));
    for (int i = 0; i < SecondaryCount; ++i) {
        m_secondaryEncryption->BindComboBox(i, secondaryEncryption[i]);
        m_secondaryAuthentication->BindComboBox(i, secondaryAuthentication[i]);
    }

    // Until the device has told its values the boxes show nothing (and Apply writes none).
    for (QComboBox *box : {authentication, encryption, m_validKeyBound, radiusCipher, pskCipher})
        box->setCurrentIndex(-1);
    for (int i = 0; i < SecondaryCount; ++i) {
        secondaryEncryption[i]->setCurrentIndex(-1);
        secondaryAuthentication[i]->setCurrentIndex(-1);
    }
}

void TWirlessSecurity::create()
{
    createRequests();
    applyKeyLimits();
    m_window.read(m_security);
    m_window.read(m_radius);
    m_window.read(m_psk);
    m_rememberedGroupKey = radiusGroupKey->text();
}

void TWirlessSecurity::keysRead()
{
    const QString valid = m_validKeyBound->currentText();
    const int position = keyIndexOptions().IndexOfLabel(valid);
    if (position >= 0)
        m_validKeyText = valid;
    validKey->setCurrentIndex(validKey->findText(valid));
    // The key size of the selected key, from its length (the device shows one "*" per digit).
    if (position >= 0) {
        if (const auto size = keySizeForLength(keys[position]->text().size()))
            keySize->setCurrentIndex(*size);
    }
    m_keyTyped.fill(false);
    applyKeyLimits();
    applyKeyEditStates();
}

void TWirlessSecurity::rebuildValidKeys(const QStringList &choices)
{
    const QSignalBlocker quiet(validKey);
    validKey->clear();
    validKey->addItems(choices);
    const int remembered = validKey->findText(m_validKeyText);
    validKey->setCurrentIndex(remembered >= 0 ? remembered : 0);
}

void TWirlessSecurity::narrowValidKeys()
{
    if (!validKey->currentText().isEmpty())
        m_validKeyText = validKey->currentText();
    bool wpaOnRadio = false;
    if (m_window.mssidEnabled(m_band)) {
        for (const TFM_Wirless::MssidRow &row : m_window.mssidRows(m_band + 1)) {
            if (row.index >= 2
                && usesWpaKeySlots({row.state, row.authentication, row.encryption, row.keyIndex}))
                wpaOnRadio = true;
        }
    }
    rebuildValidKeys(keyChoices(wpaOnRadio));
    applyKeyEditStates();
}

void TWirlessSecurity::refresh()
{
    rebuildValidKeys(keyChoices(false));
    m_window.read(m_security);
    m_window.read(m_radius);
    m_window.read(m_psk);
}

void TWirlessSecurity::resetAfterRefresh()
{
    keyType->setCurrentIndex(Hex);
    applyKeyLimits();
    applyKeyEditStates();
}

// ---- The page ----

QStringList TWirlessSecurity::authenticationChoices(TWirlessPageMode mode)
{
    const QStringList all = labelsOf(authenticationOptions());
    switch (mode) {
    case PageWdsWithAp:
    case PageWds:
    case PageRepeater: {
        QStringList choices;
        for (const QString &label : all) {
            if (!isEnterprise(label))
                choices << label;
        }
        return choices;
    }
    case PageClient:
        return {all.at(OpenSystem - 1), all.at(SharedKey - 1), all.at(WpaPersonal - 1)};
    case PageAccessPoint:
    case PageModeNone:
        break;
    }
    return all;
}

std::optional<QStringList> TWirlessSecurity::pskCipherChoices(TWirlessPageMode mode)
{
    switch (mode) {
    case PageAccessPoint:
    case PageModeNone:
        return labelsOf(cipherOptions());
    case PageWdsWithAp:
        return QStringList{QStringLiteral("Auto"), QStringLiteral("AES")};
    case PageWds:
        return QStringList{QStringLiteral("AES")};
    case PageRepeater:
    case PageClient:
        break;
    }
    return std::nullopt;
}

void TWirlessSecurity::selectDeviceEntry(QComboBox *shown, const QComboBox *bound)
{
    // A box the device never filled shows nothing here either.
    if (bound->currentIndex() < 0) {
        shown->setCurrentIndex(-1);
        return;
    }
    const int device = shown->findText(bound->currentText());
    shown->setCurrentIndex(device >= 0 ? device : (shown->count() > 0 ? 0 : -1));
}

void TWirlessSecurity::copyChoice(const QComboBox *shown, QComboBox *bound)
{
    if (shown->currentIndex() < 0)
        return;
    const int position = bound->findText(shown->currentText());
    if (position >= 0)
        bound->setCurrentIndex(position);
}

void TWirlessSecurity::applyPanels(TWirlessPageMode mode)
{
    m_mode = mode;
    {
        const QSignalBlocker quiet(authenticationShown);
        authenticationShown->clear();
        authenticationShown->addItems(authenticationChoices(mode));
        selectDeviceEntry(authenticationShown, authentication);
    }
    if (const auto ciphers = pskCipherChoices(mode)) {
        const QSignalBlocker quiet(pskCipherShown);
        pskCipherShown->clear();
        pskCipherShown->addItems(*ciphers);
    }
    selectDeviceEntry(pskCipherShown, pskCipher);
    // What the box shows is what Apply writes.
    copyChoice(pskCipherShown, pskCipher);
    applySecurityPanel();
}

void TWirlessSecurity::selectFirstEntries()
{
    // Without the capability masks no mode list is built; the authentication stays the
    // device's (the first entry, "Open System", would take the radio's security away on Apply).
    selectDeviceEntry(authenticationShown, authentication);
    applySecurityPanel();
}

void TWirlessSecurity::applySecurityPanel()
{
    copyChoice(authenticationShown, authentication);
    const QString chosen = authenticationShown->currentText();
    switch (kindOf(chosen)) {
    case Kind::Wep:
        showPanel(KeySettings);
        break;
    case Kind::Personal:
        showPanel(PassPhrase);
        break;
    case Kind::Enterprise:
        showPanel(RadiusServer);
        break;
    case Kind::Unknown:
        showPanel(std::nullopt);
        break;
    }
    // Shared Key authenticates with the WEP key: encryption cannot be off.
    if (chosen == kSharedKey) {
        encryption->setCurrentIndex(encryption->findText(kEnable));
        encryption->setEnabled(false);
    } else {
        encryption->setEnabled(true);
    }
    // A client joins with TKIP.
    const bool client = m_mode == PageClient;
    if (client) {
        if (pskCipherShown->findText(kTkip) < 0) {
            const QSignalBlocker quiet(pskCipherShown);
            pskCipherShown->clear();
            pskCipherShown->addItems(labelsOf(cipherOptions()));
        }
        pskCipherShown->setCurrentIndex(pskCipherShown->findText(kTkip));
        pskCipher->setCurrentIndex(pskCipher->findText(kTkip));
    }
    pskCipherShown->setEnabled(!client);
    radiusCipher->setEnabled(!client);
    applyKeyEditStates();
}

int TWirlessSecurity::selectedKey() const
{
    return keyIndexOptions().IndexOfLabel(validKey->currentText()) + 1;
}

void TWirlessSecurity::applyKeyEditStates()
{
    const bool on = encryption->currentText() == kEnable;
    keyType->setEnabled(on);
    keySize->setEnabled(on);
    validKey->setEnabled(on);
    const int selected = selectedKey();
    for (int n = 0; n < KeyCount; ++n)
        setEditable(keys[n], on && n + 1 == selected);
}

void TWirlessSecurity::applyKeyLimits()
{
    const int limit = keyLength(static_cast<KeyType>(qMax(0, keyType->currentIndex())),
                                static_cast<KeySize>(qMax(0, keySize->currentIndex())));
    for (QLineEdit *key : keys)
        KtTypingLimit::SetLimit(key, limit);
}

void TWirlessSecurity::shareRadiusText(QLineEdit *TWirlessSecurity::*edit)
{
    TWirlessSecurity &other = m_window.security(1 - m_band);
    (other.*edit)->setText((this->*edit)->text());
}

// ---- Handlers ----

void TWirlessSecurity::authenticationChosen()
{
    applySecurityPanel();
}

void TWirlessSecurity::encryptionChanged()
{
    applySecurityPanel();
}

void TWirlessSecurity::keyTypeChanged()
{
    // An ASCII key is typed anew; the stored keys are hex digits.
    if (keyType->currentIndex() == Ascii) {
        for (QLineEdit *key : keys)
            key->clear();
    }
    applyKeyLimits();
}

void TWirlessSecurity::keySizeChanged()
{
    applyKeyLimits();
}

void TWirlessSecurity::validKeyChanged()
{
    applyKeyEditStates();
}

void TWirlessSecurity::pskCipherChosen()
{
    copyChoice(pskCipherShown, pskCipher);
}

// ---- Apply ----

QString TWirlessSecurity::ieeeBand() const
{
    return m_band == TFM_Wirless::BandA ? QStringLiteral("IEEE802.11a")
                                        : QStringLiteral("IEEE802.11g");
}

QString TWirlessSecurity::dottedBand() const
{
    return m_band == TFM_Wirless::BandA ? QStringLiteral("802.11a") : QStringLiteral("802.11g");
}

void TWirlessSecurity::resetAuthenticationForWds()
{
    // A WDS link has no RADIUS server behind it.
    if (kindOf(authentication->currentText()) != Kind::Enterprise)
        return;
    authentication->setCurrentIndex(OpenSystem - 1);
    const int open = authenticationShown->findText(authentication->currentText());
    if (open >= 0)
        authenticationShown->setCurrentIndex(open);
    applySecurityPanel();
}

std::optional<TWirlessRefusal> TWirlessSecurity::checkKeyLength() const
{
    const int selected = selectedKey();
    if (selected < 1)
        return std::nullopt;
    const int length = keyLength(static_cast<KeyType>(qMax(0, keyType->currentIndex())),
                                 static_cast<KeySize>(qMax(0, keySize->currentIndex())));
    QLineEdit *key = keys[selected - 1];
    if (key->text().size() == length)
        return std::nullopt;
    return refusalOf(keyLengthMessage(selected, ieeeBand(), length), kWarning, key);
}

std::optional<TWirlessRefusal> TWirlessSecurity::check()
{
    if (!m_security)
        return std::nullopt;
    const Kind kind = kindOf(authentication->currentText());
    if (kind == Kind::Wep) {
        if (auto refusal = checkKeyLength())
            return refusal;
    }
    KtSNMPVarList &security = m_security->list();
    for (SecurityItem which : {EncryptionItem, ValidKeyItem})
        security.Item(securityItem(m_band, which)).access = ACC_INVALID;
    for (int n = 0; n < KeyCount; ++n)
        security.Item(keyItem(m_band, n)).access = ACC_INVALID;
    for (KtSNMPRequest2Edits *request : {m_radius, m_psk}) {
        for (int i = 0; i < request->list().Count(); ++i)
            request->list().Item(i).access = ACC_INVALID;
    }
    security.Item(securityItem(m_band, AuthenticationItem)).access = ACC_READWRITE;
    switch (kind) {
    case Kind::Personal:
        return checkPersonal();
    case Kind::Enterprise:
        return checkEnterprise();
    case Kind::Wep:
        return checkWep();
    case Kind::Unknown:
        break;
    }
    return std::nullopt;
}

std::optional<TWirlessRefusal> TWirlessSecurity::checkPersonal()
{
    if (!isGroupKeyInterval(pskGroupKey->text()))
        return refusalOf(groupKeyRangeMessage(), kError, pskGroupKey,
                         TPageWindow::Refusal::SelectText);
    if (!isPassPhrase(passPhrase->text()))
        return refusalOf(passPhraseLengthMessage(dottedBand()), kError, passPhrase);
    for (int i = 0; i < m_psk->list().Count(); ++i)
        m_psk->list().Item(i).access = ACC_READWRITE;
    return std::nullopt;
}

std::optional<TWirlessRefusal> TWirlessSecurity::checkEnterprise()
{
    if (!isGroupKeyInterval(radiusGroupKey->text()))
        return refusalOf(groupKeyRangeMessage(), kError, radiusGroupKey,
                         TPageWindow::Refusal::SelectText);
    if (!TMainForm::IsValidIPAddress(radiusServer->text()))
        return refusalOf(radiusServerMessage(), kError, radiusServer);
    if (radiusPort->text().isEmpty())
        return refusalOf(radiusPortMessage(), kError, radiusPort);
    for (int i = 0; i < m_radius->list().Count(); ++i)
        m_radius->list().Item(i).access = ACC_READWRITE;
    return std::nullopt;
}

std::optional<TWirlessRefusal> TWirlessSecurity::checkWep()
{
    KtSNMPVarList &security = m_security->list();
    security.Item(securityItem(m_band, EncryptionItem)).access = ACC_READWRITE;
    if (encryption->currentText() != kEnable)
        return std::nullopt;
    const int selected = selectedKey();
    if (selected < 1)
        return std::nullopt;
    security.Item(securityItem(m_band, ValidKeyItem)).access = ACC_READWRITE;
    copyChoice(validKey, m_validKeyBound);
    if (auto refusal = checkKeyLength())
        return refusal;
    QLineEdit *key = keys[selected - 1];
    if (keyType->currentIndex() == Ascii && m_keyTyped[selected - 1]) {
        key->setText(asciiToHex(key->text()));
        // The edit holds hex digits now: a second Apply (after a refused write) checks it as
        // such instead of refusing a key twice the ASCII length.
        keyType->setCurrentIndex(Hex);
        applyKeyLimits();
    }
    if (isUnchangedKey(key->text()))
        return std::nullopt;
    if (!isHexKey(key->text()))
        return refusalOf(hexDigitsMessage(), kError, key, TPageWindow::Refusal::ClearText);
    security.Item(keyItem(m_band, selected - 1)).access = ACC_READWRITE;
    return std::nullopt;
}

bool TWirlessSecurity::write()
{
    if (!m_security)
        return true;
    const Kind kind = kindOf(authentication->currentText());
    if (!m_window.write(m_security))
        return false;
    if (kind == Kind::Personal)
        return m_window.write(m_psk);
    if (kind == Kind::Enterprise)
        return m_window.write(m_radius);
    return true;
}

bool TWirlessSecurity::runMultiSsidInterplay()
{
    if (!m_security)
        return true;
    const QString primary = authentication->currentText();
    const Kind kind = kindOf(primary);
    const bool enterprise = kind == Kind::Enterprise;
    QVector<TFM_Wirless::MssidRow> secondaries;
    for (const TFM_Wirless::MssidRow &row : m_window.mssidRows(m_band + 1)) {
        if (row.index >= 2 && row.index <= 1 + SecondaryCount)
            secondaries.append(row);
    }
    const auto ssid = [](const TFM_Wirless::MssidRow &row) {
        return SsidSecurity{row.state, row.authentication, row.encryption, row.keyIndex};
    };

    // 1. Secondary SSIDs on an enterprise authentication lose it with the primary's.
    for (int i = 0; i < SecondaryCount; ++i) {
        m_secondaryEncryption->list().Item(i).access = ACC_INVALID;
        m_secondaryAuthentication->list().Item(i).access = ACC_INVALID;
    }
    bool downgrade = false;
    if (kind != Kind::Unknown) {
        for (const TFM_Wirless::MssidRow &row : secondaries) {
            if (!needsEnterpriseDowngrade(primary, ssid(row)))
                continue;
            const int i = row.index - 2;
            secondaryEncryption[i]->setCurrentIndex(encryptionOptions().IndexOfLabel(kDisable));
            secondaryAuthentication[i]->setCurrentIndex(OpenSystem - 1);
            m_secondaryEncryption->list().Item(i).access = ACC_READWRITE;
            m_secondaryAuthentication->list().Item(i).access = ACC_READWRITE;
            downgrade = true;
        }
    }

    bool keyShared = false;
    bool groupKeyShared = false;
    if (kind == Kind::Personal || kind == Kind::Enterprise) {
        // 2. WPA takes key slots 2 and 3; the group key interval is the radio's.
        for (const TFM_Wirless::MssidRow &row : secondaries) {
            if (!hasSecurity(ssid(row)))
                continue;
            if (isWep(row.authentication)) {
                if (row.keyIndex != QStringLiteral("First")
                    && row.keyIndex != QStringLiteral("Fourth")) {
                    KtDialogs::message(&m_window, keySlotWarning(), kWarning);
                    break;
                }
                continue;
            }
            QLineEdit *changed = enterprise ? radiusGroupKey : pskGroupKey;
            QLineEdit *copy = enterprise ? pskGroupKey : radiusGroupKey;
            if (changed->text() != m_rememberedGroupKey && !m_rememberedGroupKey.isEmpty()) {
                m_rememberedGroupKey = changed->text();
                copy->setText(changed->text());
                groupKeyShared = true;
                break;
            }
        }
    } else if (kind == Kind::Wep && encryption->currentText() == kEnable) {
        // 3. A WEP secondary on the primary's key.
        for (const TFM_Wirless::MssidRow &row : secondaries) {
            if (hasSecurity(ssid(row)) && row.keyIndex == validKey->currentText()
                && (row.authentication.contains(QLatin1String("Open"))
                    || row.authentication.contains(QLatin1String("Shared"))
                    || row.authentication == QStringLiteral("Both")))
                keyShared = true;
        }
    }

    // 4 .. 6.
    if (downgrade) {
        KtDialogs::message(&m_window, enterpriseDowngradeWarning(), kWarning);
        if (!m_window.write(m_secondaryEncryption) || !m_window.write(m_secondaryAuthentication))
            return false;
    }
    if (keyShared)
        KtDialogs::message(&m_window, keySharedWarning(), kWarning);
    if (groupKeyShared)
        KtDialogs::message(&m_window, groupKeySharedWarning(), kWarning);
    return true;
}

void TWirlessSecurity::afterSuccess()
{
    keyType->setCurrentIndex(Hex);
    applyKeyLimits();
}
