#include "app/main_form.h"
#include "app/main_form_online_host.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/about_form.h"
#include "app/copy_leash.h"
#include "engine/engine_profiles.h"
#include "engine/web_browser.h"
#include "log/log_cleanup.h"
#include "platform/clock.h"
#include "platform/help_viewer.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"
#include "session/command_line.h"
#include "session/whoami_form.h"
#include "widgets/adv_splitter.h"
#include "widgets/dock.h"
#include "widgets/dock_toolbar.h"
#include "widgets/elided_label.h"

namespace tarn {

namespace {

// Where Go To Search Page goes; the user help names it.
constexpr char kSearchPage[] = "https://duckduckgo.com/";

}  // namespace

TMainForm::TMainForm(const std::vector<std::string>& parameters, Clock& clock, Prompter& prompter,
                     Launcher& launcher, QWidget* parent)
    : QMainWindow(parent),
      clock_(clock),
      prompter_(prompter),
      launcher_(launcher),
      // FormCreate: the command line of a spawned copy.
      session_(std::make_unique<Session>(parseCommandLine(parameters), clock,
                                         blankPageUrl().toStdString())),
      panes_(std::make_unique<PaneState>()),
      profiles_(std::make_unique<EngineProfiles>(session_->navigationPolicy())),
      copyLeash_(new CopyLeash(this)) {
    if (session_->spawnedCopy()) {
        profiles_->keepOffTheRecord();
        handoverToken_ = parseCommandLine(parameters).Token;
    }
    setObjectName(QStringLiteral("TMainForm"));
    setWindowTitle(QStringLiteral("Tarnview"));
    resize(675, 480);
    buildMenus();
    buildLayout();
    buildMainToolBar();
    buildConnectMenu();
    buildWebPopup();
    buildFavoritesList();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
    Timer1->start();

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(1000);
    connect(Timer2, &QTimer::timeout, this, &TMainForm::Timer2Timer);

    if (session_->keepsState()) {
        CleanupLog(clock_,
                   [this](const std::string& text) { ShowStatus(QString::fromStdString(text)); });
    }
    // The panes get their profile when the first user's settings load; until then each browser
    // keeps the off-the-record one it was made with.
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), this, "MailLinkClicked");
}

TMainForm::~TMainForm() {
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    // Pages must go before the profile they were made on.
    for (BrowserPane& pane : Panes)
        delete pane.browser;
    delete HiddenBrowser;
}

void TMainForm::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto menu = [bar](const char* objectName, const char* caption) {
        QMenu* m = bar->addMenu(QString::fromLatin1(caption));
        m->setObjectName(QString::fromLatin1(objectName));
        return m;
    };
    auto item = [](QMenu* m, const char* objectName, const char* caption) {
        QAction* action = m->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(objectName));
        return action;
    };

    QMenu* file = menu("File1", "&File");
    Open1 = item(file, "Open1", "&Open");
    SaveAs1 = item(file, "SaveAs1", "&Save");
    Properties1 = item(file, "Properties1", "&Properties");
    Administration1 = item(file, "Administration1", "&Administration");
    Exit1 = item(file, "Exit1", "&Exit");

    QMenu* view = menu("View1", "&View");
    ShowButtonbar1 = item(view, "ShowButtonbar1", "Show &Buttonbar");
    ShowStatusbar1 = item(view, "ShowStatusbar1", "Show &Statusbar");
    ShowFavoritesList1 = item(view, "ShowFavoritesList1", "Show &Favorites List");
    for (QAction* a : {ShowButtonbar1, ShowStatusbar1, ShowFavoritesList1}) {
        a->setCheckable(true);
        a->setChecked(true);
    }

    Favorites1 = menu("Favorites1", "&Favorites");
    AddToFavorites1 = item(Favorites1, "AddToFavorites1", "&Add To Favorites");
    Favorites1->addSeparator();

    QMenu* mail = menu("Mail1", "&Mail");
    ReadMessages1 = item(mail, "ReadMessages1", "&Read Messages");
    mail->addSeparator();
    NewMessage1 = item(mail, "NewMessage1", "&New Message");
    connect(ReadMessages1, &QAction::triggered, this, &TMainForm::ReadMessages1Click);
    connect(NewMessage1, &QAction::triggered, this, &TMainForm::NewMessage1Click);

    QMenu* window = menu("Window1", "&Window");
    CenterPanels1 = item(window, "CenterPanels1", "&Center Panels");
    window->addSeparator();
    Gridformat1 = item(window, "Gridformat1", "&Grid format");
    Verticaltileformat1 = item(window, "Verticaltileformat1", "&Vertical tile format");
    Horizontaltileformat1 = item(window, "Horizontaltileformat1", "&Horizontal tile format");
    auto* tileGroup = new QActionGroup(this);
    tileGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction* a : {Gridformat1, Verticaltileformat1, Horizontaltileformat1}) {
        a->setCheckable(true);
        tileGroup->addAction(a);
    }
    Gridformat1->setChecked(true);
    window->addSeparator();
    Userdata1 = item(window, "Userdata1", "&User data");
    window->addSeparator();
    About1 = item(window, "About1", "&About");

    connect(Open1, &QAction::triggered, this, &TMainForm::Open1Click);
    connect(SaveAs1, &QAction::triggered, this, &TMainForm::SaveAs1Click);
    connect(Exit1, &QAction::triggered, this, &TMainForm::ExitButtonClick);
    connect(ShowButtonbar1, &QAction::triggered, this, &TMainForm::ShowButtonbar1Click);
    connect(ShowStatusbar1, &QAction::triggered, this, &TMainForm::ShowStatusbar1Click);
    connect(CenterPanels1, &QAction::triggered, this, &TMainForm::CenterPanels1Click);
    connect(Gridformat1, &QAction::triggered, this, &TMainForm::Gridformat1Click);
    connect(Verticaltileformat1, &QAction::triggered, this, &TMainForm::Verticaltileformat1Click);
    connect(Horizontaltileformat1, &QAction::triggered, this,
            &TMainForm::Horizontaltileformat1Click);
    connect(Userdata1, &QAction::triggered, this, &TMainForm::Userdata1Click);
    connect(Administration1, &QAction::triggered, this, &TMainForm::Administration1Click);
    connect(Properties1, &QAction::triggered, this, &TMainForm::ConfigButtonClick);
    connect(About1, &QAction::triggered, this, &TMainForm::About1Click);
}

