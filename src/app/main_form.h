#pragma once

#include <QIcon>
#include <QMainWindow>
#include <QString>
#include <QThreadPool>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/browser_pane.h"
#include "app/pane_layout.h"
#include "app/pane_state.h"
#include "session/session.h"
#include "widgets/elided_label.h"
#include "widgets/toolbar_state.h"

class QAction;
class QLabel;
class QMenu;
class QTimer;
class QUrl;
class QToolButton;
class QTreeWidget;

namespace tarn {

class Clock;
class CopyLeash;
class EngineProfiles;
class Launcher;
class OnlineServiceAutomation;
class WindowDriver;
class Prompter;
class TAdvSplitter;
class TDock;
class TDockToolbar;
class TWebBrowser;

// The main window: up to four browser panes and a hidden one, under the signed-on user's
// policy. It shows the session and forwards its handlers to it; handlers keep the names of the
// controls and events they serve, and the logic they call lives in plain classes beside this one.
class TMainForm : public QMainWindow {
    Q_OBJECT

  public:
    // `parameters` are the command-line parameters after the program path.
    TMainForm(const std::vector<std::string>& parameters, Clock& clock, Prompter& prompter,
              Launcher& launcher, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Who uses the window and under which policy.
    Session& session() { return *session_; }
    const Session& session() const { return *session_; }
    Prompter& prompter() { return prompter_; }
    // How many panes show, the current one, the zoomed one and a favourite waiting to drop.
    const PaneState& paneState() const { return *panes_; }

    // Controls.
    TDock *Dock971{}, *Dock972{}, *Dock973{}, *Dock974{};
    TDockToolbar* MainToolBar{};
    QToolButton *ExitButton{}, *SignonButton{}, *ConfigButton{}, *NewSplitButton{},
        *DelSplitButton{}, *SpeedButton1{}, *TransparentButton1{}, *RememberAllBtn{}, *HelpButton{},
        *ConnectButton{}, *DisconnectButton{}, *CancelButton{};
    QLabel *ClockPanel{}, *ConnectPanel{};
    ElidedLabel* StatusPanel{};
    TAdvSplitter *AppSplitter{}, *MainSplit{}, *LeftSplit{}, *RightSplit{};
    QWidget* FavoritesPanel{};
    std::array<BrowserPane, 4> Panes;
    TWebBrowser* HiddenBrowser{};
    QTimer* Timer1{};
    QTimer* Timer2{};
    QMenu* WebPopup{};
    QAction *Open2{}, *SaveAs2{}, *Print2{}, *GoHome1{}, *GoToSearchPage1{};
    QAction *StartAutomaticRefresh1{}, *StopAutomaticRefresh1{}, *StartURLCycle1{},
        *PauseMultipageCycling1{}, *ClearHistory1{};
    QAction *Open1{}, *SaveAs1{}, *Properties1{}, *Administration1{}, *Exit1{};
    QAction *ShowButtonbar1{}, *ShowStatusbar1{}, *ShowFavoritesList1{};
    QAction *AddToFavorites1{}, *ReadMessages1{}, *NewMessage1{};
    QAction *CenterPanels1{}, *Gridformat1{}, *Verticaltileformat1{}, *Horizontaltileformat1{};
    QAction *Userdata1{}, *About1{};
    QMenu* Favorites1{};
    QTreeWidget* FavListView{};
    std::vector<QIcon> ImageList1;  // web page, folder, local file
    QMenu* PopupMenu1{};
    QAction* DeleteFavorite1{};

    // Life events.
    void FormShow();
    void FormActivate();
    bool FormCloseQuery();
    void FormClose();
    void Timer2Timer();
    void RunSetupWizard();

    // Settings and sign-on. A reload or load that can not read what it needs shows why and
    // leaves the session as it was; false then.
    bool ReloadSettings(bool applyUser);
    bool LoadUserSettings(const QString& user, const QString& group, const QString& previousGroup,
                          const QString& previousUser);
    // `reason`, when given, is what the logon dialog says about why it is there.
    bool SignOn(const QString& reason = {});
    void SaveUserState();
    QString GetUserFolder();
    void ShowStatus(const QString& text);

    // Layout.
    void ArrangePanes();
    void NewSplitButtonClick();
    void DelSplitButtonClick();
    void Gridformat1Click();
    void Verticaltileformat1Click();
    void Horizontaltileformat1Click();
    void CenterPanels1Click();
    void ShowButtonbar1Click();
    void ShowStatusbar1Click();
    void LTZoomClick(int pane);
    void PaneResize(int pane);
    void MainToolBarClose(TDockToolbar* toolbar);

    // Address boxes, pane buttons and the tool menu.
    void SetCurrentPane(int pane);
    void LeftTopURLKeyPress(BrowserPane& pane);
    void LeftTopURLChange(BrowserPane& pane);
    void LeftTopRefreshBtnClick(BrowserPane& pane);
    void LTPopupClick(BrowserPane& pane);
    void Open1Click();
    void SaveAs1Click();
    void Print2Click();
    void GoHome1Click();
    void GoToSearchPage1Click();
    void ClearHistory1Click();
    void AddToHistory(const QString& address, int pane);

    void LeftTopURLEnter(BrowserPane& pane);

    // Favourites.
    void RefreshFavorites();
    void OpenFavorite(const QString& url);
    void FavListViewClick();
    void FavListViewColumnClick(int column);
    void FavoritesMenuItemClick(QAction* item);
    void AddToFavorites1Click();
    void DeleteFavorite1Click();
    void ShowFavoritesList1Click();
    void CancelDropFavorite();

    // Engine events; the sender tells the pane.
    void WebBrowser1BeforeNavigate(TWebBrowser* sender, const QString& url, bool& Cancel);
    // The policy refused a navigation of any browser: shown, and logged where it counts.
    void WebBrowser1NavigationRefused(TWebBrowser* sender, const QString& url,
                                      const QString& status, bool log);
    void WebBrowser1NavigateComplete(TWebBrowser* sender, const QString& url);
    void WebBrowser1DownloadBegin(TWebBrowser* sender);
    void WebBrowser1DownloadComplete(TWebBrowser* sender);
    // The engine hands mail links to the desktop instead of navigating; they arrive here.
    Q_INVOKABLE void MailLinkClicked(const QUrl& url);

    // The tick, refresh and cycling.
    void Timer1Timer();
    void StartAutomaticRefresh1Click();
    void StopAutomaticRefresh1Click();
    void StartURLCycle1Click();
    void PauseMultipageCycling1Click();
    void RememberAllBtnClick();
    void TransparentButton1Click();
    // Opens `url` in the hidden browser; with flag 1 in the platform's own browser outside.
    void HiddenBrowserNewWindow(const QString& url, int flags);

    // New windows, spawned copies and mail.
    void WebBrowser1NewWindow(const QString& url, bool& Processed);
    void WebBrowser1FrameNewWindow(const QString& url, bool& Processed);
    void SpeedButton1Click();
    void NewMessage1Click();
    void ReadMessages1Click();

    // Going on line.
    void ConnectButtonClick();
    void DialProvider(int provider);
    // The end of every dial: the busy indicator, Cancel and the cursor as before it.
    void finishDial();
    // Dials (true) or hangs up the group's dial-up entry off the window's thread, the window
    // answering meanwhile; Cancel gives up waiting for a dial. True when it succeeded.
    bool RasDialOrHangUp(bool dial);
    void DisconnectButtonClick();
    void CancelButtonClick();
    void InvokeAmericaOnline1Click();
    void InvokeDialupRAS1Click();
    // Whether the line this program brought up is still up, and what follows when it is not.
    bool LineStillUp();
    void LineDropped();
    // The online-service client's automation, its X connection made at first use.
    OnlineServiceAutomation& onlineService();
    QMenu* PopupMenu2{};
    QAction *InvokeAmericaOnline1{}, *InvokeDialupRAS1{};

    // Commands.
    void ExitButtonClick();
    void SignonButtonClick();
    void HelpButtonClick();
    void About1Click();
    void Userdata1Click();
    void Administration1Click();
    void ConfigButtonClick();

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void requestActivation(int attempts);
    void buildMenus();
    void buildConnectMenu();
    // The window-side rule of dialling on the first navigation: false holds `url` while the
    // dial runs, after which it is navigated again.
    bool passNavigation(TWebBrowser* browser, const QUrl& url);
    // Closing a main instance while on line hangs up, asking first unless the group says not to.
    void hangUpOnClose();
    // Activity log records; a record that can not be written is said in the status bar.
    void logRefusal(TWebBrowser* source, const QString& url);
    void logConnection(const char* event);
    void showLogFailure(const std::optional<std::string>& failure);
    // Starts a copy of the program for the signed-on user with `arguments` and its permission.
    void startCopy(std::vector<std::string> arguments);
    // The signed-on group's record read afresh (the defaults while nobody is signed on).
    GroupRecord currentGroupPolicy() const;
    void showConnectButtons();
    void buildWebPopup();
    void buildFavoritesList();
    // The folder the favourites are listed from, and the one given to add and delete (empty
    // for the shell's Favorites folder).
    std::string favoritesFolder();
    std::string favoritesWriteFolder();
    void wirePane(BrowserPane& pane);
    void wireBrowser(TWebBrowser* browser);
    void navigatePane(BrowserPane& pane, const QString& address, int flags = 0);
    void buildMainToolBar();
    void buildLayout();
    void applyArrangement(const PaneArrangement& arrangement);
    void applyTileFormat(TileFormat format);
    // A user's settings and toolbar places, read in full before the window switches to them.
    struct UserLoad {
        UserSettings settings;
        std::vector<std::optional<ToolbarState>> toolbars;
    };
    // Throws what reading the settings throws.
    UserLoad readUser(const std::string& user, const std::string& group,
                      const std::string& previousGroup);
    // Runs `read`; a failure is shown in the error box and gives false. One the administrator
    // must act on (`forAdministrator`) also goes to the activity log.
    bool readReporting(const std::function<void()>& read, bool forAdministrator = false);
    void logNotice(const std::string& text);
    // Shows `message` in the error box once this window is on screen, trying `attempts` times.
    void sayOnceShown(std::string message, int attempts);
    // Shows the store's message, if any, in the error box.
    void reportStoreFailure(const std::optional<std::string>& failure);
    // The user's window state, histories, minutes and toolbars, each saved on its own; what
    // could not be saved, with the store's reasons (empty when all was).
    std::string saveUserState();
    static void addLost(std::string& lost, const char* what,
                        const std::optional<std::string>& failure);
    // Says in the error box what could not be saved, if anything.
    void showLost(const std::string& lost);
    void switchToUser(const UserLoad& load);
    // The group's lists are read and built on a thread of their own; the start pages wait for
    // them.
    void startListBuild(std::shared_ptr<ListBuild> build);
    void listsBuilt(const std::shared_ptr<ListBuild>& build);
    void showListCounts(const ListCounts& counts);
    void navigateStartPages();
    void applyStartupSettings();
    void applyWindowConfig(const WindowConfig& config);
    void applySpawnedCopyLayout();
    void setButtonShown(QToolButton* button, bool shown);
    void useProfileFor(const std::string& group, const std::string& user);
    std::vector<std::optional<ToolbarState>> readToolbars(const std::string& configKey) const;
    void saveToolbars();
    void keepOnScreen();
    BrowserPane* paneOf(const TWebBrowser* browser);
    std::vector<TDock*> allDocks() const;
    std::vector<TDockToolbar*> allToolbars() const;
    std::vector<TWebBrowser*> allBrowsers() const;

    Clock& clock_;
    class OnlineHost;
    friend class OnlineHost;
    std::unique_ptr<WindowDriver> windowDriver_;
    std::unique_ptr<OnlineHost> onlineHost_;
    std::unique_ptr<OnlineServiceAutomation> onlineService_;
    bool dialCancelled_ = false;
    bool dialing_ = false;
    QString heldNavigation_;     // the address a dial on the first navigation was started for
    std::string handoverToken_;  // a spawned copy's token, until its cookies are taken
    Prompter& prompter_;
    Launcher& launcher_;
    std::unique_ptr<Session> session_;
    QThreadPool listBuilds_;
    std::unique_ptr<PaneState> panes_;
    std::unique_ptr<EngineProfiles> profiles_;  // outlives the pages: the destructor deletes them
    CopyLeash* copyLeash_{};  // the copies this main instance started hold on to it
    int sortColumn_ = -1;     // the favourites list's last sort, until the next refresh
    bool sortAscending_ = true;
    bool shown_ = false;
    bool showingUp_ = false;  // the first reload runs while the window first shows
};

}  // namespace tarn
