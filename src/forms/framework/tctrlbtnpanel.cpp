#include "tctrlbtnpanel.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {

// Buttons keep the height of the classic 25-pixel button unless the style needs more.
constexpr int kMinimumButtonHeight = 25;

} // namespace

TCtrlBtnPanel::TCtrlBtnPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("CtrlBtnPanel"));

    m_counter = new QLabel(QStringLiteral("0"), this);
    m_counter->setObjectName(QStringLiteral("Ed_Counter"));
    m_counter->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_counter->setAlignment(Qt::AlignCenter);
    m_samples = new QLabel(QStringLiteral("Samples"), this);
    m_samples->setObjectName(QStringLiteral("La_Samples"));
    m_samples->setAlignment(Qt::AlignCenter);

    m_refresh = addButton(QStringLiteral("Refresh"), "Bt_Refresh");
    m_edit = addButton(QStringLiteral("Edit"), "Bt_Edit");
    m_setChecked = addButton(QStringLiteral("Set Checked"), "Bt_SetCheck");
    m_add = addButton(QStringLiteral("Add"), "Bt_Add");
    m_delete = addButton(QStringLiteral("Delete"), "Bt_Delete");
    m_checkAll = addButton(QStringLiteral("Check All"), "Bt_SelectAll");
    m_clearChecks = addButton(QStringLiteral("Clear Checks"), "Bt_SelectNone");
    m_close = addButton(QStringLiteral("Close"), "Bt_Close");

    m_layoutList = {m_counter, m_samples,  m_refresh,  m_edit,        m_setChecked,
                    m_add,     m_delete,   m_checkAll, m_clearChecks, m_close};

    loadGlyphs();
    m_add->hide();
    m_delete->hide();
    Layout();
    setFixedWidth(2 * LeftMargin + ControlWidth);
}

QPushButton *TCtrlBtnPanel::addButton(const QString &caption, const char *objectName)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAutoDefault(false);
    return button;
}

void TCtrlBtnPanel::loadGlyphs()
{
    const struct {
        QPushButton *button;
        const char *file;
    } glyphs[] = {
        {m_refresh, "Get.bmp"},         {m_edit, "Set.bmp"},
        {m_setChecked, "SetCheck.bmp"}, {m_add, "Add.bmp"},
        {m_delete, "Delete.bmp"},       {m_checkAll, "SelectAll.bmp"},
        {m_clearChecks, "SelectNone.bmp"}, {m_close, "Close.bmp"},
    };
    const QDir current = QDir::current();
    for (const auto &glyph : glyphs) {
        const QString path = current.filePath(QString::fromLatin1(glyph.file));
        if (!QFileInfo(path).isFile())
            continue;
        glyph.button->setText(QString());
        QPixmap picture;
        // A damaged picture ends the glyph loading quietly: its button has already given up
        // its caption and gets no picture; the buttons after it keep their captions.
        if (!picture.load(path))
            return;
        glyph.button->setIcon(QIcon(picture));
        glyph.button->setIconSize(picture.size());
    }
}

void TCtrlBtnPanel::Layout()
{
    int top = TopMargin;
    for (QWidget *control : std::as_const(m_layoutList)) {
        int height = control->sizeHint().height();
        if (qobject_cast<QPushButton *>(control))
            height = qMax(height, kMinimumButtonHeight);
        control->setGeometry(LeftMargin, top, ControlWidth, height);
        if (!control->isHidden())
            top = control->geometry().bottom() + 1 + Spacing;
    }
    updateGeometry();
}

int TCtrlBtnPanel::contentHeight() const
{
    int bottom = 0;
    for (QWidget *control : m_layoutList) {
        if (!control->isHidden())
            bottom = qMax(bottom, control->geometry().bottom() + 1);
    }
    return bottom + TopMargin;
}

QSize TCtrlBtnPanel::sizeHint() const
{
    return QSize(2 * LeftMargin + ControlWidth, contentHeight());
}
