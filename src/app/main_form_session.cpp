// Start-up, sign-on, loading and saving the signed-on user's settings, and closing.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include "app/engine/engine_profiles.h"
#include "app/engine/web_browser.h"
#include "app/main_form.h"
#include "app/url_combo_box.h"
#include "app/url_filter.h"
#include "app/user_config.h"
#include "log/log_cleanup.h"
#include "platform/clock.h"
#include "platform/prompter.h"
#include "session/logon_form.h"
#include "settings/admin_area.h"
#include "settings/day_record.h"
#include "settings/group_lists.h"
#include "settings/group_record.h"
#include "settings/registry_layout.h"
#include "settings/settings_store.h"
#include "widgets/adv_splitter.h"
#include "widgets/busy_indicator.h"
#include "widgets/dock.h"
#include "widgets/dock_toolbar.h"
#include "widgets/toolbar_state.h"

namespace tarn {

namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// Before the first sign-on there is no group yet, and its policy is every default.
GroupRecord policyOf(const QString& group) {
    return group.isEmpty() ? policyDefaults() : readGroupPolicy(group.toStdString());
}

}  // namespace

void TMainForm::FormShow() {
    ReloadSettings(true);
}

void TMainForm::FormActivate() {
    if (!StartupChecksDone) {
        StartupChecksDone = true;
        SettingsStore store(kTarnviewRoot);
        if (store.read_string("Config", "sInstalledVersion", "").empty())
            Timer2->start();
    }
    if (signingOn_)
        return;  // the logon dialog of a running sign-on is closing
    if (UseLogon) {
        if (SpawnedCopy != 0) {
            UserActive = true;
        } else if (!UserActive && !Timer2->isActive()) {
            SignOn();
        }
    } else {
        UserActive = true;
    }
}

void TMainForm::Timer2Timer() {
    Timer2->stop();
    RunSetupWizard();
    QApplication::processEvents();
    // Dialling at start-up comes with the dial-up connection.
}

void TMainForm::RunSetupWizard() {
    // The wizard's own window comes with the first-run setup; its other steps run here.
    ReloadSettings(false);
    if (UseLogon) {
        SignOn();
    } else {
        UserActive = true;
    }
}

void TMainForm::ReloadSettings(bool applyUser) {
    {
        SettingsStore store(kTarnviewRoot);
        AdminRoot = store.read_int("Config", "iUserSet", 0);
    }
    setButtonShown(ConnectButton, false);
    setButtonShown(DisconnectButton, false);
    CancelButton->setEnabled(false);
    {
        auto admin = openAdminKey(kAdminKey, false);
        LoggingEnabled = admin->read_bool("", "bLoggingEnabled", false);
        UseLogon = admin->read_bool("", "bUseLogon", false);
    }
    if (SpawnedCopy == 0) {
        if (UseLogon) {
            setButtonShown(SignonButton, true);
        } else {
            GroupName = QString::fromLatin1(kDefaultGroup);
            UserName = QString::fromLatin1(kDefaultUser);
            setButtonShown(SignonButton, false);
        }
    } else if (GroupName.isEmpty()) {
        GroupName = QString::fromLatin1(kDefaultGroup);
        UserName = QString::fromLatin1(kDefaultUser);
    }
    if (applyUser)
        LoadUserSettings(UserName, GroupName, QString(), QString());
}

