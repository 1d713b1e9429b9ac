#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <utility>

// Calls `notice` once, when `window` has been first exposed (on screen, or drawn by the offscreen
// platform) and its first picture drawn: start-up is timed from outside by that moment. It watches
// the application's events only until then.
class FirstExposureNotice : public QObject {
public:
    FirstExposureNotice(const QWidget& window, std::function<void()> notice)
        : m_window(window), m_notice(std::move(notice)) {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && watched == m_window.windowHandle() &&
            m_window.windowHandle()->isExposed()) {
            QCoreApplication::instance()->removeEventFilter(this);
            // The window draws itself while it handles the exposure: handled here, so the notice
            // comes once the picture is there rather than before any of it is drawn.
            watched->event(event);
            m_notice();
            return true;
        }
        return false;
    }

private:
    const QWidget& m_window;
    std::function<void()> m_notice;
};
