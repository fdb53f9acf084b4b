#include "tsnmppanel.h"

#include "formplacement.h"
#include "ktdialogs.h"
#include "ktexception.h"
#include "ktsnmprequest2edits.h"
#include "tctrlbtnpanel.h"
#include "tmsgpanel.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

TSNMPPanel::TSNMPPanel(QWidget *parent, KtSNMPRequest2Edits *request)
    : QWidget(parent), m_request(request)
{
    setObjectName(QStringLiteral("SNMPPanel"));

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("Splitter"));
    m_splitter->setChildrenCollapsible(false);
    m_workArea = new QWidget;
    m_workArea->setObjectName(QStringLiteral("WorkArea"));
    m_bar = new TCtrlBtnPanel;
    m_splitter->addWidget(m_workArea);
    m_splitter->addWidget(m_bar);
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 0);

    m_bottomSplitter = new QSplitter(Qt::Vertical, m_workArea);
    m_bottomSplitter->setObjectName(QStringLiteral("BottomSplitter"));
    m_bottomSplitter->setChildrenCollapsible(false);
    m_contentArea = new QWidget;
    m_contentArea->setObjectName(QStringLiteral("ContentArea"));
    auto *contentLayout = new QVBoxLayout(m_contentArea);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    m_msgPanel = new TMsgPanel;
    m_bottomSplitter->addWidget(m_contentArea);
    m_bottomSplitter->addWidget(m_msgPanel);
    m_bottomSplitter->setStretchFactor(0, 1);
    m_bottomSplitter->setStretchFactor(1, 0);
    auto *workLayout = new QVBoxLayout(m_workArea);
    workLayout->setContentsMargins(0, 0, 0, 0);
    workLayout->addWidget(m_bottomSplitter);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_splitter);

    if (m_request)
        m_request->SetStatusControl(m_msgPanel->memo());
    connect(m_bar->refreshButton(), &QPushButton::clicked, this, [this] { Refresh(); });
    connect(m_bar->closeButton(), &QPushButton::clicked, this, [this] { Close(); });
    resize(0, 0);
}

void TSNMPPanel::SetContent(QWidget *control)
{
    auto *contentLayout = static_cast<QVBoxLayout *>(m_contentArea->layout());
    if (m_content && m_content != control) {
        contentLayout->removeWidget(m_content);
        m_content->hide();
    }
    m_content = control;
    if (!control)
        return;
    if (contentLayout->indexOf(control) < 0)
        contentLayout->addWidget(control);
    control->show();

    const QSize content = control->sizeHint().isValid() ? control->sizeHint() : control->size();
    const int barWidth = m_bar->sizeHint().width();
    const int width = content.width() + barWidth + m_splitter->handleWidth() + 3;
    const int height = qMax(content.height() + TMsgPanel::PanelHeight
                                + m_bottomSplitter->handleWidth(),
                            m_bar->contentHeight());
    m_size = QSize(width, height);
    resize(m_size);
    m_splitter->setSizes({width - barWidth - m_splitter->handleWidth(), barWidth});
    m_bottomSplitter->setSizes(
        {height - TMsgPanel::PanelHeight - m_bottomSplitter->handleWidth(),
         TMsgPanel::PanelHeight});
    updateGeometry();
}

QSize TSNMPPanel::sizeHint() const
{
    return m_size;
}

void TSNMPPanel::AttachTo(QWidget *form)
{
    m_hostForm = form;
    if (!form)
        return;
    if (!form->layout()) {
        auto *layout = new QVBoxLayout(form);
        layout->setContentsMargins(0, 0, 0, 0);
    }
    if (form->layout()->indexOf(this) < 0)
        form->layout()->addWidget(this);

    const QSize size = form->size().expandedTo(m_size).boundedTo(
        QSize(MaxFormWidth, MaxFormHeight));
    form->resize(size);

    FormPlacement::centreOnMainWindow(form, size);
}

QString TSNMPPanel::readingText(int seconds)
{
    return QStringLiteral("Reading... The device has up to %1 seconds to answer.").arg(seconds);
}

void TSNMPPanel::Refresh()
{
    if (!m_request)
        return;
    const bool alreadyReading = m_request->busy;
    try {
        m_request->Get();
    } catch (const KtException &e) {
        m_request->ShowStatus(e.text());
    }
    // A slow or silent device keeps an asynchronous read going for the time-out of every try:
    // once it has kept the read waiting a while, the message area says how long that may be
    // instead of staying empty. An answer that comes sooner leaves the message area as it was.
    if (m_request && !alreadyReading && m_request->busy
        && m_request->mode == KtSNMPRequest2Controls::Asynchronous) {
        const KtSNMPRequest &engine = m_request->request;
        const int seconds = (engine.timeout * (engine.retries + 1) + 99) / 100;
        const quint64 read = ++m_reads;
        QTimer::singleShot(ReadingLineAfterMs, this, [this, read, seconds] {
            if (read == m_reads && m_request && m_request->busy)
                m_msgPanel->memo()->appendPlainText(readingText(seconds));
        });
    }
}

void TSNMPPanel::Close()
{
    if (!m_hostForm)
        return;
    try {
        m_hostForm->close();
    } catch (const std::exception &) {
        KtDialogs::message(this, QStringLiteral("Please initial close form"),
                           QGuiApplication::applicationDisplayName());
    }
}

void TSNMPPanel::ForgetRequest()
{
    m_request = nullptr;
}