void TMainForm::buildWebPopup() {
    WebPopup = new QMenu(this);
    WebPopup->setObjectName(QStringLiteral("WebPopup"));
    auto item = [this](const char* objectName, const char* caption, void (TMainForm::*handler)()) {
        QAction* action = WebPopup->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(objectName));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    Open2 = item("Open2", "&Open", &TMainForm::Open1Click);
    SaveAs2 = item("SaveAs2", "Save &As", &TMainForm::SaveAs1Click);
    Print2 = item("Print2", "&Print", &TMainForm::Print2Click);
    WebPopup->addSeparator();
    GoHome1 = item("GoHome1", "&Go Home", &TMainForm::GoHome1Click);
    GoToSearchPage1 =
        item("GoToSearchPage1", "G&o To Search Page", &TMainForm::GoToSearchPage1Click);
    WebPopup->addSeparator();
    StartAutomaticRefresh1 = item("StartAutomaticRefresh1", "&Start Automatic Refresh",
                                  &TMainForm::StartAutomaticRefresh1Click);
    StopAutomaticRefresh1 = item("StopAutomaticRefresh1", "St&op Automatic Refresh",
                                 &TMainForm::StopAutomaticRefresh1Click);
    StartURLCycle1 =
        item("StartURLCycle1", "Sta&rt Multi-page URL Cycle", &TMainForm::StartURLCycle1Click);
    PauseMultipageCycling1 = item("PauseMultipageCycling1", "S&top Multi-page Cycling",
                                  &TMainForm::PauseMultipageCycling1Click);
    WebPopup->addSeparator();
    ClearHistory1 = item("ClearHistory1", "&Clear History", &TMainForm::ClearHistory1Click);
}

