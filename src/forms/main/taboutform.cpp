#include "taboutform.h"

#include "formdecoration.h"
#include "ktmodule.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TAboutForm *AboutForm = nullptr;

TAboutForm::TAboutForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("About"));
    setModal(true);
    FormDecoration::apply(this, FormDecoration::Sizing::AsSized);
    resize(364, 100);

    ProgramIcon = new QLabel(this);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setFixedSize(32, 32);
    ProgramIcon->setPixmap(QApplication::windowIcon().isNull()
                               ? style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(32, 32)
                               : QApplication::windowIcon().pixmap(32, 32));
    ProductName = new QLabel(this);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    Copyright = new QLabel(QStringLiteral("Norvane Networks"), this);
    Copyright->setObjectName(QStringLiteral("Copyright"));
    Label1 = new QLabel(QStringLiteral("Release Version:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Version = new QLabel(releaseText(), this);
    Version->setObjectName(QStringLiteral("Version"));
    La_Build = new QLabel(buildText(), this);
    La_Build->setObjectName(QStringLiteral("La_Build"));
    // Its room is kept while it is hidden, so that the box does not change size when it shows.
    QSizePolicy keepRoom = La_Build->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    La_Build->setSizePolicy(keepRoom);
    La_Build->hide();
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    OKButton->installEventFilter(this);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto *texts = new QGridLayout;
    texts->addWidget(ProductName, 0, 0, 1, 3);
    texts->addWidget(Copyright, 1, 0, 1, 3);
    texts->addWidget(Label1, 2, 0);
    texts->addWidget(Version, 2, 1);
    // Under the release, where the 364 pixels of the box have room for it.
    texts->addWidget(La_Build, 3, 1);
    auto *top = new QHBoxLayout;
    top->addWidget(ProgramIcon, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    top->addWidget(OKButton, 0, Qt::AlignBottom);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);

    FormCreate();
}

TAboutForm::~TAboutForm() = default;

QString TAboutForm::releaseText() { return QStringLiteral("v1.10"); }

QString TAboutForm::buildText() { return QStringLiteral("R11(2006/01/20)"); }

void TAboutForm::FormCreate()
{
    ProductName->setText(KtModule::modelName() + QStringLiteral(" Management Module"));
    OKButton->setFocus();
}

bool TAboutForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == OKButton && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers held =
            key->modifiers() & (Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier);
        if (key->key() == Qt::Key_F3 && held == (Qt::ShiftModifier | Qt::AltModifier))
            La_Build->show();
    }
    return QDialog::eventFilter(watched, event);
}
