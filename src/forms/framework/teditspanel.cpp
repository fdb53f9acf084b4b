#include "teditspanel.h"

#include "ktexception.h"
#include "ktsnmprequest2edits.h"
#include "kttypinglimit.h"
#include "tctrlbtnpanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

const QString kValueFormat = QStringLiteral("%s");
constexpr int kFirstTop = 20;
constexpr int kRowSpacing = 5;
constexpr int kCheckBoxLeft = 20;
constexpr int kGap = 5;
constexpr int kMargin = 40;

void setColours(QWidget *widget, const QColor &text, const QColor &background)
{
    QPalette palette = widget->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::ButtonText, text);
        palette.setColor(group, QPalette::Base, background);
        palette.setColor(group, QPalette::Button, background);
    }
    widget->setPalette(palette);
}

} // namespace

TEditsPanel::TEditsPanel(QWidget *parent, KtSNMPRequest2Edits *request)
    : QWidget(parent), m_editCtrl(request)
{
    setObjectName(QStringLiteral("EditsPanel"));
    readOnlyBackgroundColor = QApplication::palette().color(QPalette::Button);

    m_scrollBox = new QScrollArea(this);
    m_scrollBox->setObjectName(QStringLiteral("ScrollBox"));
    // Without a frame the grid fits exactly into a panel of its own size, with no scroll bars.
    m_scrollBox->setFrameShape(QFrame::NoFrame);
    m_scrollBox->setWidgetResizable(false);
    m_rowArea = new QWidget;
    m_rowArea->setObjectName(QStringLiteral("RowArea"));
    m_scrollBox->setWidget(m_rowArea);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scrollBox);

    buildRows();
    ApplyAppearance(0);
    VerticalLayout(true);
}

bool TEditsPanel::itemHidden(int row) const
{
    return m_editCtrl && row < m_editCtrl->list().Count()
           && (m_editCtrl->list().Item(row).access & ACC_HIDDEN) != 0;
}

void TEditsPanel::buildRows()
{
    if (!m_editCtrl)
        return;
    const KtSNMPVarList &list = m_editCtrl->list();
    for (int i = 0; i < list.Count(); ++i) {
        const KtSNMPVarItem &item = list.Item(i);
        Row row;
        // The kind follows the item; a key item keeps its writable kind (and editor) but its
        // row is read-only, as a key names the row rather than holding a value to change.
        const bool writable = list.IsWritable(i);
        const bool options = item.optionList != nullptr;
        if (writable)
            row.kind = options ? WritableList : WritableEdit;
        else
            row.kind = options ? ReadOnlyList : ReadOnlyEdit;
        row.readOnly = !writable || i < list.keyCount;
        row.format = kValueFormat;
        m_rows.append(row);
    }

    for (int i = 0; i < m_rows.size(); ++i) {
        Row &row = m_rows[i];
        const QString number = QString::number(i);

        row.checkBox = new QCheckBox(m_rowArea);
        row.checkBox->setObjectName(QStringLiteral("CheckBox") + number);
        row.checkBox->setFixedWidth(CheckBoxWidth);
        row.checkBox->setFocusPolicy(Qt::ClickFocus);
        row.checkBox->setProperty("tag", i);
        // Every change counts, not only the user's clicks: a row that a list box makes
        // read-only loses its tick, and the owner's "Set Checked" must follow.
        connect(row.checkBox, &QCheckBox::toggled, this, [this, i] { Q_EMIT checkBoxChanged(i); });

        row.label = new QLabel(list.Item(i).name, m_rowArea);
        row.label->setObjectName(QStringLiteral("Label") + number);
        row.label->adjustSize();

        if (row.kind == WritableList) {
            auto *listBox = new QComboBox(m_rowArea);
            listBox->setObjectName(QStringLiteral("Editor") + number);
            listBox->setProperty("tag", i);
            row.editor = listBox;
            m_editCtrl->BindComboBox(i, listBox);
            connect(listBox, &QComboBox::currentIndexChanged, this,
                    [this, listBox](int) { onListBoxChanged(listBox); });
        } else {
            auto *edit = new QLineEdit(m_rowArea);
            edit->setObjectName(QStringLiteral("Editor") + number);
            row.editor = edit;
            m_editCtrl->BindEdit(i, row.format, edit);
            // A value longer than the editor shows its beginning and whole as tooltip: every
            // fill puts the cursor at the end, which scrolls the start out of sight. Where the
            // user works (the edit has the focus) the cursor stays where the user puts it.
            connect(edit, &QLineEdit::textChanged, edit, &QLineEdit::setToolTip);
            connect(edit, &QLineEdit::cursorPositionChanged, edit, [edit](int, int position) {
                if (position != 0 && !edit->hasFocus())
                    edit->setCursorPosition(0);
            });
        }
    }
}