void TMainForm::LoadUserSettings(const QString& user, const QString& group,
                                 const QString& previousGroup, const QString& previousUser) {
    Q_UNUSED(previousUser);
    const std::string groupId = group.toStdString();
    const std::string userId = user.toStdString();
    const GroupRecord policy = policyOf(group);
    if (SpawnedCopy == 0) {
        StartDialParam = policy.iStartDialParam;
        // A group without dialling must not inherit the previous group's dial mode.
        DialMode = 0;
        if (policy.bGroupRASFlag)
            DialMode = 1;
        if (policy.bGroupAOLFlag)
            DialMode = 2;
        if (policy.bGroupRASFlag && policy.bGroupAOLFlag)
            DialMode = 3;
        if (DialMode != 0) {
            setButtonShown(ConnectButton, true);
            setButtonShown(DisconnectButton, true);
            DisconnectButton->setEnabled(false);
        }
    }
    AllowMailLinks = policy.bGroupAllowMailLinks;
    UsageMinutesToday = userId.empty() || groupId.empty()
                            ? 0
                            : readUserDayMinutes(groupId, userId, DayRecord::Usage, clock_.today());

    ShowStatus(QStringLiteral("loading group lists.."));
    if (group == previousGroup) {
        ShowStatus(QStringLiteral("lists not refreshed.."));
    } else {
        // The filter keeps the lists in the form it matches them; only their counts are shown.
        const GroupLists lists = assembleGroupLists(policy);
        filter_ = std::make_unique<UrlFilter>(lists);
        ShowStatus(QStringLiteral("lists: %1\\%2\\%3")
                       .arg(lists.ExclusionList.size())
                       .arg(lists.WordList.size())
                       .arg(lists.InclusionList.size()));
    }

    if (const auto key = configKeyFor(groupId, userId, policy.configChoice.iUserConfigType)) {
        ConfigKey = qs(*key);
    }
    const WindowConfig config = readWindowConfig(ConfigKey.toStdString());

    if (SpawnedCopy != 0) {
        move(x() + 50, y() + 50);
        PaneCount = 1;
        AppSplitter->setPosition(140);
        ShowFavoritesList1->setChecked(false);
        ShowButtonbar1->setChecked(true);
        ShowStatusbar1->setChecked(true);
        Administration1->setEnabled(false);
        Properties1->setEnabled(false);
        ConfigButton->setEnabled(false);
        for (QToolButton* b :
             {SignonButton, RememberAllBtn, ConnectButton, DisconnectButton, CancelButton}) {
            setButtonShown(b, false);
        }
        setWindowTitle(QStringLiteral("Tarnview (spawned)"));
    } else {
        move(config.iPositionLeft, config.iPositionTop);
        resize(config.iPositionWidth.value_or(width()), config.iPositionHeight.value_or(height()));
        keepOnScreen();
        PaneCount = config.iNumberOfPanes;
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
        ShowFavoritesList1->setChecked(config.bShowFavorites);
        ShowButtonbar1->setChecked(config.bShowButtonBar);
        ShowStatusbar1->setChecked(config.bShowStatusBar);
    }
    // The bars follow their check marks, so the menu never says hidden while a bar shows.
    MainToolBar->setVisible(ShowButtonbar1->isChecked());
    statusBar()->setVisible(ShowStatusbar1->isChecked());

    for (BrowserPane& pane : Panes)
        pane.url->clear();
    if (SpawnedCopy == 0) {
        UrlHistory = config.iUrlHistory;
        MaxHistoryEntries = config.iMaxHistoryEntries;
        for (int i = 0; i < 4; ++i) {
            paneSettings_[i] = {config.iWebRefreshRate[i], config.bWebRefreshMins[i],
                                config.iWebCycleRate[i], config.bWebCycleMins[i]};
        }
        paneTimers_->setSettings(paneSettings_);
        const auto histories = readHistories(ConfigKey.toStdString(), UrlHistory);
        for (int i = 0; i < 4; ++i) {
            for (const std::string& entry : histories[i])
                Panes[i].url->addItem(qs(entry));
            Panes[i].url->setCurrentIndex(-1);
        }
    }
    AppSplitter->Pane1Setting()->setVisible(ShowFavoritesList1->isChecked());
    for (BrowserPane& pane : Panes)
        pane.animate->hide();
    RefreshFavorites();

    ArrangePanes();
    CurrentPane = 1;

    useProfileFor(group, user);
    for (int i = 0; i < 4; ++i) {
        // Go Home goes to the pane's start address, or to the blank page without one.
        const std::string& start = config.sPaneUrl[i];
        Panes[i].browser->setHomeUrl(start.empty() ? blankPage() : qs(start));
    }
    if (SpawnedCopy == 0) {
        for (int i = 0; i < PaneCount; ++i) {
            if (!config.sPaneUrl[i].empty())
                Panes[i].browser->Navigate(qs(config.sPaneUrl[i]));
        }
        restoreToolbars();
    } else if (!StartUrl.isEmpty()) {
        Panes[0].browser->Navigate(StartUrl);
    }
}