void TMainForm::buildMainToolBar() {
    MainToolBar = new TDockToolbar(QStringLiteral("Tarnview Main Toolbar"), this);
    MainToolBar->setObjectName(QStringLiteral("MainToolBar"));
    MainToolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    struct Button {
        QToolButton** member;
        const char* name;
        const char* caption;
        QStyle::StandardPixmap icon;
        const char* hint;
        bool separatorAfter;
    };
    const Button buttons[] = {
        {&ExitButton, "ExitButton", "Exit", QStyle::SP_DialogCloseButton, "Close Tarnview", true},
        {&SignonButton, "SignonButton", "Sign on", QStyle::SP_DialogApplyButton,
         "Signon or Signoff from Tarnview", false},
        {&ConfigButton, "ConfigButton", "Setup", QStyle::SP_FileDialogInfoView,
         "Run the Tarnview configuration form", true},
        {&NewSplitButton, "NewSplitButton", "Add pane", QStyle::SP_FileDialogNewFolder,
         "Add a new WebBrowser pane", false},
        {&DelSplitButton, "DelSplitButton", "Remove pane", QStyle::SP_TrashIcon,
         "Remove a WebBrowser pane", false},
        {&SpeedButton1, "SpeedButton1", "New window", QStyle::SP_DesktopIcon,
         "Open a new Tarnview Window", true},
        {&TransparentButton1, "TransparentButton1", "Browser", QStyle::SP_DirLinkIcon,
         "Load Internet Explorer", false},
        {&RememberAllBtn, "RememberAllBtn", "Remember", QStyle::SP_DialogSaveButton,
         "Remember all settings as defaults (# webs, position and URLs)", false},
        {&HelpButton, "HelpButton", "Help", QStyle::SP_DialogHelpButton, "Invoke Tarnview help",
         true},
        {&ConnectButton, "ConnectButton", "Connect", QStyle::SP_DriveNetIcon,
         "Connect to dialup or AOL using dial-up parameters", false},
        {&DisconnectButton, "DisconnectButton", "Disconnect", QStyle::SP_BrowserStop,
         "Disconnect the active dialup or AOL connection", false},
        {&CancelButton, "CancelButton", "Cancel", QStyle::SP_DialogCancelButton,
         "Cancel the current dial-up or AOL dial connect attempt", false},
    };
    for (const Button& b : buttons) {
        auto* button = new QToolButton(MainToolBar);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setText(QString::fromLatin1(b.caption));
        button->setIcon(style()->standardIcon(b.icon));
        button->setToolTip(QString::fromLatin1(b.hint));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        MainToolBar->addWidget(button);
        if (b.separatorAfter)
            MainToolBar->addSeparator();
        *b.member = button;
    }
    connect(ExitButton, &QToolButton::clicked, this, &TMainForm::ExitButtonClick);
    connect(SignonButton, &QToolButton::clicked, this, &TMainForm::SignonButtonClick);
    connect(ConfigButton, &QToolButton::clicked, this, &TMainForm::ConfigButtonClick);
    connect(NewSplitButton, &QToolButton::clicked, this, &TMainForm::NewSplitButtonClick);
    connect(DelSplitButton, &QToolButton::clicked, this, &TMainForm::DelSplitButtonClick);
    connect(HelpButton, &QToolButton::clicked, this, &TMainForm::HelpButtonClick);
    connect(RememberAllBtn, &QToolButton::clicked, this, &TMainForm::RememberAllBtnClick);
    connect(TransparentButton1, &QToolButton::clicked, this, &TMainForm::TransparentButton1Click);
    connect(SpeedButton1, &QToolButton::clicked, this, &TMainForm::SpeedButton1Click);

    MainToolBar->setDefaultDock(Dock971);
    MainToolBar->setAllowedDocks({Dock971, Dock972, Dock973, Dock974});
    MainToolBar->setCloseButton(true);
    MainToolBar->dockTo(Dock971, 0, 0);
    connect(MainToolBar, &TDockToolbar::CloseRequested, this,
            [this] { MainToolBarClose(MainToolBar); });
}

