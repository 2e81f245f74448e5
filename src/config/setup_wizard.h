#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarn {

// The answers the setup wizard gathers, as its pages preset them.
struct WizardAnswers {
    bool signOn = false;       // page 2: users sign on
    bool groups = false;       // page 2: groups are used
    bool machineHive = false;  // page 3: the administrative settings go to the machine hive
    std::string favoritesFolder = "c:\\tarnview";  // page 4
    std::string userId, password, confirmation;    // page 5, with sign-on only
};

// A field of the user page that a refusal empties or focuses.
enum class WizardField { UserId, Password, Confirmation };

struct WizardRefusal {
    std::string message;
    WizardField focus;
    bool clearPassword = false;      // empty the password box (and the confirmation)
    bool clearConfirmation = false;  // empty the confirmation box
};

// The user page's checks, in order; nothing when they pass.
std::optional<WizardRefusal> validateUserPage(const WizardAnswers& answers);

// The page flow of the setup wizard: which of its six pages shows and which buttons may be
// pressed. The user page (5) is there only when users sign on, in either direction.
class SetupWizard {
  public:
    static constexpr int kLastPage = 6;

    int page() const { return page_; }
    bool prevEnabled() const { return prev_; }
    bool nextEnabled() const { return next_; }
    bool okEnabled() const { return ok_; }
    // The OK button reads "&Continue" until the last page, "&Finish" from then on.
    bool okIsFinish() const { return finish_; }

    // OK ("&Continue" on page 1): the next page. On the last page it finishes instead, and
    // this gives false.
    bool ok();
    // Next and Prev: a refusal when the user page does not pass, and the page stays.
    std::optional<WizardRefusal> next(const WizardAnswers& answers);
    std::optional<WizardRefusal> prev(const WizardAnswers& answers);

  private:
    void showPage();

    int page_ = 1;
    bool prev_ = false, next_ = false, ok_ = true, finish_ = false;
};

// Stores the answers: the administrative values (sign-on, groups, Default Group's favourites
// folder and, when one was entered, the first user) in the hive page 3 chose, then this
// installation's version and that choice in the current user's hive. Each hive is written in
// one transaction, the administrative one first, so a hive that refuses leaves nothing half
// written. Throws SettingsError.
void commitWizard(const WizardAnswers& answers, std::string_view version);

// Cancel: only the version, so the wizard is not shown again; every setting stays as it was.
void commitWizardCancel(std::string_view version);

}  // namespace tarn