bool TMainForm::SignOn() {
    signingOn_ = true;
    if (UserActive) {
        SaveUserState();
        // Hanging up comes with the dial-up connection.
        for (BrowserPane& pane : Panes)
            pane.browser->Navigate(blankPage());
        PaneCount = 1;
        ArrangePanes();
    }
    UserActive = false;
    QApplication::processEvents();
    writeUserActive(ConfigKey.toStdString(), false);
    const QString previousUser = UserName;
    const QString previousGroup = GroupName;
    // Nothing of the last user's web session may reach the next one.
    useProfileFor(QString(), QString());

    TLogonForm logon(prompter_, clock_, this);
    logon.exec();
    UserName = logon.UserId();
    GroupName = logon.Group();
    UserActive = true;
    LoadUserSettings(UserName, GroupName, previousGroup, previousUser);
    writeUserActive(ConfigKey.toStdString(), true);
    signingOn_ = false;
    return true;
}

void TMainForm::SaveUserState() {
    if (!UserActive)
        return;
    const std::string key = ConfigKey.toStdString();
    const std::string today = clock_.today();
    WindowState state;
    state.iPositionLeft = x();
    state.iPositionTop = y();
    state.iPositionWidth = width();
    state.iPositionHeight = height();
    state.iTileFormat = static_cast<int>(tileFormat_);
    state.iAppSplitPos = AppSplitter->Position();
    state.iMainSplitPos = MainSplit->Position();
    state.iLeftSplitPos = LeftSplit->Position();
    state.iRightSplitPos = RightSplit->Position();
    state.bShowFavorites = ShowFavoritesList1->isChecked();
    state.bShowButtonBar = ShowButtonbar1->isChecked();
    state.bShowStatusBar = ShowStatusbar1->isChecked();
    writeWindowState(key, state, today);
    recordLastRun(today);

    std::array<std::vector<std::string>, 4> boxes;
    for (int i = 0; i < 4; ++i) {
        for (int item = 0; item < Panes[i].url->count(); ++item) {
            boxes[i].push_back(Panes[i].url->itemText(item).toStdString());
        }
    }
    writeHistories(key, UrlHistory, boxes);
    writeUserDayMinutes(GroupName.toStdString(), UserName.toStdString(), DayRecord::Usage, today,
                        UsageMinutesToday);
    saveToolbars();
}

QString TMainForm::GetUserFolder() {
    const std::string group = GroupName.toStdString();
    return qs(userFolder(policyOf(GroupName), group, UserName.toStdString()).text);
}

bool TMainForm::FormCloseQuery() {
    if (SpawnedCopy != 0)
        return true;
    if (policyOf(GroupName).bGroupAllowClose)
        return true;
    prompter_.message("You are not allowed to close Tarnview..");
    return false;
}

void TMainForm::FormClose() {
    if (SpawnedCopy != 0)
        return;
    SaveUserState();
    // Disconnecting on close comes with the dial-up connection.
}

void TMainForm::useProfileFor(const QString& group, const QString& user) {
    if (profile_ && group == profileGroup_ && user == profileUser_)
        return;
    QWebEngineProfile* old = profile_;
    profile_ = profiles_->profileFor(group.toStdString(), user.toStdString());
    profileGroup_ = group;
    profileUser_ = user;
    for (BrowserPane& pane : Panes)
        pane.browser->setProfile(profile_);
    HiddenBrowser->setProfile(profile_);
    if (old)
        profiles_->retire(old);
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

void TMainForm::restoreToolbars() {
    const std::string key = ConfigKey.toStdString();
    for (TDockToolbar* toolbar : allToolbars()) {
        if (const auto state = loadToolbarState(key, toolbar->objectName().toStdString())) {
            applyToolbarState(*toolbar, *state, allDocks());
        }
    }
}

void TMainForm::saveToolbars() {
    const std::string key = ConfigKey.toStdString();
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
