#pragma once

#include <QWebEnginePage>
#include <array>
#include <functional>

namespace tarn {

// The page only asks: every navigation goes to the decider its view installs, which answers
// whether it may go ahead. It opens no window and no developer tools of its own.
class TWebPage : public QWebEnginePage {
    Q_OBJECT

  public:
    // True lets the navigation go ahead.
    using Decider = std::function<bool(const QUrl& url, bool isMainFrame)>;

    TWebPage(QWebEngineProfile* profile, Decider decider, QObject* parent = nullptr);

    // Inspect Element and View Source would open developer or source windows past the
    // supervision; they do nothing here.
    void triggerAction(WebAction action, bool checked = false) override;

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

  private:
    Decider decider_;
};

// The page actions a supervised browser never offers.
inline constexpr std::array kDeveloperActions{QWebEnginePage::InspectElement,
                                              QWebEnginePage::ViewSource};

}  // namespace tarn
