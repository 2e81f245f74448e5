#pragma once

#include <QWebEnginePage>
#include <array>
#include <functional>
#include <memory>

#include "policy/navigation_policy.h"

namespace tarn {

// The page decides: every navigation, of the page or of a frame, is put to the policy the page
// was built with, and a page without one refuses everything. Its view hears each decision and
// may refuse further, never allow. It opens no window and no developer tools of its own.
class TWebPage : public QWebEnginePage {
    Q_OBJECT

  public:
    // Hears the policy's decision; false refuses an allowed navigation too.
    using Listener =
        std::function<bool(const QUrl& url, bool isMainFrame, const FilterDecision& decision)>;
    // Answers a page's request for files (an upload button, a save or folder picker): the
    // files it may have, none to refuse.
    using FileChooser = std::function<QStringList(FileSelectionMode mode)>;

    TWebPage(QWebEngineProfile* profile, std::shared_ptr<const PolicySlot> policy,
             Listener listener, FileChooser chooser, QObject* parent = nullptr);

    // The policy's decision on `url`; a refusal when the page has no policy.
    FilterDecision judge(const QUrl& url, tarn::NavigationType type, bool isMainFrame) const;

    // Inspect Element and View Source would open developer or source windows past the
    // supervision; they do nothing here.
    void triggerAction(WebAction action, bool checked = false) override;

  protected:
    bool acceptNavigationRequest(const QUrl& url, QWebEnginePage::NavigationType type,
                                 bool isMainFrame) override;
    // The engine's own file dialog could rename and delete files, and hand any file to the
    // page; the page's chooser is asked instead.
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override;

  private:
    std::shared_ptr<const PolicySlot> policy_;
    Listener listener_;
    FileChooser chooser_;
};

// The page actions a supervised browser never offers.
inline constexpr std::array kDeveloperActions{QWebEnginePage::InspectElement,
                                              QWebEnginePage::ViewSource};

}  // namespace tarn
