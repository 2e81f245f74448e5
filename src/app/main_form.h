#pragma once

#include <QIcon>
#include <QMainWindow>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/browser_pane.h"
#include "app/pane_layout.h"
#include "app/pane_timers.h"

class QAction;
class QLabel;
class QMenu;
class QTimer;
class QUrl;
class QToolButton;
class QTreeWidget;
class QWebEngineProfile;

namespace tarn {

class Clock;
class EngineProfiles;
class Launcher;
class LoadTiming;
class Prompter;
class TickClock;
class UrlFilter;
class TAdvSplitter;
class TDock;
class TDockToolbar;
class TWebBrowser;

// The main window: up to four browser panes and a hidden one, under the signed-on user's
// policy. Handlers keep the names of the controls and events they serve; the logic they call
// lives in plain classes beside this one.
class TMainForm : public QMainWindow {
    Q_OBJECT

  public:
    // `parameters` are the command-line parameters after the program path.
    TMainForm(const std::vector<std::string>& parameters, Clock& clock, Prompter& prompter,
              Launcher& launcher, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Session state.
    QString UserName;
    QString GroupName;
    QString ConfigKey;
    QString StartUrl;
    int SpawnedCopy = 0;
    int PaneCount = 1;
    int CurrentPane = 1;
    int ZoomedPane = 0;
    int UsageMinutesToday = 0;
    int ConnectMinutesToday = 0;
    int IdleMinutes = 0;
    int AdminRoot = 0;
    int DialMode = 0;
    int StartDialParam = 1;
    bool LoggingEnabled = false;
    bool AllowMailLinks = true;
    bool Connected = false;
    bool UseLogon = false;
    bool UserActive = false;
    bool StartupChecksDone = false;
    int UrlHistory = 2;
    int MaxHistoryEntries = 25;

    // Controls.
    TDock *Dock971{}, *Dock972{}, *Dock973{}, *Dock974{};
    TDockToolbar* MainToolBar{};
    QToolButton *ExitButton{}, *SignonButton{}, *ConfigButton{}, *NewSplitButton{},
        *DelSplitButton{}, *SpeedButton1{}, *TransparentButton1{}, *RememberAllBtn{}, *HelpButton{},
        *ConnectButton{}, *DisconnectButton{}, *CancelButton{};
    QLabel *ClockPanel{}, *StatusPanel{}, *ConnectPanel{};
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
    // Asks for a page to open (File > Open); tests answer it.
    std::function<QString(QWidget* parent)> OpenFileChooser;
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
    bool DropPending = false;
    QString DropUrl;
    // Asks for a file in a favourites subfolder (OpenDialog1); tests answer it.
    std::function<QString(QWidget* parent, const QString& startFile)> FavoriteFileChooser;

    // Life events.
    void FormShow();
    void FormActivate();
    bool FormCloseQuery();
    void FormClose();
    void Timer2Timer();
    void RunSetupWizard();

    // Settings and sign-on.
    void ReloadSettings(bool applyUser);
    void LoadUserSettings(const QString& user, const QString& group, const QString& previousGroup,
                          const QString& previousUser);
    bool SignOn();
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

    // Commands.
    void ExitButtonClick();
    void SignonButtonClick();
    void HelpButtonClick();
    void About1Click();
    void Userdata1Click();

    // The engine profile the panes browse in: the signed-on user's own, or an off-the-record
    // one for the anonymous user.
    QWebEngineProfile* currentProfile() const { return profile_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void requestActivation(int attempts);
    void buildMenus();
    void buildWebPopup();
    void buildFavoritesList();
    // The folder the favourites are listed from, and the one given to add and delete (empty
    // for the shell's Favorites folder).
    std::string favoritesFolder();
    std::string favoritesWriteFolder();
    void wirePane(BrowserPane& pane);
    void wireBrowser(TWebBrowser* browser);
    void navigatePane(BrowserPane& pane, const QString& address);
    void buildMainToolBar();
    void buildLayout();
    void applyArrangement(const PaneArrangement& arrangement);
    void applyTileFormat(TileFormat format);
    void setButtonShown(QToolButton* button, bool shown);
    void useProfileFor(const QString& group, const QString& user);
    void restoreToolbars();
    void saveToolbars();
    void keepOnScreen();
    BrowserPane* paneOf(const TWebBrowser* browser);
    // Runs the URL filter on `address`; a refusal is shown and, where it counts, logged.
    bool passesFilter(const QString& address);
    std::vector<TDock*> allDocks() const;
    std::vector<TDockToolbar*> allToolbars() const;
    QString blankPage() const;

    Clock& clock_;
    Prompter& prompter_;
    Launcher& launcher_;
    std::unique_ptr<UrlFilter> filter_;
    std::unique_ptr<LoadTiming> loadTiming_;
    std::unique_ptr<PaneTimers> paneTimers_;
    std::unique_ptr<TickClock> tickClock_;
    std::array<PaneTimerSettings, 4> paneSettings_{};
    bool tickBusy_ = false;
    int sortColumn_ = -1;  // the favourites list's last sort, until the next refresh
    bool sortAscending_ = true;
    std::unique_ptr<EngineProfiles> profiles_;
    QWebEngineProfile* profile_{};
    QString profileGroup_, profileUser_;
    TileFormat tileFormat_ = TileFormat::Grid;  // the designed tiling
    PaneArrangement arrangement_{};
    bool shown_ = false;
    bool signingOn_ = false;
};

}  // namespace tarn