void TEditsPanel::ApplyAppearance(int checkDefault)
{
    for (int i = 0; i < m_rows.size(); ++i)
        SetRowReadOnly(i, m_rows.at(i).readOnly, checkDefault);
}

void TEditsPanel::SetRowReadOnly(int rowIndex, bool readOnly, int checkDefault)
{
    if (rowIndex < 0 || rowIndex >= m_rows.size())
        return;
    Row &row = m_rows[rowIndex];
    row.readOnly = readOnly;
    const bool shown = !itemHidden(rowIndex);
    auto *edit = qobject_cast<QLineEdit *>(row.editor);
    auto *listBox = qobject_cast<QComboBox *>(row.editor);
    if (readOnly) {
        row.checkBox->setEnabled(false);
        row.checkBox->setChecked(false);
        row.checkBox->hide();
        if (edit) {
            edit->setReadOnly(true);
            edit->setFocusPolicy(Qt::ClickFocus);
        } else if (listBox) {
            listBox->setEnabled(false);
        }
        setColours(row.editor, readOnlyTextColor, readOnlyBackgroundColor);
    } else {
        row.checkBox->setEnabled(true);
        row.checkBox->setVisible(shown);
        row.checkBox->setChecked(checkDefault != 0);
        if (edit) {
            edit->setReadOnly(false);
            edit->setFocusPolicy(Qt::StrongFocus);
            if (!dynamic_cast<const KtTypingLimit *>(edit->validator()))
                edit->setValidator(new KtTypingLimit(edit, WritableMaxLength));
        } else if (listBox) {
            listBox->setEnabled(true);
        }
        setColours(row.editor, Qt::black, QColor(0xFF, 0xFF, 0xFF));
    }
    if (edit && readOnly && dynamic_cast<const KtTypingLimit *>(edit->validator()))
        edit->setValidator(nullptr);
}

void TEditsPanel::VerticalLayout(bool resizing)
{
    int labelWidth = 0;
    for (const Row &row : std::as_const(m_rows))
        labelWidth = qMax(labelWidth, row.label->sizeHint().width());

    const int labelLeft = kCheckBoxLeft + CheckBoxWidth + kGap;
    const int editorLeft = labelLeft + labelWidth + kGap;
    int top = kFirstTop;
    bool first = true;
    int right = 0;
    int bottom = 0;
    for (int i = 0; i < m_rows.size(); ++i) {
        Row &row = m_rows[i];
        if (itemHidden(i)) {
            row.checkBox->hide();
            row.label->hide();
            row.editor->hide();
            continue;
        }
        int height = row.editor->sizeHint().height();
        if (!first) {
            if (height < 20)
                height = 21;
            // A row steps down from the previous row's top by its own editor's height; edits
            // and list boxes are equally high, so the gap between rows stays 5 pixels.
            top += height + kRowSpacing;
        }
        row.editor->setGeometry(editorLeft, top, m_editorWidth, height);
        const int checkHeight = row.checkBox->sizeHint().height();
        row.checkBox->setGeometry(kCheckBoxLeft, top + (height - checkHeight) / 2, CheckBoxWidth,
                                  checkHeight);
        const QSize label = row.label->sizeHint();
        row.label->setGeometry(labelLeft, top + (height - label.height()) / 2, label.width(),
                               label.height());
        right = qMax(right, editorLeft + m_editorWidth);
        bottom = qMax(bottom, top + height);
        first = false;
    }
    if (!resizing)
        return;
    m_extent = QSize(right + kMargin, bottom + kMargin);
    m_rowArea->resize(m_extent);
    resize(m_extent);
    updateGeometry();
}

