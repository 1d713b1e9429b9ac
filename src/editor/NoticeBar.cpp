#include "editor/NoticeBar.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

NoticeBar::NoticeBar(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("barNotice"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase);
    setForegroundRole(QPalette::ToolTipText);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 2, 2, 2);
    lblNotice = new QLabel(this);
    lblNotice->setObjectName(QStringLiteral("lblNotice"));
    lblNotice->setTextFormat(Qt::PlainText);
    lblNotice->setWordWrap(true);
    lblNotice->setForegroundRole(QPalette::ToolTipText);
    cmdCloseNotice = new QToolButton(this);
    cmdCloseNotice->setObjectName(QStringLiteral("cmdCloseNotice"));
    cmdCloseNotice->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    cmdCloseNotice->setToolTip(QCoreApplication::translate("NoticeBar", "Close"));
    cmdCloseNotice->setAutoRaise(true);
    // A notice is read, not worked in: the keys stay with the text.
    cmdCloseNotice->setFocusPolicy(Qt::NoFocus);
    row->addWidget(lblNotice, 1);
    row->addWidget(cmdCloseNotice, 0, Qt::AlignTop);
    hide();
    connect(cmdCloseNotice, &QToolButton::clicked, this, [this] {
        m_closedNotices += m_notices;
        hide();
    });
}

void NoticeBar::setNotices(const QStringList& notices) {
    m_notices.clear();
    for (const QString& notice : notices)
        if (!m_closedNotices.contains(notice))
            m_notices << notice;
    lblNotice->setText(m_notices.join(QLatin1Char('\n')));
    setVisible(!m_notices.isEmpty());
}
