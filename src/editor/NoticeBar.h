#pragma once

#include <QFrame>
#include <QStringList>

class QLabel;
class QToolButton;

// Notices about a document's file above its text (not valid UTF-8, read-only): one a line, with
// a button that closes them. A notice the user closed stays closed. The bar never takes the focus
// from the text.
class NoticeBar : public QFrame {
public:
    explicit NoticeBar(QWidget* parent);

    // Shows these notices, or hides the bar when none is left to show.
    void setNotices(const QStringList& notices);

    QLabel* lblNotice = nullptr;
    QToolButton* cmdCloseNotice = nullptr;

private:
    QStringList m_notices;
    QStringList m_closedNotices;
};
