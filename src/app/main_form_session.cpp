// Start-up, sign-on, loading and saving the signed-on user's settings, and closing.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <chrono>
#include <exception>
#include <functional>

#include "app/copy_leash.h"
#include "app/main_form.h"
#include "app/url_combo_box.h"
#include "app/usage.h"
#include "config/wizard_form.h"
#include "engine/cookie_handover.h"
#include "engine/engine_profiles.h"
#include "engine/web_browser.h"
#include "log/log_cleanup.h"
#include "platform/clock.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"
#include "session/logon_form.h"
#include "session/user_config.h"
#include "settings/day_record.h"
#include "settings/settings_error.h"
#include "widgets/adv_splitter.h"
#include "widgets/busy_indicator.h"
#include "widgets/dock.h"
#include "widgets/dock_toolbar.h"
#include "widgets/toolbar_state.h"

namespace tarn {

namespace {

// How long a sign-on waits for a kept filter before it leaves the lists to come later: long
// enough for a million lines, short enough that a list built anew never shows as a delay.
constexpr std::chrono::milliseconds kKeptListsWait{60};

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

void TMainForm::FormShow() {
    // A failure here is said once the window is up, over a window that shows nobody signed on
    // rather than the layout of a session that did not start.
    showingUp_ = true;
    const bool loaded = ReloadSettings(true);
    showingUp_ = false;
    if (loaded)
        return;
    StartupSettings startup;
    try {
        startup = session_->readStartupSettings();
    } catch (const std::exception&) {
        // Said already; the switches keep their defaults.
    }
    session_->applyStartupSettings(startup);
    applyStartupSettings();
    panes_->setCount(1);
    ArrangePanes();
    ShowStatus(QStringLiteral("Nobody is signed on: the settings could not be read."));
}

void TMainForm::FormActivate() {
    if (session_->takeFirstRunCheck())
        Timer2->start();
    if (session_->activate(Timer2->isActive()) == Session::Activation::SignOn)
        SignOn();
}

void TMainForm::Timer2Timer() {
    Timer2->stop();
    RunSetupWizard();
    QApplication::processEvents();
    if (session_->dialMode() != 0 && session_->startDialParam() == 1 && !session_->connected())
        ConnectButtonClick();
}

void TMainForm::RunSetupWizard() {
    TWizardForm wizard(prompter_, QString::fromLatin1(programVersion()), this);
    wizard.exec();
    if (!ReloadSettings(false))
        return;
    if (session_->useLogon())
        SignOn();
    else
        session_->activate(false);
}

bool TMainForm::ReloadSettings(bool applyUser) {
    StartupSettings startup;
    std::optional<UserLoad> user;
    const bool read = readReporting(
        [&] {
            startup = session_->readStartupSettings();
            if (applyUser) {
                const auto [userName, groupName] = session_->reloadIdentity(startup);
                user = readUser(userName, groupName, std::string());
            }
        },
        true);
    if (!read)
        return false;
    session_->applyStartupSettings(startup);
    applyStartupSettings();
    if (user)
        switchToUser(*user);
    return true;
}

void TMainForm::applyStartupSettings() {
    setButtonShown(ConnectButton, false);
    setButtonShown(DisconnectButton, false);
    CancelButton->setEnabled(false);
    if (!session_->spawnedCopy())
        setButtonShown(SignonButton, session_->useLogon());
}

bool TMainForm::LoadUserSettings(const QString& user, const QString& group,
                                 const QString& previousGroup, const QString& previousUser) {
    Q_UNUSED(previousUser);
    std::optional<UserLoad> next;
    if (!readReporting(
            [&] {
                next =
                    readUser(user.toStdString(), group.toStdString(), previousGroup.toStdString());
            },
            true))
        return false;
    switchToUser(*next);
    return true;
}

TMainForm::UserLoad TMainForm::readUser(const std::string& user, const std::string& group,
                                        const std::string& previousGroup) {
    ShowStatus(QStringLiteral("loading group lists.."));
    UserLoad load{session_->readUserSettings(user, group, previousGroup), {}};
    load.toolbars = readToolbars(load.settings.ConfigKey);
    return load;
}

bool TMainForm::readReporting(const std::function<void()>& read, bool forAdministrator) {
    try {
        read();
        return true;
    } catch (const std::exception& failure) {
        if (forAdministrator)
            logNotice(failure.what());
        if (showingUp_) {
            sayOnceShown(failure.what(), 40);
        } else {
            prompter_.error(failure.what());
        }
        return false;
    }
}

void TMainForm::sayOnceShown(std::string message, int attempts) {
    // Without a window manager the window that maps last covers the others: the message waits
    // until the window is on screen, or two seconds at most.
    const QWindow* window = windowHandle();
    if ((window && window->isExposed()) || attempts <= 0) {
        activateWindow();
        prompter_.error(message);
        return;
    }
    QTimer::singleShot(50, this, [this, message = std::move(message), attempts]() mutable {
        sayOnceShown(std::move(message), attempts - 1);
    });
}

void TMainForm::logNotice(const std::string& text) {
    showLogFailure(session_->activityLog().notice(session_->identity(), text));
}

void TMainForm::switchToUser(const UserLoad& load) {
    const UserSettings& settings = load.settings;
    const auto& toolbars = load.toolbars;
    session_->switchTo(settings);
    showConnectButtons();
    if (settings.listBuild) {
        ShowStatus(QStringLiteral("loading group lists.."));
        startListBuild(settings.listBuild);
    } else if (const auto& lists = settings.lists) {
        showListCounts(*lists);
    } else {
        ShowStatus(QStringLiteral("lists not refreshed.."));
    }

    const WindowConfig& config = settings.config;
    if (session_->spawnedCopy())
        applySpawnedCopyLayout();
    else
        applyWindowConfig(config);
    ShowFavoritesList1->setChecked(config.bShowFavorites);
    ShowButtonbar1->setChecked(config.bShowButtonBar);
    ShowStatusbar1->setChecked(config.bShowStatusBar);
    // The bars follow their check marks, so the menu never says hidden while a bar shows.
    MainToolBar->setVisible(ShowButtonbar1->isChecked());
    statusBar()->setVisible(ShowStatusbar1->isChecked());

    for (int i = 0; i < 4; ++i) {
        TUrlComboBox* box = Panes[i].url;
        box->clear();
        for (const std::string& entry : settings.histories[i])
            box->addItem(qs(entry));
        box->setCurrentIndex(-1);
    }
    AppSplitter->Pane1Setting()->setVisible(ShowFavoritesList1->isChecked());
    for (BrowserPane& pane : Panes)
        pane.animate->hide();
    RefreshFavorites();

    ArrangePanes();
    panes_->setCurrent(1);

    useProfileFor(session_->groupName(), session_->userName());
    for (int i = 0; i < 4; ++i) {
        // Go Home goes to the pane's start address, or to the blank page without one.
        const std::string& start = config.sPaneUrl[i];
        Panes[i].browser->setHomeUrl(start.empty() ? blankPageUrl() : qs(start));
    }
    // Lists kept from the last assembly are taken in milliseconds: waiting that long here starts
    // the pages before the window's first paint rather than after it. A build from the lists
    // themselves goes on without the window.
    if (session_->listsPending() && settings.listBuild->cacheKept() &&
        settings.listBuild->waitReady(kKeptListsWait))
        listsBuilt(settings.listBuild);
    else if (!session_->listsPending())
        navigateStartPages();
    const std::vector<TDock*> docks = allDocks();
    const std::vector<TDockToolbar*> bars = allToolbars();
    for (size_t i = 0; i < bars.size(); ++i) {
        if (toolbars[i])
            applyToolbarState(*bars[i], *toolbars[i], docks);
    }
}

void TMainForm::startListBuild(std::shared_ptr<ListBuild> build) {
    listBuilds_.start([this, build = std::move(build)] {
        build->run([this, build] {
            QMetaObject::invokeMethod(
                this, [this, build] { listsBuilt(build); }, Qt::QueuedConnection);
        });
    });
}

void TMainForm::listsBuilt(const std::shared_ptr<ListBuild>& build) {
    if (!session_->finishLists(build))
        return;  // another user's lists are on their way, or nobody is signed on
    if (!build->filter()) {
        ShowStatus(QStringLiteral("lists not loaded.."));
        logNotice(build->error());
        prompter_.error(build->error());
        return;
    }
    showListCounts(build->counts());
    navigateStartPages();
}

void TMainForm::showListCounts(const ListCounts& counts) {
    ShowStatus(QStringLiteral("lists: %1\\%2\\%3")
                   .arg(counts.exclusions)
                   .arg(counts.words)
                   .arg(counts.inclusions));
}

void TMainForm::navigateStartPages() {
    if (session_->spawnedCopy()) {
        if (!session_->startUrl().empty())
            Panes[0].browser->Navigate(qs(session_->startUrl()));
        return;
    }
    // Nobody signed on has no start pages: the panes wait for the next user.
    if (session_->userName().empty())
        return;
    const WindowConfig& config = session_->config();
    for (int i = 0; i < panes_->count(); ++i) {
        if (!config.sPaneUrl[i].empty())
            Panes[i].browser->Navigate(qs(config.sPaneUrl[i]), TWebBrowser::NavAdmitted);
        // An unattended display refreshes or cycles from the start, as its configuration asks.
        const PaneTimerSettings& timers = config.panes[i];
        if (timers.refreshAtStart)
            session_->paneTimers().startRefresh(i + 1, timers.refreshRate);
        if (timers.cycleAtStart)
            session_->paneTimers().startCycle(i + 1, timers.cycleRate);
    }
}

void TMainForm::applyWindowConfig(const WindowConfig& config) {
    move(config.iPositionLeft, config.iPositionTop);
    resize(config.iPositionWidth.value_or(width()), config.iPositionHeight.value_or(height()));
    keepOnScreen();
    panes_->setCount(config.iNumberOfPanes);
    AppSplitter->setPosition(config.iAppSplitPos);
    if (config.iMainSplitPos != 0)
        MainSplit->setPosition(config.iMainSplitPos);
    if (config.iLeftSplitPos != 0)
        LeftSplit->setPosition(config.iLeftSplitPos);
    if (config.iRightSplitPos != 0)
        RightSplit->setPosition(config.iRightSplitPos);
    switch (config.iTileFormat) {
        case 0:
            Gridformat1Click();
            break;
        case 1:
            Verticaltileformat1Click();
            break;
        case 2:
            Horizontaltileformat1Click();
            break;
        default:
            break;
    }
}

void TMainForm::applySpawnedCopyLayout() {
    move(x() + 50, y() + 50);
    panes_->setCount(1);
    AppSplitter->setPosition(140);
    Administration1->setEnabled(false);
    Properties1->setEnabled(false);
    ConfigButton->setEnabled(false);
    for (QToolButton* b :
         {SignonButton, RememberAllBtn, ConnectButton, DisconnectButton, CancelButton}) {
        setButtonShown(b, false);
    }
    setWindowTitle(QStringLiteral("Tarnview (spawned)"));
}

bool TMainForm::SignOn(const QString& reason) {
    const SignOnGuard guard = session_->beginSignOn();
    if (!guard)
        return false;
    // Nothing of the last user's web session, its history included, may reach the next one:
    // the panes get fresh pages before they show the blank page.
    useProfileFor({}, {});
    std::string lost;
    if (session_->userActive()) {
        lost = saveUserState();
        if (session_->connected())
            DisconnectButtonClick();
        for (BrowserPane& pane : Panes) {
            pane.url->clear();  // saved above; the next user's come with their settings
            pane.browser->Navigate(blankPageUrl());
        }
        panes_->setCount(1);
        ArrangePanes();
    }
    addLost(lost, "that you signed off", session_->signOff());
    showLost(lost);
    copyLeash_->releaseCopies();
    QApplication::processEvents();
    const QString previousUser = qs(session_->userName());
    const QString previousGroup = qs(session_->groupName());

    TLogonForm logon(prompter_, clock_, this);
    logon.setReason(reason);
    logon.exec();
    if (!LoadUserSettings(logon.UserId(), logon.Group(), previousGroup, previousUser))
        return false;
    reportStoreFailure(session_->signOn());
    return true;
}

void TMainForm::SaveUserState() {
    showLost(saveUserState());
}

void TMainForm::addLost(std::string& lost, const char* what,
                        const std::optional<std::string>& failure) {
    if (failure)
        lost += (lost.empty() ? "" : "; ") + std::string(what) + " (" + *failure + ")";
}

void TMainForm::showLost(const std::string& lost) {
    if (!lost.empty()) {
        prompter_.error("Tarnview could not save " + lost +
                        ". Free some disk space, or ask your administrator to check the settings "
                        "folder.");
    }
}

std::string TMainForm::saveUserState() {
    if (!session_->userActive())
        return {};
    const std::string key = session_->configKey();
    const std::string today = clock_.today();
    WindowState state;
    state.iPositionLeft = x();
    state.iPositionTop = y();
    state.iPositionWidth = width();
    state.iPositionHeight = height();
    state.iTileFormat = static_cast<int>(panes_->tileFormat());
    state.iAppSplitPos = AppSplitter->Position();
    state.iMainSplitPos = MainSplit->Position();
    state.iLeftSplitPos = LeftSplit->Position();
    state.iRightSplitPos = RightSplit->Position();
    state.bShowFavorites = ShowFavoritesList1->isChecked();
    state.bShowButtonBar = ShowButtonbar1->isChecked();
    state.bShowStatusBar = ShowStatusbar1->isChecked();
    std::array<std::vector<std::string>, 4> boxes;
    for (int i = 0; i < 4; ++i) {
        for (int item = 0; item < Panes[i].url->count(); ++item) {
            boxes[i].push_back(Panes[i].url->itemText(item).toStdString());
        }
    }
    // Each part is saved on its own, so a full disk loses only what it must, and says what.
    std::string lost;
    const auto save = [&](const char* what, const std::function<void()>& write) {
        try {
            write();
        } catch (const SettingsError& error) {
            addLost(lost, what, error.what());
        }
    };
    save("the window's place and panes", [&] {
        writeWindowState(key, state, today);
        recordLastRun(today);
    });
    save("the address histories",
         [&] { writeHistories(key, session_->config().iUrlHistory, boxes); });
    save("today's minutes of use", [&] { session_->accounting().storeUsage(); });
    save("the toolbars' places", [&] { saveToolbars(); });
    return lost;
}

QString TMainForm::GetUserFolder() {
    // Read afresh: a changed favourites folder counts from the next favourites operation.
    const std::string& group = session_->groupName();
    const GroupRecord policy = currentGroupPolicy();
    return qs(userFolder(policy, group, session_->userName()).text);
}

void TMainForm::reportStoreFailure(const std::optional<std::string>& failure) {
    if (failure)
        prompter_.error(*failure);
}

bool TMainForm::FormCloseQuery() {
    if (session_->mayClose())
        return true;
    prompter_.message("You are not allowed to close Tarnview..");
    return false;
}

void TMainForm::FormClose() {
    if (!session_->keepsState())
        return;
    std::string lost = saveUserState();
    // The person leaves with the window: their copies close and nothing stays signed on.
    if (session_->userActive())
        addLost(lost, "that you signed off", session_->signOff());
    showLost(lost);
    copyLeash_->releaseCopies();
    hangUpOnClose();
}

void TMainForm::useProfileFor(const std::string& group, const std::string& user) {
    QWebEngineProfile* profile = profiles_->switchTo(group, user);
    if (!profile)
        return;
    // A spawned copy starts with the cookies its main instance handed over, once.
    if (!handoverToken_.empty())
        seedCookies(profile, takeCookieHandover(
                                 cookieHandoverFile(std::exchange(handoverToken_, std::string()))));
    // A fresh page shows nothing; a pane that showed the blank page shows it again.
    const QString blank = blankPageUrl();
    for (TWebBrowser* browser : allBrowsers()) {
        const bool showedBlank = browser->LocationURL() == blank;
        browser->setProfile(profile);
        if (showedBlank)
            browser->Navigate(blank);
    }
}

std::vector<TDock*> TMainForm::allDocks() const {
    std::vector<TDock*> docks{Dock971, Dock972, Dock973, Dock974};
    for (const BrowserPane& pane : Panes) {
        docks.push_back(pane.topDock);
        docks.push_back(pane.bottomDock);
    }
    return docks;
}

std::vector<TDockToolbar*> TMainForm::allToolbars() const {
    std::vector<TDockToolbar*> toolbars{MainToolBar};
    for (const BrowserPane& pane : Panes)
        toolbars.push_back(pane.toolbar);
    return toolbars;
}

std::vector<std::optional<ToolbarState>> TMainForm::readToolbars(
    const std::string& configKey) const {
    const std::vector<TDockToolbar*> toolbars = allToolbars();
    std::vector<std::optional<ToolbarState>> states(toolbars.size());
    if (session_->spawnedCopy())
        return states;  // a spawned copy keeps its toolbars where they were designed
    for (size_t i = 0; i < toolbars.size(); ++i)
        states[i] = loadToolbarState(configKey, toolbars[i]->objectName().toStdString());
    return states;
}

void TMainForm::saveToolbars() {
    const std::string key = session_->configKey();
    for (TDockToolbar* toolbar : allToolbars()) {
        saveToolbarState(key, toolbar->objectName().toStdString(), captureToolbarState(*toolbar));
    }
}

void TMainForm::keepOnScreen() {
    // Enough of the window's top edge must lie on some screen for the user to grab it.
    const QRect grip(pos(), QSize(std::min(width(), 200), 40));
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersects(grip))
            return;
    }
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    resize(std::min(width(), available.width()), std::min(height(), available.height()));
    move(available.topLeft());
}

void TMainForm::setButtonShown(QToolButton* button, bool shown) {
    for (QAction* action : MainToolBar->actions()) {
        if (MainToolBar->widgetForAction(action) == button)
            action->setVisible(shown);
    }
}

}  // namespace tarn