void TEditsPanel::SetEditorWidth(int width, bool layout)
{
    m_editorWidth = width;
    if (layout)
        VerticalLayout(true);
}

QSize TEditsPanel::sizeHint() const
{
    return m_extent.isValid() ? m_extent : QWidget::sizeHint();
}

int TEditsPanel::CheckedCount() const
{
    int count = 0;
    for (const Row &row : m_rows) {
        if (!row.checkBox->isHidden() && row.checkBox->isChecked())
            ++count;
    }
    return count;
}

int TEditsPanel::EnabledCount() const
{
    int count = 0;
    for (const Row &row : m_rows) {
        if (!row.checkBox->isHidden() && row.checkBox->isEnabled())
            ++count;
    }
    return count;
}

bool TEditsPanel::IsEmpty(int rowIndex) const
{
    if (rowIndex < 0 || rowIndex >= m_rows.size())
        return true;
    const QWidget *editor = m_rows.at(rowIndex).editor;
    if (auto *edit = qobject_cast<const QLineEdit *>(editor))
        return edit->text().isEmpty();
    if (auto *listBox = qobject_cast<const QComboBox *>(editor))
        return listBox->currentText().isEmpty();
    if (auto *panel = qobject_cast<const QLabel *>(editor))
        return panel->text().isEmpty();
    return true;
}

void TEditsPanel::ArrangeCtrlBtn(TCtrlBtnPanel *bar)
{
    if (!m_editCtrl)
        throw KtException(-1, QStringLiteral("TEditsPanel:ArrangeCtrlBtn - EditCtrl is NULL!"));
    if (!bar)
        return;
    bar->counter()->hide();
    bar->samplesLabel()->hide();
    for (QPushButton *button : {bar->refreshButton(), bar->setCheckedButton(),
                                bar->checkAllButton(), bar->clearChecksButton(),
                                bar->closeButton()})
        button->show();
    for (QPushButton *button : {bar->editButton(), bar->addButton(), bar->deleteButton()})
        button->hide();

    bool allReadOnly = true;
    for (const Row &row : std::as_const(m_rows))
        allReadOnly = allReadOnly && row.readOnly;
    if (allReadOnly) {
        bar->setCheckedButton()->hide();
        bar->checkAllButton()->hide();
        bar->clearChecksButton()->hide();
    } else if (EnabledCount() <= 1) {
        // One row to write: it is always the one written, so its box is ticked and hidden and
        // the button just says "Set".
        bar->checkAllButton()->hide();
        bar->clearChecksButton()->hide();
        bar->setCheckedButton()->setText(QStringLiteral("Set"));
        bar->setCheckedButton()->setEnabled(true);
        for (const Row &row : std::as_const(m_rows)) {
            if (!row.checkBox->isHidden() && row.checkBox->isEnabled())
                row.checkBox->setChecked(true);
        }
        if (CheckedCount() <= 1) {
            for (const Row &row : std::as_const(m_rows))
                row.checkBox->hide();
        }
    }
    bar->Layout();
}

void TEditsPanel::onListBoxChanged(QComboBox *listBox)
{
    const int selected = listBox->currentIndex();
    for (const Dependency &entry : std::as_const(dependencies)) {
        if (entry.listBox == listBox)
            SetRowReadOnly(entry.row, selected == entry.itemIndex);
    }
}
