#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;

namespace tarn {

// One main instance per person: the first start holds a lock in the person's settings folder
// and listens for later starts, which ask it to come to the front and then end. Two windows
// would count one daily allowance twice.
class SingleInstance : public QObject {
  public:
    // `raise` runs in the first instance whenever a later start asks for it.
    explicit SingleInstance(std::function<void()> raise);
    ~SingleInstance() override;

    // True when this process is the first main instance. Otherwise the running one has been
    // asked to come to the front (as far as it answers) and this one should end.
    bool claim();

  private:
    void answer();

    std::function<void()> raise_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_{};
    QString name_;
};

}  // namespace tarn
