#pragma once

#include <QSet>
#include <QString>
#include <QUrl>
#include <QWebEngineView>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "platform/message_box_prompter.h"
#include "policy/navigation_policy.h"

class QPrinter;
class QWebEngineLoadingInfo;
class QWebEngineNewWindowRequest;
class QWebEngineProfile;

namespace tarn {

class Launcher;
class TWebPage;

// One browser engine instance of a pane (or the hidden one): the operations the window calls
// and the events it handles, over a Qt WebEngine view. Every navigation is put to the policy the
// browser is built with; without one it refuses them all. Events are emitted on the UI thread
// and must be connected directly, since the writable flags are read back when the emit returns.
class TWebBrowser : public QWebEngineView {
    Q_OBJECT

  public:
    enum Command { CommandForward = 1, CommandBack = 2 };
    // Navigate's flags: open the address in the platform's own browser instead of this view;
    // admit the address (a local file the person chose, an address the configuration names)
    // past the rule that pages are web addresses. The lists judge it either way.
    enum NavigateFlag { NavOpenInNewWindow = 1, NavAdmitted = 2 };
    // Asks for the file to save a page to; an empty answer cancels.
    using SaveChooser = std::function<QString(QWidget* parent, const QString& suggestedPath)>;

    explicit TWebBrowser(std::shared_ptr<const PolicySlot> policy, QWidget* parent = nullptr);
    ~TWebBrowser() override;

    // Browses in `profile` from now on, on a fresh page; the old page goes. The profile must
    // outlive the page. Without one set the view browses off the record in a profile of its own.
    void setProfile(QWebEngineProfile* profile);
    QWebEngineProfile* profile() const;

    void setPrompter(Prompter* prompter) { prompter_ = prompter; }
    // Where NavOpenInNewWindow hands the addresses the policy allows; without one they stay shut.
    void setLauncher(Launcher* launcher) { launcher_ = launcher; }
    void setSaveChooser(SaveChooser chooser) { saveChooser_ = std::move(chooser); }
    // Asked first for every top-level navigation; false holds it back without a refusal (the
    // window navigates again when it is ready).
    using NavigationGate = std::function<bool(const QUrl& url)>;
    void setNavigationGate(NavigationGate gate) { gate_ = std::move(gate); }
    QString HomeUrl() const { return homeUrl_; }
    void setHomeUrl(const QString& url) { homeUrl_ = url; }
    QString SearchUrl() const { return searchUrl_; }
    void setSearchUrl(const QString& url) { searchUrl_ = url; }

    void Navigate(const QString& url, int flags = 0);
    // Admits `url` as Navigate's NavAdmitted does, for whichever browser goes there first.
    void Admit(const QString& url);
    void GoBack();
    void GoForward();
    void GoHome();
    void GoSearch();
    void Refresh();
    void Stop();
    QString LocationURL() const;
    QString LocationName() const;
    // Prints the page on the default printer without asking; says so when there is none.
    void Print();
    // Saves the page to a file the user chooses, never over Tarnview's own files.
    void SaveAs();

  signals:
    // The policy refused `url`: `status` says so in the window's words; `log` when the refusal
    // belongs in the activity log.
    void NavigationRefused(const QString& url, const QString& status, bool log);
    // The policy refused a frame: it stays as it was, and nothing shows it.
    void FrameNavigationRefused(const QString& url, bool log);
    // An address the policy allowed; a receiver may still refuse it.
    void BeforeNavigate(const QString& url, bool& Cancel);
    void FrameBeforeNavigate(const QString& url);
    void NavigateComplete(const QString& url);
    void FrameNavigateComplete(const QString& url);
    void StatusTextChange(const QString& text);
    void TitleChange(const QString& text);
    void ProgressChange(int progress, int progressMax);
    void CommandStateChange(int command, bool enable);
    void DownloadBegin();
    void DownloadComplete();
    // The load that DownloadComplete ends reached no page: it was stopped, handed to another
    // program or turned into a file. Comes just before that DownloadComplete.
    void LoadAbandoned();
    void NewWindow(const QString& url, bool& Processed);

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    bool decide(const QUrl& url, bool isMainFrame, const FilterDecision& decision);
    // Runs what the engine asked for from inside its own call, which an exception must not
    // cross: a failure is said afterwards, and the answer is `refusal`.
    template <typename Work, typename Answer>
    Answer guarded(Work work, Answer refusal);
    void reportLater(const std::string& failure);
    // The one file a page's upload button may have, asked through the prompter; a page gets no
    // folder and no place to save to, and nothing from Tarnview's own places.
    QStringList chooseUpload(QWebEnginePage::FileSelectionMode mode);
    // False, saying why, for a local file in one of Tarnview's own places.
    bool mayOpenLocally(const QUrl& url);
    bool refused(const QUrl& url, const FilterDecision& decision);
    void openOutside(const QUrl& url);
    void onLoadingChanged(const QWebEngineLoadingInfo& info);
    void onLoadProgress(int progress);
    void onNewWindow(QWebEngineNewWindowRequest& request);
    void reportCommandState();
    void watchSave(const QString& path);
    void reportSaveFailure(const QString& path);
    Prompter& prompter();

    std::shared_ptr<const PolicySlot> policy_;
    QWebEngineProfile* ownProfile_{};
    TWebPage* page_{};
    Prompter* prompter_{};
    Launcher* launcher_{};
    MessageBoxPrompter boxes_;
    SaveChooser saveChooser_;
    NavigationGate gate_;
    QString homeUrl_;
    QString searchUrl_;
    std::unique_ptr<QPrinter> printer_;
    QMetaObject::Connection saveWatch_;

    // A refused navigation still makes the engine start and stop a load; these keep it from
    // looking like a page load to the window.
    QUrl refusedUrl_;
    bool refusalPending_ = false;
    QSet<QUrl> refusedLoads_;
    bool loadActive_ = false;
    QList<QUrl> frameNavigations_;
};

template <typename Work, typename Answer>
Answer TWebBrowser::guarded(Work work, Answer refusal) {
    try {
        return work();
    } catch (const std::exception& error) {
        reportLater(error.what());
    } catch (...) {
        reportLater("An unexpected error stopped the page's request; it was refused.");
    }
    return refusal;
}

}  // namespace tarn
