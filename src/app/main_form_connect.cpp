// Going on line: the connect, disconnect and cancel buttons, the two providers, dialling and
// hanging up on its own, and noticing a line that went down.
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <mutex>
#include <thread>

#include "app/main_form.h"
#include "app/main_form_online_host.h"
#include "connect/online_service.h"
#include "connect/ras_dialer.h"
#include "connect/ras_library.h"
#include "engine/web_browser.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"
#include "platform/x11_window_driver.h"
#include "settings/password_scramble.h"
#include "widgets/busy_indicator.h"

namespace tarn {

namespace {

// One dial or hang-up running on a thread of its own. The window may stop waiting for it
// (Cancel, or the window closing); a dial that then still succeeds is hung up by the thread.
struct RasAttempt {
    std::mutex mutex;
    bool done = false;
    bool abandoned = false;
    RasResult result;
    std::vector<std::string> statuses;  // not yet shown

    std::vector<std::string> takeStatuses() {
        const std::lock_guard lock(mutex);
        return std::exchange(statuses, {});
    }
};

RasEntrySettings rasSettings(const GroupRecord& group) {
    return {group.sRASEntry, group.sRASUserName, unscramblePassword(group.sRASPassword)};
}

}  // namespace

void TMainForm::buildConnectMenu() {
    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    InvokeAmericaOnline1 = PopupMenu2->addAction(QStringLiteral("Invoke &America Online"));
    InvokeAmericaOnline1->setObjectName(QStringLiteral("InvokeAmericaOnline1"));
    connect(InvokeAmericaOnline1, &QAction::triggered, this, &TMainForm::InvokeAmericaOnline1Click);
    InvokeDialupRAS1 = PopupMenu2->addAction(QStringLiteral("Invoke &Dialup RAS"));
    InvokeDialupRAS1->setObjectName(QStringLiteral("InvokeDialupRAS1"));
    connect(InvokeDialupRAS1, &QAction::triggered, this, &TMainForm::InvokeDialupRAS1Click);
    connect(ConnectButton, &QToolButton::clicked, this, &TMainForm::ConnectButtonClick);
    connect(DisconnectButton, &QToolButton::clicked, this, &TMainForm::DisconnectButtonClick);
    connect(CancelButton, &QToolButton::clicked, this, &TMainForm::CancelButtonClick);
}

void TMainForm::showConnectButtons() {
    // Every sign-on decides again: a group without a provider keeps no button of the last one.
    const bool provider = session_->dialMode() != 0;
    setButtonShown(ConnectButton, provider);
    setButtonShown(DisconnectButton, provider);
    ConnectButton->setEnabled(!session_->connected());
    DisconnectButton->setEnabled(session_->connected());
}

void TMainForm::ConnectButtonClick() {
    if (dialing_)
        return;
    bool allowed = false;
    if (!readReporting([&] { allowed = session_->accounting().mayConnect(); }))
        return;
    if (!allowed) {
        prompter_.message("sorry, your maximum connect time has been exceeded..");
        return;
    }
    const int mode = session_->dialMode();
    if (mode == 1 || mode == 2) {
        DialProvider(mode);
    } else if (mode == 3) {
        PopupMenu2->exec(QCursor::pos());
    }
}

void TMainForm::InvokeAmericaOnline1Click() {
    session_->chooseProvider(2);
    DialProvider(2);
}

void TMainForm::InvokeDialupRAS1Click() {
    session_->chooseProvider(1);
    DialProvider(1);
}

void TMainForm::DialProvider(int provider) {
    dialing_ = true;
    dialCancelled_ = false;
    CancelButton->setEnabled(true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    TBusyIndicator* busy = Panes[0].animate;
    busy->show();
    busy->start();
    bool connected = false;
    if (provider == 1) {
        logConnection("Starting RAS Dialup Connection process");
        connected = RasDialOrHangUp(true);
    } else if (provider == 2) {
        OnlineServiceSettings settings;
        if (!readReporting([&] { settings = onlineServiceSettings(session_->policy()); })) {
            finishDial();
            return;
        }
        switch (onlineService().signOn(settings)) {
            case SignOnResult::Connected:
                connected = true;
                session_->accounting().noteActivity();
                break;
            case SignOnResult::Failed:
                break;
            case SignOnResult::ConnectError:
                ConnectButton->setEnabled(true);
                DisconnectButton->setEnabled(false);
                logConnection("Dialup Connection Failed (busy or error)");
                finishDial();
                return;
            case SignOnResult::Ended:
                finishDial();
                return;
        }
    }
    session_->setConnected(connected);
    if (connected) {
        ConnectButton->setEnabled(false);
        DisconnectButton->setEnabled(true);
        logConnection("Dialup Connection Successful");
    } else {
        logConnection("Dialup Connection failed or cancelled");
    }
    finishDial();
}

void TMainForm::finishDial() {
    TBusyIndicator* busy = Panes[0].animate;
    busy->stop();
    busy->hide();
    CancelButton->setEnabled(false);
    QApplication::restoreOverrideCursor();
    dialing_ = false;
}

OnlineServiceAutomation& TMainForm::onlineService() {
    if (!onlineService_) {
        windowDriver_ = std::make_unique<X11WindowDriver>();
        onlineHost_ = std::make_unique<OnlineHost>(*this);
        onlineService_ =
            std::make_unique<OnlineServiceAutomation>(*windowDriver_, launcher_, *onlineHost_);
    }
    return *onlineService_;
}

bool TMainForm::RasDialOrHangUp(bool dial) {
    const RasEntrySettings settings = rasSettings(session_->policy());
    const std::filesystem::path library = rasLibraryFile(programLibraryFolder());
    auto attempt = std::make_shared<RasAttempt>();
    std::thread([attempt, dial, settings, library] {
        RasResult result = rasDialOrHangUp(dial, settings, library, [&](const std::string& text) {
            const std::lock_guard lock(attempt->mutex);
            attempt->statuses.push_back(text);
        });
        bool hangUp = false;
        {
            const std::lock_guard lock(attempt->mutex);
            attempt->done = true;
            attempt->result = result;
            hangUp = attempt->abandoned && dial && result.ok;
        }
        // Nobody waits for this line any more: it must not stay up uncounted.
        if (hangUp)
            rasDialOrHangUp(false, settings, library, [](const std::string&) {});
    }).detach();

    QEventLoop loop;
    QTimer poll;
    poll.setInterval(20);
    bool finished = false;
    connect(&poll, &QTimer::timeout, &loop, [&] {
        for (const std::string& text : attempt->takeStatuses())
            ShowStatus(QString::fromStdString(text));
        const std::lock_guard lock(attempt->mutex);
        finished = attempt->done;
        if (finished || (dial && dialCancelled_)) {
            attempt->abandoned = !finished;
            loop.quit();
        }
    });
    poll.start();
    loop.exec();
    for (const std::string& text : attempt->takeStatuses())
        ShowStatus(QString::fromStdString(text));
    if (!finished)
        return false;  // cancelled
    if (!attempt->result.ok) {
        prompter_.message(attempt->result.message);
        return false;
    }
    return true;
}

void TMainForm::DisconnectButtonClick() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int mode = session_->dialMode();
    if (mode == 1) {
        if (RasDialOrHangUp(false))
            session_->setConnected(false);
    } else if (mode == 2) {
        std::string windowClass;
        if (readReporting([&] { windowClass = onlineServiceClass(); })) {
            // The wait for the client to close ends with it, or with Cancel.
            dialCancelled_ = false;
            CancelButton->setEnabled(true);
            onlineService().signOff(windowClass);
            CancelButton->setEnabled(false);
        }
        session_->setConnected(false);
    }
    if (session_->connected()) {
        logConnection("Dialup disconnection failed");
        ShowStatus(QStringLiteral("Disconnection failed, you are still connected (?).."));
    } else {
        StatusPanel->clear();
        ConnectPanel->clear();
        ConnectButton->setEnabled(true);
        DisconnectButton->setEnabled(false);
        readReporting([&] { session_->accounting().storeConnectTime(); });
        logConnection("Dialup disconnection successful");
    }
    QApplication::restoreOverrideCursor();
}

void TMainForm::CancelButtonClick() {
    dialCancelled_ = true;
    CancelButton->setEnabled(false);
}

bool TMainForm::LineStillUp() {
    if (session_->dialMode() != 1)
        return true;
    return rasEntryConnected(session_->policy().sRASEntry, rasLibraryFile(programLibraryFolder()));
}

void TMainForm::LineDropped() {
    ConnectPanel->clear();
    ConnectButton->setEnabled(true);
    DisconnectButton->setEnabled(false);
    readReporting([&] { session_->accounting().storeConnectTime(); });
    logConnection("Dialup connection lost");
    ShowStatus(QStringLiteral("The dial-up connection was lost."));
}

bool TMainForm::passNavigation(TWebBrowser* browser, const QUrl& url) {
    if (session_->dialMode() == 0 || session_->startDialParam() != 2 || session_->connected() ||
        dialing_)
        return true;
    // The navigation dialled for goes on, whatever became of the dial.
    if (heldNavigation_ == url.toString()) {
        heldNavigation_.clear();
        return true;
    }
    heldNavigation_ = url.toString();
    QTimer::singleShot(0, browser, [this, browser, url] {
        ConnectButtonClick();
        browser->Navigate(url.toString());
    });
    return false;
}

void TMainForm::hangUpOnClose() {
    if (!session_->connected())
        return;
    if (session_->policy().bDisconnectOnClose ||
        prompter_.confirm("You are still connected to dial-up, disconnect now?"))
        DisconnectButtonClick();
}

}  // namespace tarn