void TMainForm::buildLayout() {
    auto* central = new QWidget(this);
    auto* grid = new QGridLayout(central);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    Dock971 = new TDock(TDock::Edge::Top, central);
    Dock972 = new TDock(TDock::Edge::Left, central);
    Dock973 = new TDock(TDock::Edge::Bottom, central);
    Dock974 = new TDock(TDock::Edge::Right, central);
    Dock971->setObjectName(QStringLiteral("Dock971"));
    Dock972->setObjectName(QStringLiteral("Dock972"));
    Dock973->setObjectName(QStringLiteral("Dock973"));
    Dock974->setObjectName(QStringLiteral("Dock974"));

    auto splitter = [](QWidget* parent, const char* objectName, TSplitterOrientation orientation,
                       int position) {
        auto* s = new TAdvSplitter(parent);
        s->setObjectName(QString::fromLatin1(objectName));
        s->setOrientation(orientation);
        s->setPosition(position);
        return s;
    };
    AppSplitter = splitter(central, "AppSplitter", TSplitterOrientation::soVertical, 146);
    MainSplit = splitter(AppSplitter->Pane2(), "MainSplit", TSplitterOrientation::soVertical, 249);
    LeftSplit = splitter(MainSplit->Pane1(), "LeftSplit", TSplitterOrientation::soHorizontal, 192);
    RightSplit =
        splitter(MainSplit->Pane2(), "RightSplit", TSplitterOrientation::soHorizontal, 190);
    AppSplitter->Pane2()->setContent(MainSplit);
    MainSplit->Pane1()->setContent(LeftSplit);
    MainSplit->Pane2()->setContent(RightSplit);

    FavoritesPanel = new QWidget(AppSplitter->Pane1());
    FavoritesPanel->setObjectName(QStringLiteral("FavoritesPanel"));
    AppSplitter->Pane1()->setContent(FavoritesPanel);

    TAdvSplitter* hosts[4] = {LeftSplit, LeftSplit, RightSplit, RightSplit};
    for (int i = 0; i < 4; ++i) {
        TAdvPane* host = (i % 2 == 0) ? hosts[i]->Pane1() : hosts[i]->Pane2();
        Panes[i] = buildBrowserPane(i + 1, session_->navigationPolicy(), host);
        host->setContent(Panes[i].panel);
        const int pane = i + 1;
        connect(Panes[i].zoomButton, &QToolButton::clicked, this,
                [this, pane] { LTZoomClick(pane); });
        connect(host, &TAdvPane::OnResize, this, [this, pane] { PaneResize(pane); });
        connect(Panes[i].toolbar, &TDockToolbar::DockChanged, this,
                [this, pane] { PaneResize(pane); });
    }
    connect(Panes[0].toolbar, &TDockToolbar::CloseRequested, this,
            [this] { MainToolBarClose(Panes[0].toolbar); });
    Panes[0].toolbar->setCloseButton(true);

    HiddenBrowser = new TWebBrowser(session_->navigationPolicy(), this);
    HiddenBrowser->setObjectName(QStringLiteral("HiddenBrowser"));
    HiddenBrowser->hide();
    HiddenBrowser->setLauncher(&launcher_);
    for (BrowserPane& pane : Panes)
        wirePane(pane);
    for (TWebBrowser* browser : allBrowsers()) {
        browser->setPrompter(&prompter_);
        browser->setSearchUrl(QString::fromLatin1(kSearchPage));
        wireBrowser(browser);
    }

    grid->addWidget(Dock971, 0, 0, 1, 3);
    grid->addWidget(Dock972, 1, 0);
    grid->addWidget(AppSplitter, 1, 1);
    grid->addWidget(Dock974, 1, 2);
    grid->addWidget(Dock973, 2, 0, 1, 3);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(1, 1);
    setCentralWidget(central);

    QStatusBar* status = statusBar();
    status->setObjectName(QStringLiteral("MainStatusBar"));
    status->setSizeGripEnabled(false);
    ClockPanel = new QLabel(status);
    StatusPanel = new ElidedLabel(status);
    ConnectPanel = new QLabel(status);
    ClockPanel->setObjectName(QStringLiteral("MainStatusBarPanel1"));
    StatusPanel->setObjectName(QStringLiteral("MainStatusBarPanel2"));
    ConnectPanel->setObjectName(QStringLiteral("MainStatusBarPanel3"));
    ClockPanel->setFixedWidth(100);
    StatusPanel->setMinimumWidth(400);
    ConnectPanel->setFixedWidth(50);
    status->addWidget(ClockPanel);
    status->addWidget(StatusPanel, 1);
    status->addWidget(ConnectPanel);
}

void TMainForm::ShowStatus(const QString& text) {
    StatusPanel->setFullText(text);
}

std::vector<TWebBrowser*> TMainForm::allBrowsers() const {
    return {Panes[0].browser, Panes[1].browser, Panes[2].browser, Panes[3].browser, HiddenBrowser};
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
        requestActivation(20);
    }
}

void TMainForm::requestActivation(int attempts) {
    // Without a window manager (a kiosk display) nobody activates a new window, and the
    // activation is what signs the user on. The request only takes once the window is mapped.
    QTimer::singleShot(150, this, [this, attempts] {
        if (isActiveWindow() || attempts <= 1)
            return;
        activateWindow();
        requestActivation(attempts - 1);
    });
}

void TMainForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        for (const BrowserPane& pane : Panes) {
            if (watched == pane.statusBar)
                CancelDropFavorite();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TMainForm::ExitButtonClick() {
    close();
}

void TMainForm::SignonButtonClick() {
    SignOn();
}

void TMainForm::HelpButtonClick() {
    showHelp(this, programFolder() / "tarnview.hlp", 10);
}

void TMainForm::About1Click() {
    TAboutForm about(this);
    about.exec();
    setWindowTitle(QStringLiteral("Tarnview"));
}

void TMainForm::Userdata1Click() {
    const Session& s = *session_;
    TWhoAmIForm form(QString::fromStdString(s.userName()), QString::fromStdString(s.groupName()),
                     s.usageMinutesToday(), s.connectMinutesToday(), s.minutesLeftToday(), this);
    form.exec();
}

}  // namespace tarn
