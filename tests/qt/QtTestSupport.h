#pragma once
// Helpers for driving modal Qt dialogs and the event loop from tests.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace quorvel::testing {

// Runs act on the next modal window once it is up (from inside its loop).
inline void WhenModal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer(qApp);  // freed by the event loop once it has acted
    QElapsedTimer started;
    started.start();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, started, act = std::move(act)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr && started.elapsed() < 5000) return;
        timer->stop();
        timer->deleteLater();
        if (modal != nullptr) act(modal);
    });
    timer->start();
}

// Runs act on the next pop-up menu once it is open.
inline void WhenPopup(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer(qApp);  // freed by the event loop once it has acted
    QElapsedTimer started;
    started.start();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, started, act = std::move(act)] {
        QWidget* popup = QApplication::activePopupWidget();
        if (popup == nullptr && started.elapsed() < 5000) return;
        timer->stop();
        timer->deleteLater();
        if (popup != nullptr) act(popup);
    });
    timer->start();
}

// Runs the event loop until done() holds or ms pass; returns done().
inline bool SpinUntil(const std::function<bool()>& done, int ms = 2000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

}  // namespace quorvel::testing
